#include "refdata/database.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/exception.h"
#include "platform/numbers.h"
#include "platform/platform.h"

namespace quenta {
namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Owns a prepared statement for the length of one Open.
struct Statement {
  sqlite3_stmt* stmt = nullptr;
  ~Statement() { sqlite3_finalize(stmt); }
};

bool EqualNumber(const xValue& v, double value) {
  switch (v.kind) {
    case xValue::Kind::Integer:
      return static_cast<double>(v.i) == value;
    case xValue::Kind::Float:
      return v.f == value;
    case xValue::Kind::Text:
      try {
        return StrToFloat(v.s) == value;
      } catch (const ConvertError&) {
        return false;
      }
    case xValue::Kind::Null:
      return false;
  }
  return false;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// xConnection

xConnection::xConnection(const std::filesystem::path& file) : file_(file) {
  // A FIFO, a folder or a device in the database's place is never opened: reading a FIFO would
  // wait for a writer for ever. The status is read without opening the file.
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(file, ec);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
    throw DatabaseError("Cannot open the reference database " + file.string() + ": not a regular file", "");
  const int rc = sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
  std::string why;
  if (rc != SQLITE_OK) {
    why = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
  } else {
    // Opening is lazy: reading the schema is what tells a database from any other file.
    char* err = nullptr;
    if (sqlite3_exec(db_, "select count(*) from sqlite_master;", nullptr, nullptr, &err) != SQLITE_OK) {
      why = err ? err : "unknown error";
      sqlite3_free(err);
    }
  }
  if (!why.empty()) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw DatabaseError("Cannot open the reference database " + file.string() + ": " + why, "");
  }
}

xConnection::~xConnection() {
  sqlite3_close(db_);
}

std::unique_ptr<xConnection> OpenReferenceDatabase() {
  return std::make_unique<xConnection>(platform::ProgramDataFile("quenta.db"));
}

// ---------------------------------------------------------------------------------------------
// xField

const xValue& xField::value() const {
  return q_->Cell(q_->CurrentRow(), column_);
}

const std::string& xField::Name() const {
  return q_->ColumnName(column_);
}

bool xField::IsNull() const {
  return value().kind == xValue::Kind::Null;
}

std::string xField::AsString() const {
  const xValue& v = value();
  switch (v.kind) {
    case xValue::Kind::Null:
      return {};
    case xValue::Kind::Integer:
      return std::to_string(v.i);
    case xValue::Kind::Float:
      return FloatToStr(v.f);
    case xValue::Kind::Text:
      return v.s;
  }
  return {};
}

double xField::AsFloat() const {
  const xValue& v = value();
  switch (v.kind) {
    case xValue::Kind::Null:
      return 0;
    case xValue::Kind::Integer:
      return static_cast<double>(v.i);
    case xValue::Kind::Float:
      return v.f;
    case xValue::Kind::Text:
      return StrToFloat(v.s);
  }
  return 0;
}

std::int64_t xField::AsInteger() const {
  const xValue& v = value();
  switch (v.kind) {
    case xValue::Kind::Null:
      return 0;
    case xValue::Kind::Integer:
      return v.i;
    case xValue::Kind::Float:
      return std::llround(v.f);
    case xValue::Kind::Text:
      return StrToInt(v.s);
  }
  return 0;
}

bool xField::AsBoolean() const {
  const xValue& v = value();
  switch (v.kind) {
    case xValue::Kind::Null:
      return false;
    case xValue::Kind::Integer:
      return v.i != 0;
    case xValue::Kind::Float:
      return v.f != 0;
    case xValue::Kind::Text: {
      const std::string t = Lower(v.s);
      if (t == "true" || t == "yes" || t == "1") return true;
      if (t == "false" || t == "no" || t == "0" || t.empty()) return false;
      throw ConvertError("'" + v.s + "' is not a valid boolean value");
    }
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// xQuery

xQuery::xQuery(xConnection& db, std::string sql) : db_(&db) {
  Open(std::move(sql));
}

void xQuery::Open(std::string sql) {
  Close();
  sql_ = std::move(sql);
  Statement st;
  const char* tail = nullptr;
  if (sqlite3_prepare_v2(db_->handle(), sql_.c_str(), static_cast<int>(sql_.size()), &st.stmt, &tail) !=
      SQLITE_OK)
    throw DatabaseError(sqlite3_errmsg(db_->handle()), sql_);
  if (!st.stmt) throw DatabaseError("The SQL text holds no statement", sql_);
  if (!sqlite3_stmt_readonly(st.stmt))
    throw DatabaseError("Only queries may run on the reference database", sql_);

  const int ncol = sqlite3_column_count(st.stmt);
  columns_.reserve(static_cast<std::size_t>(ncol));
  for (int c = 0; c < ncol; ++c) {
    const char* name = sqlite3_column_name(st.stmt, c);
    columns_.emplace_back(name ? name : "");
    column_index_.try_emplace(Lower(columns_.back()), static_cast<std::size_t>(c));
  }
  for (;;) {
    const int rc = sqlite3_step(st.stmt);
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) {
      const std::string msg = sqlite3_errmsg(db_->handle());
      Close();
      throw DatabaseError(msg, sql_);
    }
    for (int c = 0; c < ncol; ++c) {
      xValue v;
      switch (sqlite3_column_type(st.stmt, c)) {
        case SQLITE_INTEGER:
          v.kind = xValue::Kind::Integer;
          v.i = sqlite3_column_int64(st.stmt, c);
          break;
        case SQLITE_FLOAT:
          v.kind = xValue::Kind::Float;
          v.f = sqlite3_column_double(st.stmt, c);
          break;
        case SQLITE_NULL:
          break;
        default: {
          v.kind = xValue::Kind::Text;
          const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st.stmt, c));
          v.s.assign(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(st.stmt, c)));
        }
      }
      cells_.push_back(std::move(v));
    }
  }
  active_ = true;
  Rebuild();
}

