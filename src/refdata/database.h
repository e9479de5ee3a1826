#pragma once

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Access to the read-only reference database: one connection for the whole run, and queries
// that run a complete SQL text and keep every row in memory for the caller to walk.
namespace quenta {

// What every program shows and then ends with when the reference database cannot be used.
inline constexpr const char* kSeriousError = "A serious error has occured.  The program cannot continue.";

// A read-only connection to a reference database file.
class xConnection {
 public:
  // Opens the file read-only and checks that it is a database. Throws DatabaseError naming the
  // file when it is missing, unreadable or not a database; the file is never created.
  explicit xConnection(const std::filesystem::path& file);
  ~xConnection();
  xConnection(const xConnection&) = delete;
  xConnection& operator=(const xConnection&) = delete;

  sqlite3* handle() const { return db_; }
  const std::filesystem::path& file() const { return file_; }

 private:
  sqlite3* db_ = nullptr;
  std::filesystem::path file_;
};

// Opens quenta.db from the program folder. Throws DatabaseError when it cannot be used.
std::unique_ptr<xConnection> OpenReferenceDatabase();

// One column value of a row as the database returned it.
struct xValue {
  enum class Kind : std::uint8_t { Null, Integer, Float, Text };
  Kind kind = Kind::Null;
  std::int64_t i = 0;
  double f = 0;
  std::string s;
};

class xQuery;

// One column of the current row of a query. Reads follow the usual conversions: a null reads
// as "", 0 or false; numbers in text columns are parsed (ConvertError when they are not numbers).
class xField {
 public:
  xField(const xQuery& q, std::size_t column) : q_(&q), column_(column) {}
  bool IsNull() const;
  std::string AsString() const;
  double AsFloat() const;
  std::int64_t AsInteger() const;
  bool AsBoolean() const;
  const std::string& Name() const;

 private:
  const xValue& value() const;
  const xQuery* q_;
  std::size_t column_;
};

// The rows of one SQL text, held in memory, with a cursor and an optional client-side filter.
// An open query never changes the database.
class xQuery {
 public:
  // Accept-or-reject test for one row; the query is positioned on that row while it runs.
  using Filter = std::function<bool(const xQuery&)>;

  explicit xQuery(xConnection& db) : db_(&db) {}
  // Runs the SQL text at once. Throws DatabaseError with SQLite's message and the SQL text.
  xQuery(xConnection& db, std::string sql);

  // Runs a new SQL text in place of the old one; the filter is removed and the cursor is on
  // the first row. Throws DatabaseError and leaves the query closed on failure.
  void Open(std::string sql);
  void Close();
  bool Active() const { return active_; }
  const std::string& SQL() const { return sql_; }

  // Cursor over the rows that pass the filter.
  void First();
  void Next();
  void Prior();
  void Last();
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  std::size_t RecordCount() const { return visible_.size(); }
  bool IsEmpty() const { return visible_.empty(); }
  // 1-based position among the visible rows; 0 when there is no current row.
  std::size_t RecNo() const;
  // Moves to the visible row with 1-based number n; false (cursor unchanged) when out of range.
  bool MoveTo(std::size_t n);

  // Moves to the first visible row whose column equals the text (numbers compare by value).
  // Returns false and leaves the cursor where it was when no row matches.
  bool Locate(std::string_view column, std::string_view value);
  bool Locate(std::string_view column, double value);

  // Installs (or with nullptr removes) the client-side filter and moves to the first row.
  void SetFilter(Filter filter);
  bool Filtered() const { return static_cast<bool>(filter_); }

  // Column of the current row, case-insensitive; where a joined text yields several columns of
  // one name, the first wins. Throws Exception "Field '<name>' not found" for an unknown name.
  xField FieldByName(std::string_view name) const;
  // -1 when the query has no such column.
  int FindColumn(std::string_view name) const;
  std::size_t ColumnCount() const { return columns_.size(); }
  const std::string& ColumnName(std::size_t column) const { return columns_[column]; }

  // Raw access: the value at a column of a row by its index in the whole result (unfiltered).
  std::size_t RowCount() const { return columns_.empty() ? 0 : cells_.size() / columns_.size(); }
  const xValue& Cell(std::size_t row, std::size_t column) const {
    return cells_[row * columns_.size() + column];
  }
  // Index, in the whole result, of the current row. Throws Exception when the cursor is at
  // Eof or Bof of an empty set.
  std::size_t CurrentRow() const;

 private:
  friend class xField;
  void Rebuild();
  void SetPos(std::size_t pos);
  bool LocateIf(const std::function<bool(const xValue&)>& match, std::string_view column);

  xConnection* db_;
  std::string sql_;
  bool active_ = false;
  std::vector<std::string> columns_;
  std::unordered_map<std::string, std::size_t> column_index_;  // lower-case name -> first column
  std::vector<xValue> cells_;                                  // row-major
  Filter filter_;
  std::vector<std::size_t> visible_;
  std::size_t pos_ = 0;           // index into visible_
  std::size_t probe_ = SIZE_MAX;  // row under test by the filter
  bool eof_ = true;
  bool bof_ = true;
};

}  // namespace quenta
