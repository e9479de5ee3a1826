#include "platform/numbers.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "platform/exception.h"
#include "platform/platform.h"

namespace quenta {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::string NonFinite(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

std::string ToChars(double value, std::chars_format fmt, int precision) {
  if (!std::isfinite(value)) return NonFinite(value);
  char buf[400];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, fmt, precision);
  return std::string(buf, res.ptr);
}

}  // namespace

double StrToFloat(std::string_view text) {
  const std::string_view t = Trim(text);
  std::string normal(t);
  const char sep = platform::DecimalSeparator();
  if (sep != '.') {
    for (char& c : normal)
      if (c == sep) c = '.';
  }
  // from_chars rejects a leading "+", which people do type.
  std::string_view digits = normal;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  double value = 0;
  const auto res = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || res.ec != std::errc() || res.ptr != digits.data() + digits.size() ||
      !std::isfinite(value))
    throw ConvertError("'" + std::string(text) + "' is not a valid floating point value");
  return value;
}

long long StrToInt(std::string_view text) {
  std::string_view t = Trim(text);
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  long long value = 0;
  const auto res = std::from_chars(t.data(), t.data() + t.size(), value);
  if (t.empty() || res.ec != std::errc() || res.ptr != t.data() + t.size())
    throw ConvertError("'" + std::string(text) + "' is not a valid integer value");
  return value;
}

std::string FloatToStr(double value) {
  std::string s = ToChars(value, std::chars_format::general, 15);
  return s == "-0" ? "0" : s;
}

std::string FloatToStrFixed(double value, int decimals) {
  return ToChars(value, std::chars_format::fixed, decimals);
}

std::string FloatToStrExp(double value, int decimals) {
  return ToChars(value, std::chars_format::scientific, decimals);
}

}  // namespace quenta
