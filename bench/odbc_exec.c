/* Runs SQL statements through ODBC, one after the other, in autocommit: how
 * bench/run empties or drops the address book's tables on a server.
 *
 *   bench_odbc_exec CONNECTION_STRING SQL [SQL...] */
#include <sql.h>
#include <sqlext.h>
#include <stdio.h>

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: bench_odbc_exec CONNECTION_STRING SQL [SQL...]\n");
        return 2;
    }
    SQLHENV env;
    SQLHDBC dbc;
    SQLHSTMT statement;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, (SQLPOINTER)SQL_OV_ODBC3, 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    SQLRETURN rc = SQLDriverConnect(dbc, NULL, (SQLCHAR*)argv[1], SQL_NTS, NULL, 0, NULL, SQL_DRIVER_NOPROMPT);
    SQLSMALLINT type = SQL_HANDLE_DBC;
    SQLHANDLE failed = dbc;
    const char* what = "connect";
    if (SQL_SUCCEEDED(rc)) {
        SQLAllocHandle(SQL_HANDLE_STMT, dbc, &statement);
        type = SQL_HANDLE_STMT;
        failed = statement;
        for (int i = 2; i < argc && SQL_SUCCEEDED(rc); ++i) {
            what = argv[i];
            rc = SQLExecDirect(statement, (SQLCHAR*)argv[i], SQL_NTS);
            if (rc == SQL_NO_DATA) rc = SQL_SUCCESS;                  /* a DELETE of no rows */
            if (SQL_SUCCEEDED(rc)) SQLFreeStmt(statement, SQL_CLOSE); /* keeps a failure's diagnostics */
        }
    }
    const int ok = SQL_SUCCEEDED(rc);
    if (!ok) {
        SQLCHAR state[6] = "", message[1024] = "";
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        SQLGetDiagRec(type, failed, 1, state, &native, message, sizeof message, &length);
        fprintf(stderr, "bench_odbc_exec: %s: [%s] %s\n", what, state, message);
    }
    if (type == SQL_HANDLE_STMT) SQLFreeHandle(SQL_HANDLE_STMT, statement);
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return ok ? 0 : 1;
}
