#pragma once

#include <stdexcept>
#include <string>

namespace quenta {

// The one general failure of the system. Its message is the fixed English text that the
// page or window that started the work shows to the engineer.
class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A text that should have been a number and is not. The message names the offending text.
class ConvertError : public Exception {
 public:
  using Exception::Exception;
};

// A query the reference database refused. Carries the database's own message and the SQL text.
class DatabaseError : public Exception {
 public:
  DatabaseError(const std::string& message, std::string sql)
      : Exception(message + " [SQL: " + sql + "]"), sql_(std::move(sql)) {}
  const std::string& sql() const { return sql_; }

 private:
  std::string sql_;
};

}  // namespace quenta
