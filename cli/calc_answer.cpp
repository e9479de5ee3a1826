#include "calc_answer.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <utility>

namespace quenta::cli {
namespace {

// A text that dump() writes unchanged between quotes: printable ASCII without a quote or a
// backslash. Anything else (escapes, and the check of UTF-8, which dump() refuses with an
// exception when it is broken) is left to dump() itself.
bool Plain(std::string_view s) {
  for (const char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u >= 0x7f || c == '"' || c == '\\') return false;
  }
  return true;
}

void AppendString(std::string& out, std::string_view s) {
  if (!Plain(s)) {
    out += CalcJson(s).dump();
    return;
  }
  out += '"';
  out += s;
  out += '"';
}

void AppendInteger(std::string& out, std::int64_t n) {
  char buf[24];
  const auto res = std::to_chars(buf, buf + sizeof buf, n);
  out.append(buf, static_cast<std::size_t>(res.ptr - buf));
}

// dump() writes doubles with nlohmann's own shortest-digits routine (Grisu2), whose digits
// std::to_chars does not always give; calling the same routine keeps the text byte for byte.
void AppendFloat(std::string& out, double x) {
  if (!std::isfinite(x)) {
    out += "null";
    return;
  }
  char buf[64];
  const char* end = nlohmann::detail::to_chars(buf, buf + sizeof buf, x);
  out.append(buf, static_cast<std::size_t>(end - buf));
}

void AppendStrings(std::string& out, const std::vector<std::string>& texts) {
  out += '[';
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) out += ',';
    AppendString(out, texts[i]);
  }
  out += ']';
}

void AppendKey(std::string& out, const char* key, bool first) {
  if (!first) out += ',';
  AppendString(out, key);
  out += ':';
}

void AppendIntermediates(std::string& out, const xFlowIntermediates& record) {
  out += '{';
  bool first = true;
  for (const xIntermediateEntry& e : IntermediateEntries(record)) {
    AppendKey(out, e.field->key, first);
    first = false;
    switch (IntermediateKindOf(e)) {
      case xIntermediateKind::Flag:
        out += e.text == "Yes" ? "true" : "false";
        break;
      case xIntermediateKind::List:
        AppendStrings(out, record.guards);
        break;
      case xIntermediateKind::Text:
        AppendString(out, e.text);
        break;
      case xIntermediateKind::Count:
        AppendInteger(out, static_cast<std::int64_t>(e.value));
        break;
      case xIntermediateKind::Number:
        AppendFloat(out, e.value);
        break;
    }
  }
  out += '}';
}

}  // namespace

xIntermediateKind IntermediateKindOf(const xIntermediateEntry& e) {
  const std::string_view key = e.field->key;
  if (key == "Choked") return xIntermediateKind::Flag;
  if (key == "Guards") return xIntermediateKind::List;
  if (!e.numeric) return xIntermediateKind::Text;
  return e.count ? xIntermediateKind::Count : xIntermediateKind::Number;
}

CalcJson IntermediatesJson(const xFlowIntermediates& record) {
  CalcJson out = CalcJson::object();
  for (const xIntermediateEntry& e : IntermediateEntries(record)) {
    switch (IntermediateKindOf(e)) {
      case xIntermediateKind::Flag:
        out[e.field->key] = e.text == "Yes";
        break;
      case xIntermediateKind::List:
        out[e.field->key] = record.guards;
        break;
      case xIntermediateKind::Text:
        out[e.field->key] = e.text;
        break;
      case xIntermediateKind::Count:
        out[e.field->key] = static_cast<std::int64_t>(e.value);
        break;
      case xIntermediateKind::Number:
        out[e.field->key] = e.value;
        break;
    }
  }
  return out;
}

void xCalcAnswer::Number(const char* key, double value) {
  fields_.push_back({key, Kind::Number, value, {}, {}});
}

void xCalcAnswer::Text(const char* key, std::string text) {
  fields_.push_back({key, Kind::Text, 0, std::move(text), {}});
}

void xCalcAnswer::Texts(const char* key, std::vector<std::string> texts) {
  fields_.push_back({key, Kind::Texts, 0, {}, std::move(texts)});
}

void xCalcAnswer::Intermediates(const char* key, const xFlowIntermediates& record) {
  record_ = record;
  fields_.push_back({key, Kind::Intermediates, 0, {}, {}});
}

CalcJson xCalcAnswer::ToJson() const {
  CalcJson out = CalcJson::object();
  for (const Field& f : fields_) {
    switch (f.kind) {
      case Kind::Number:
        out[f.key] = f.number;
        break;
      case Kind::Text:
        out[f.key] = f.text;
        break;
      case Kind::Texts:
        out[f.key] = f.texts;
        break;
      case Kind::Intermediates:
        out[f.key] = IntermediatesJson(*record_);
        break;
    }
  }
  return out;
}

void xCalcAnswer::AppendCompact(std::string& out) const {
  out += '{';
  bool first = true;
  for (const Field& f : fields_) {
    AppendKey(out, f.key, first);
    first = false;
    switch (f.kind) {
      case Kind::Number:
        AppendFloat(out, f.number);
        break;
      case Kind::Text:
        AppendString(out, f.text);
        break;
      case Kind::Texts:
        AppendStrings(out, f.texts);
        break;
      case Kind::Intermediates:
        AppendIntermediates(out, *record_);
        break;
    }
  }
  out += '}';
}

}  // namespace quenta::cli