void xQuery::Close() {
  active_ = false;
  columns_.clear();
  column_index_.clear();
  cells_.clear();
  filter_ = nullptr;
  visible_.clear();
  pos_ = 0;
  eof_ = bof_ = true;
}

void xQuery::Rebuild() {
  visible_.clear();
  const std::size_t n = RowCount();
  visible_.reserve(n);
  for (std::size_t r = 0; r < n; ++r) {
    if (filter_) {
      probe_ = r;
      const bool keep = filter_(*this);
      probe_ = SIZE_MAX;
      if (!keep) continue;
    }
    visible_.push_back(r);
  }
  First();
}

void xQuery::SetPos(std::size_t pos) {
  pos_ = pos;
  eof_ = bof_ = false;
}

void xQuery::First() {
  pos_ = 0;
  eof_ = bof_ = visible_.empty();
}

void xQuery::Last() {
  if (visible_.empty()) {
    First();
    return;
  }
  SetPos(visible_.size() - 1);
}

void xQuery::Next() {
  bof_ = false;
  if (eof_) return;
  if (pos_ + 1 < visible_.size()) {
    ++pos_;
  } else {
    eof_ = true;  // stays on the last row, as a data set does
  }
}

void xQuery::Prior() {
  eof_ = false;
  if (bof_) return;
  if (visible_.empty()) {
    bof_ = eof_ = true;
  } else if (pos_ > 0) {
    --pos_;
  } else {
    bof_ = true;
  }
}

std::size_t xQuery::RecNo() const {
  return visible_.empty() ? 0 : pos_ + 1;
}

bool xQuery::MoveTo(std::size_t n) {
  if (n == 0 || n > visible_.size()) return false;
  SetPos(n - 1);
  return true;
}

std::size_t xQuery::CurrentRow() const {
  if (probe_ != SIZE_MAX) return probe_;
  if (visible_.empty()) throw Exception("The query has no current row");
  return visible_[pos_];
}

int xQuery::FindColumn(std::string_view name) const {
  const auto it = column_index_.find(Lower(name));
  return it == column_index_.end() ? -1 : static_cast<int>(it->second);
}

xField xQuery::FieldByName(std::string_view name) const {
  const int c = FindColumn(name);
  if (c < 0) throw Exception("Field '" + std::string(name) + "' not found");
  return xField(*this, static_cast<std::size_t>(c));
}

bool xQuery::LocateIf(const std::function<bool(const xValue&)>& match, std::string_view column) {
  const int c = FindColumn(column);
  if (c < 0) throw Exception("Field '" + std::string(column) + "' not found");
  for (std::size_t p = 0; p < visible_.size(); ++p) {
    if (match(Cell(visible_[p], static_cast<std::size_t>(c)))) {
      SetPos(p);
      return true;
    }
  }
  return false;
}

bool xQuery::Locate(std::string_view column, std::string_view value) {
  return LocateIf(
      [value](const xValue& v) {
        switch (v.kind) {
          case xValue::Kind::Text:
            return v.s == value;
          case xValue::Kind::Null:
            return false;
          case xValue::Kind::Integer:
            return std::to_string(v.i) == value;
          case xValue::Kind::Float:
            return FloatToStr(v.f) == value;
        }
        return false;
      },
      column);
}

bool xQuery::Locate(std::string_view column, double value) {
  return LocateIf([value](const xValue& v) { return EqualNumber(v, value); }, column);
}

void xQuery::SetFilter(Filter filter) {
  filter_ = std::move(filter);
  Rebuild();
}

}  // namespace quenta
