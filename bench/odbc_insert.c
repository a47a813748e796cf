/* Baseline of the import through ODBC (for PostgreSQL): the file read and
 * split, the insert of the same 22 columns prepared once, and every record
 * the import would accept executed in autocommit, one commit per record.
 * With --group each record's membership row follows as the import makes it:
 * the largest contact id read with SELECT MAX(ID), then its own insert,
 * committed on its own. Texts go as UTF-8 (SQL_C_CHAR): run it under a UTF-8
 * locale.
 *
 *   bench_odbc_insert CONNECTION_STRING SOURCE --folder ID [--group ID]
 *
 * Prints the number of records inserted. */
#include <sql.h>
#include <sqlext.h>
#include <stdlib.h>

#include "bench/contact_lines.h"

static const char* const kInsert =
    "INSERT INTO SMS_ABCONTACTS(USER_ID,FNAME,MNAME,LNAME,MOBILENO,EMAIL,ADDRESS,ORGANISATION,FOLDER_ID,SEX,"
    "COUNTRYCODE,AGE,CITY,STATE,COUNTRY,ZIP,HOMEPHONE,OFFICEPHONE,FAX,BIRTHDAY,ANNIVERSARY,HOBBY)"
    "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
static const char* const kMembership = "INSERT INTO SMS_ABGROUPMAPS(GROUP_ID,CONTACT_ID) VALUES(?,?)";
static const char* const kLastId = "SELECT MAX(ID) FROM SMS_ABCONTACTS";

/* The column sizes of the 22 parameters; 0 for an integer. */
static const SQLULEN kSizes[22] = {0, 50,  50,  50,  50, 50, 50, 50, 0,  1,  10,
                                   0, 100, 100, 100, 20, 20, 20, 20, 10, 10, 10};

static void check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char* what) {
    if (SQL_SUCCEEDED(rc)) return;
    SQLCHAR state[6] = "", message[1024] = "";
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    SQLGetDiagRec(type, handle, 1, state, &native, message, sizeof message, &length);
    fprintf(stderr, "bench_odbc_insert: %s: [%s] %s\n", what, state, message);
    exit(1);
}

/* Every parameter reads its value from here: a field's text or an integer. */
typedef struct {
    SQLINTEGER number;
    const char* text;
    SQLLEN indicator;
} Parameter;

static void bind(SQLHSTMT statement, Parameter* parameters, int count, const SQLULEN* sizes) {
    for (int i = 0; i < count; ++i) {
        Parameter* p = &parameters[i];
        const SQLRETURN rc = sizes[i] == 0
                                 ? SQLBindParameter(statement, (SQLUSMALLINT)(i + 1), SQL_PARAM_INPUT, SQL_C_SLONG,
                                                    SQL_INTEGER, 0, 0, &p->number, 0, &p->indicator)
                                 : SQLBindParameter(statement, (SQLUSMALLINT)(i + 1), SQL_PARAM_INPUT, SQL_C_CHAR,
                                                    SQL_VARCHAR, sizes[i], 0, (SQLPOINTER)p->text, 0, &p->indicator);
        check(rc, SQL_HANDLE_STMT, statement, "SQLBindParameter");
    }
}

static void set_text(Parameter* p, const char* text, size_t size) {
    p->text = text;
    p->indicator = (SQLLEN)size;
}

int main(int argc, char** argv) {
    int folder, group;
    FILE* source = open_insert_source(argc, argv, "bench_odbc_insert CONNECTION_STRING SOURCE --folder ID [--group ID]",
                                      &folder, &group);
    if (!source) return 2;

    SQLHENV env;
    SQLHDBC dbc;
    SQLHSTMT insert, membership = SQL_NULL_HSTMT, lastId = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, (SQLPOINTER)SQL_OV_ODBC3, 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    check(SQLDriverConnect(dbc, NULL, (SQLCHAR*)argv[1], SQL_NTS, NULL, 0, NULL, SQL_DRIVER_NOPROMPT), SQL_HANDLE_DBC,
          dbc, "SQLDriverConnect");

    Parameter parameters[22] = {{0}};
    check(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &insert), SQL_HANDLE_DBC, dbc, "SQLAllocHandle");
    check(SQLPrepare(insert, (SQLCHAR*)kInsert, SQL_NTS), SQL_HANDLE_STMT, insert, "SQLPrepare");
    bind(insert, parameters, 22, kSizes);
    Parameter member[2] = {{group, NULL, 0}, {0, NULL, 0}}; /* GROUP_ID, CONTACT_ID */
    if (group >= 0) {
        static const SQLULEN kIntegerSizes[2] = {0, 0};
        check(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &membership), SQL_HANDLE_DBC, dbc, "SQLAllocHandle");
        check(SQLPrepare(membership, (SQLCHAR*)kMembership, SQL_NTS), SQL_HANDLE_STMT, membership, "SQLPrepare");
        bind(membership, member, 2, kIntegerSizes);
        check(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &lastId), SQL_HANDLE_DBC, dbc, "SQLAllocHandle");
        check(SQLPrepare(lastId, (SQLCHAR*)kLastId, SQL_NTS), SQL_HANDLE_STMT, lastId, "SQLPrepare");
    }
    for (int i = 10; i < 22; ++i) set_text(&parameters[i], "", 0);
    parameters[8].number = folder;
    parameters[19].indicator = SQL_NULL_DATA;
    parameters[20].indicator = SQL_NULL_DATA;

    char* line = NULL;
    size_t capacity = 0;
    ssize_t size;
    long inserted = 0;
    Field f[kMaxFields];
    char sex = 0;
    while ((size = read_line(source, &line, &capacity)) >= 0) {
        split_line(line, (size_t)size, f);
        if (!acceptable(f)) continue;
        sex = upper_sex(&f[kSex]);
        set_text(&parameters[1], f[kFirstName].text, f[kFirstName].size);
        set_text(&parameters[2], f[kMiddleName].text, f[kMiddleName].size);
        set_text(&parameters[3], f[kLastName].text, f[kLastName].size);
        set_text(&parameters[4], f[kMobile].text, f[kMobile].size);
        set_text(&parameters[5], f[kEmail].text, f[kEmail].size);
        set_text(&parameters[6], f[kAddress].text, f[kAddress].size);
        set_text(&parameters[7], f[kOrganisation].text, f[kOrganisation].size);
        set_text(&parameters[9], &sex, sex ? 1 : 0);
        /* The texts moved: bind again (cheap, and clearer than copying). */
        bind(insert, parameters, 22, kSizes);
        check(SQLExecute(insert), SQL_HANDLE_STMT, insert, "insert");
        if (group >= 0) {
            check(SQLExecute(lastId), SQL_HANDLE_STMT, lastId, "last id");
            check(SQLFetch(lastId), SQL_HANDLE_STMT, lastId, "last id");
            check(SQLGetData(lastId, 1, SQL_C_SLONG, &member[1].number, 0, NULL), SQL_HANDLE_STMT, lastId, "last id");
            check(SQLCloseCursor(lastId), SQL_HANDLE_STMT, lastId, "last id");
            check(SQLExecute(membership), SQL_HANDLE_STMT, membership, "membership");
        }
        ++inserted;
    }
    printf("%ld\n", inserted);

    free(line);
    fclose(source);
    if (membership != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, membership);
    if (lastId != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, lastId);
    SQLFreeHandle(SQL_HANDLE_STMT, insert);
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return 0;
}
