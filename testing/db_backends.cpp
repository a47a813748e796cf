#include "testing/db_backends.h"

#include <cstdlib>

#include "db/command.h"
#include "db/connection.h"
#include "db/schema.h"

namespace pelmar::test {

namespace {

// The environment variable holding a server's connection string.
const char* VariableOf(BackendKind kind) {
    return kind == BackendKind::PostgreSQL ? "PELMAR_TEST_POSTGRES" : "PELMAR_TEST_MARIADB";
}

}  // namespace

std::vector<Backend> AllBackends() {
    return {
        {"SQLite", BackendKind::SQLite}, {"PostgreSQL", BackendKind::PostgreSQL}, {"MariaDB", BackendKind::MariaDB}};
}

void PrintTo(const Backend& backend, std::ostream* out) { *out << backend.name; }

std::string FreshAddressBook(const Backend& backend, const TempDir& folder) {
    std::string connectionString;
    if (backend.kind == BackendKind::SQLite) {
        const std::string path = folder.file("addressbook.db");
        std::filesystem::remove(path);
        db::CreateSqliteDatabase(path);
        connectionString = "Driver=SQLite3;Database=" + path + ";";
    } else {
        const char* value = std::getenv(VariableOf(backend.kind));
        connectionString = value ? value : "";
    }
    db::Connection connection;
    connection.Open(connectionString);
    db::DropSchema(connection);
    db::CreateSchema(connection);
    return connectionString;
}

std::string AdministratorsAddressBook(const TempDir& folder) {
    const std::string book = FreshAddressBook({"SQLite", BackendKind::SQLite}, folder);
    db::Connection connection;
    connection.Open(book);
    db::Command insert;
    insert.SetActiveConnection(connection);
    insert.CommandText = "INSERT INTO SMS_USERS (ID, ADMIN, DISABLED, DELETED) VALUES (1, 1, 0, 0)";
    insert.Execute({}, db::adExecuteNoRecords);
    return book;
}

std::string BackendName(const ::testing::TestParamInfo<Backend>& info) { return info.param.name; }

void BackendTest::SetUp() {
    const Backend& backend = GetParam();
    const char* server = backend.kind == BackendKind::SQLite ? "SQLite" : std::getenv(VariableOf(backend.kind));
    if (!server || !*server) GTEST_SKIP() << backend.name << ": " << VariableOf(backend.kind) << " is not set";
    connectionString_ = FreshAddressBook(backend, folder_);
}

db::Connection& BackendTest::Book() const {
    if (!book_) {
        book_ = std::make_unique<db::Connection>();
        book_->Open(connectionString_);
    }
    return *book_;
}

}  // namespace pelmar::test
