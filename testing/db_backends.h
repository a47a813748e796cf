#pragma once
// The database back ends every database test runs on, written once.
//
//   class ContactsTest : public pelmar::test::BackendTest {};
//   TEST_P(ContactsTest, ...) { pelmar::db::Connection c; c.Open(ConnectionString()); ... }
//   PELMAR_INSTANTIATE_BACKEND_TESTS(ContactsTest);
//
// SQLite always runs; PostgreSQL and MariaDB run when PELMAR_TEST_POSTGRES /
// PELMAR_TEST_MARIADB hold ODBC connection strings (scripts/servers.sh writes
// them) and are skipped otherwise. Tests on the servers share their
// databases: register them with pelmar_add_tests(... SERVER).
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "db/connection.h"
#include "testing/sql_rows.h"
#include "testing/temp_dir.h"

namespace pelmar::test {

enum class BackendKind { SQLite, PostgreSQL, MariaDB };

struct Backend {
    std::string name;  // "SQLite", "PostgreSQL", "MariaDB"
    BackendKind kind;
};

std::vector<Backend> AllBackends();
// gtest prints a back end by its name.
void PrintTo(const Backend& backend, std::ostream* out);

// A fresh, empty address book: the five tables dropped and created again
// (for SQLite in a new file inside `folder`). Returns its connection string.
std::string FreshAddressBook(const Backend& backend, const TempDir& folder);

// A fresh SQLite address book in `folder` whose only user, 1, is an
// administrator, as a host running at the server has it.
std::string AdministratorsAddressBook(const TempDir& folder);

// The test name suffix: the back end's name.
std::string BackendName(const ::testing::TestParamInfo<Backend>& info);

// A test suite over all back ends: SetUp skips a server back end that is not
// configured and otherwise prepares a fresh, empty address book.
class BackendTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override;
    const std::string& ConnectionString() const { return connectionString_; }
    const TempDir& Folder() const { return folder_; }

    // A connection of the test's own to the address book, opened on first use;
    // each statement run on it; a query's rows as text, NULL read as `null`.
    db::Connection& Book() const;
    void Exec(const std::vector<std::string>& statements) const { ExecAll(Book(), statements); }
    Rows Select(const std::string& sql, const std::string& null = "") const { return SelectRows(Book(), sql, null); }

private:
    TempDir folder_;
    std::string connectionString_;
    mutable std::unique_ptr<db::Connection> book_;
};

}  // namespace pelmar::test

#define PELMAR_INSTANTIATE_BACKEND_TESTS(Suite)                                                   \
    INSTANTIATE_TEST_SUITE_P(Backends, Suite, ::testing::ValuesIn(::pelmar::test::AllBackends()), \
                             ::pelmar::test::BackendName)
