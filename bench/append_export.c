/* Baseline of the export: for each row of a SELECT over SMS_ABCONTACTS, the
 * line built as the export builds it (each non-empty field in double quotes,
 * commas between, CR LF), and the destination opened for append, written and
 * closed. The destination is emptied first, as the export empties it.
 *
 *   bench_append_export BOOK DEST
 *
 * Prints the number of rows written. */
#include <sqlite3.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char* const kSelect =
    "SELECT FNAME,MNAME,LNAME,EMAIL,ADDRESS,MOBILENO,ORGANISATION,SEX FROM SMS_ABCONTACTS";

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: bench_append_export BOOK DEST\n");
        return 2;
    }
    sqlite3* db = NULL;
    sqlite3_stmt* select = NULL;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READONLY, NULL) != SQLITE_OK ||
        sqlite3_prepare_v2(db, kSelect, -1, &select, NULL) != SQLITE_OK) {
        fprintf(stderr, "bench_append_export: %s: %s\n", argv[1], sqlite3_errmsg(db));
        return 1;
    }
    FILE* out = fopen(argv[2], "wb");
    if (!out) {
        perror(argv[2]);
        return 1;
    }
    fclose(out);

    char* line = NULL;
    size_t capacity = 0;
    long rows = 0;
    int rc;
    while ((rc = sqlite3_step(select)) == SQLITE_ROW) {
        size_t size = 0;
        for (int i = 0; i < 8; ++i) {
            const char* text = (const char*)sqlite3_column_text(select, i);
            const size_t length = text ? (size_t)sqlite3_column_bytes(select, i) : 0;
            if (size + length + 5 > capacity) {
                capacity = 2 * (size + length + 5);
                line = realloc(line, capacity);
            }
            if (length) {
                line[size++] = '"';
                memcpy(line + size, text, length);
                size += length;
                line[size++] = '"';
            }
            line[size++] = i < 7 ? ',' : '\r';
        }
        line[size++] = '\n';

        out = fopen(argv[2], "ab");
        if (!out || fwrite(line, 1, size, out) != size || fclose(out) != 0) {
            perror(argv[2]);
            return 1;
        }
        ++rows;
    }
    if (rc != SQLITE_DONE) {
        fprintf(stderr, "bench_append_export: %s\n", sqlite3_errmsg(db));
        return 1;
    }
    printf("%ld\n", rows);
    free(line);
    sqlite3_finalize(select);
    sqlite3_close(db);
    return 0;
}
