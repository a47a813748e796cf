// Creating a new SQLite database file.
#include <sqlite3.h>

#include <filesystem>
#include <memory>

#include "db/db_error_source.h"
#include "db/schema.h"

namespace pelmar::db {

void CreateSqliteDatabase(const std::string& path) {
    std::error_code ec;
    if (path.empty() || std::filesystem::exists(path, ec))
        throw DbError(errnum::DatabaseError,
                      "Cannot create the SQLite database '" + path +
                          "': " + (path.empty() ? "no file name was given." : "the file exists already."),
                      detail::kSourceSqlite);
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close_v2);
    char* message = nullptr;
    // WAL lets a reader and the import's writer work side by side, and keeps
    // per-row commits cheap.
    if (rc != SQLITE_OK || sqlite3_exec(raw, "PRAGMA journal_mode=WAL", nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string reason = message ? message : raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc);
        sqlite3_free(message);
        throw DbError(errnum::DatabaseError, "Cannot create the SQLite database '" + path + "': " + reason,
                      detail::kSourceSqlite, "PRAGMA journal_mode=WAL");
    }
}

}  // namespace pelmar::db
