#pragma once
// The database layer's one error type: number, description and source like
// every runtime error of the component, plus the SQL text it concerns.
#include <string>

#include "common/error.h"

namespace pelmar::db {

class DbError : public pelmar::Error {
public:
    DbError(int32_t number, const std::string& description, std::string source, std::string sql = {})
            : Error(number, description, std::move(source)), sql_(std::move(sql)) {}

    const std::string& Sql() const noexcept { return sql_; }

private:
    std::string sql_;
};

}  // namespace pelmar::db
