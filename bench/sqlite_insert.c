/* Baseline of the import into SQLite: the file read and split, every record
 * the import would accept inserted through one prepared statement of the
 * same 22 columns, one commit per record, in WAL mode with synchronous
 * NORMAL. With --group the record's membership row follows as the import
 * makes it: the largest contact id read with SELECT MAX(ID), then its own
 * insert, committed on its own.
 *
 *   bench_sqlite_insert BOOK SOURCE --folder ID [--group ID]
 *
 * Prints the number of records inserted. */
#include <sqlite3.h>
#include <stdlib.h>

#include "bench/contact_lines.h"

static const char* const kInsert =
    "INSERT INTO SMS_ABCONTACTS(USER_ID,FNAME,MNAME,LNAME,MOBILENO,EMAIL,ADDRESS,ORGANISATION,FOLDER_ID,SEX,"
    "COUNTRYCODE,AGE,CITY,STATE,COUNTRY,ZIP,HOMEPHONE,OFFICEPHONE,FAX,BIRTHDAY,ANNIVERSARY,HOBBY)"
    "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
static const char* const kMembership = "INSERT INTO SMS_ABGROUPMAPS(GROUP_ID,CONTACT_ID) VALUES(?,?)";
static const char* const kLastId = "SELECT MAX(ID) FROM SMS_ABCONTACTS";

static sqlite3* db;

static void check(int rc, const char* what) {
    if (rc == SQLITE_OK || rc == SQLITE_DONE || rc == SQLITE_ROW) return;
    fprintf(stderr, "bench_sqlite_insert: %s: %s\n", what, sqlite3_errmsg(db));
    exit(1);
}

static sqlite3_stmt* prepare(const char* sql) {
    sqlite3_stmt* statement = NULL;
    check(sqlite3_prepare_v2(db, sql, -1, &statement, NULL), sql);
    return statement;
}

static void run(sqlite3_stmt* statement, const char* what) {
    check(sqlite3_step(statement), what);
    check(sqlite3_reset(statement), what);
}

static void bind_text(sqlite3_stmt* insert, int index, const Field* field) {
    sqlite3_bind_text(insert, index, field->text, (int)field->size, SQLITE_STATIC);
}

static void bind_record(sqlite3_stmt* insert, const Field* f, int folder) {
    const char sex = upper_sex(&f[kSex]);
    sqlite3_bind_int(insert, 1, 0);
    bind_text(insert, 2, &f[kFirstName]);
    bind_text(insert, 3, &f[kMiddleName]);
    bind_text(insert, 4, &f[kLastName]);
    bind_text(insert, 5, &f[kMobile]);
    bind_text(insert, 6, &f[kEmail]);
    bind_text(insert, 7, &f[kAddress]);
    bind_text(insert, 8, &f[kOrganisation]);
    sqlite3_bind_int(insert, 9, folder);
    sqlite3_bind_text(insert, 10, &sex, sex ? 1 : 0, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 11, "", 0, SQLITE_STATIC);
    sqlite3_bind_int(insert, 12, 0);
    for (int i = 13; i <= 19; ++i) sqlite3_bind_text(insert, i, "", 0, SQLITE_STATIC);
    sqlite3_bind_null(insert, 20);
    sqlite3_bind_null(insert, 21);
    sqlite3_bind_text(insert, 22, "", 0, SQLITE_STATIC);
}

int main(int argc, char** argv) {
    int folder, group;
    FILE* source =
        open_insert_source(argc, argv, "bench_sqlite_insert BOOK SOURCE --folder ID [--group ID]", &folder, &group);
    if (!source) return 2;
    check(sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, NULL), argv[1]);
    check(sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL", NULL, NULL, NULL), "pragmas");

    sqlite3_stmt* insert = prepare(kInsert);
    sqlite3_stmt* membership = group >= 0 ? prepare(kMembership) : NULL;
    sqlite3_stmt* lastId = group >= 0 ? prepare(kLastId) : NULL;
    if (membership) sqlite3_bind_int(membership, 1, group);

    char* line = NULL;
    size_t capacity = 0;
    ssize_t size;
    long inserted = 0;
    Field fields[kMaxFields];
    while ((size = read_line(source, &line, &capacity)) >= 0) {
        split_line(line, (size_t)size, fields);
        if (!acceptable(fields)) continue;
        bind_record(insert, fields, folder);
        run(insert, "insert");
        if (membership) {
            check(sqlite3_step(lastId), "last id");
            sqlite3_bind_int64(membership, 2, sqlite3_column_int64(lastId, 0));
            check(sqlite3_reset(lastId), "last id");
            run(membership, "membership");
        }
        ++inserted;
    }
    printf("%ld\n", inserted);

    free(line);
    fclose(source);
    sqlite3_finalize(insert);
    sqlite3_finalize(membership);
    sqlite3_finalize(lastId);
    return sqlite3_close(db) == SQLITE_OK ? 0 : 1;
}
