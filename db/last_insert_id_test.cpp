#include <gtest/gtest.h>

#include <latch>
#include <map>
#include <thread>

#include "db/command.h"
#include "db/connection.h"
#include "db/db_error.h"
#include "db/parameter_rows.h"
#include "testing/db_backends.h"

namespace pelmar::db {
namespace {

class LastInsertIdTest : public test::BackendTest {};

// Two sessions insert into one table at the same time, as two importing
// processes would; the largest id is often the other session's row.
TEST_P(LastInsertIdTest, EachSessionGetsItsOwnRowsIds) {
    constexpr int kRows = 40;
    std::map<int64_t, std::string> claimed[2];
    std::string failure[2];
    std::latch start(2);
    const auto insertRows = [&](int session) {
        try {
            Connection connection;
            connection.Open(ConnectionString());
            Command insert;
            insert.SetActiveConnection(connection);
            insert.CommandText = "INSERT INTO SMS_ABCONTACTS(FNAME) VALUES(?)";
            insert.Prepared = true;
            insert.AppendParameter(insert.CreateParameter("FNAME", adVarChar, adParamInput, 50));
            start.arrive_and_wait();
            for (int i = 0; i < kRows; ++i) {
                const std::string name = std::to_string(session) + "-" + std::to_string(i);
                ParameterRows row(1);
                row.Add(std::vector<Value>{name});
                std::vector<int64_t> keys;
                insert.ExecuteRowsForKeys(row, "ID", keys);
                claimed[session][keys.at(0)] = name;
            }
        } catch (const DbError& e) {
            failure[session] = e.what();
        }
    };
    std::thread first(insertRows, 0), second(insertRows, 1);
    first.join();
    second.join();
    ASSERT_EQ(failure[0] + failure[1], "");

    Connection connection;
    connection.Open(ConnectionString());
    std::map<int64_t, std::string> stored;
    for (const auto& row : test::SelectRows(connection, "SELECT ID, FNAME FROM SMS_ABCONTACTS"))
        stored[std::stoll(row[0])] = row[1];
    claimed[0].merge(claimed[1]);
    EXPECT_EQ(claimed[0], stored);
}

PELMAR_INSTANTIATE_BACKEND_TESTS(LastInsertIdTest);

}  // namespace
}  // namespace pelmar::db
