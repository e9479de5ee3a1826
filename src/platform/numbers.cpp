#include "platform/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
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

// Plain decimals (an optional "-", digits, at most one "."), the form of nearly every number in
// curve texts and documents, read exactly and quickly: a whole-number mantissa of at most 2^53
// and a power of ten of at most 22 are both exact doubles, so one division rounds correctly.
// Anything else (exponents, long mantissas) is left to the general reader.
bool ReadPlainDecimal(std::string_view s, double& out) {
  static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  std::size_t i = 0;
  const bool negative = !s.empty() && s[0] == '-';
  if (negative) ++i;
  std::uint64_t mantissa = 0;
  int decimals = 0;
  bool digits = false;
  bool dot = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      if (mantissa > (std::uint64_t{1} << 53)) return false;
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
      digits = true;
      if (dot) ++decimals;
    } else if (c == '.' && !dot) {
      dot = true;
    } else {
      return false;
    }
  }
  if (!digits || mantissa > (std::uint64_t{1} << 53) || decimals > 22) return false;
  const double v = static_cast<double>(mantissa) / kPow10[decimals];
  out = negative ? -v : v;
  return true;
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
  std::string_view digits = Trim(text);
  // Only a text that holds the user's own separator needs a copy with "." in its place; curve
  // and document texts are read by the thousand, so a number of usual length is copied onto
  // the stack and only a very long text onto the heap.
  const char sep = platform::DecimalSeparator();
  char shortCopy[64];
  std::string longCopy;
  if (sep != '.' && digits.find(sep) != std::string_view::npos) {
    char* copy = shortCopy;
    if (digits.size() > sizeof shortCopy) {
      longCopy.resize(digits.size());
      copy = longCopy.data();
    }
    for (std::size_t i = 0; i < digits.size(); ++i) copy[i] = digits[i] == sep ? '.' : digits[i];
    digits = std::string_view(copy, digits.size());
  }
  // from_chars rejects a leading "+", which people do type.
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  double value = 0;
  if (ReadPlainDecimal(digits, value)) return value;
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

std::string FloatToStr(double value, char separator) {
  if (!std::isfinite(value)) return NonFinite(value);
  if (value == 0) return "0";
  // Fifteen significant digits as d.dddddddddddddde[+-]x, rounded once; the exponent is that of
  // the rounded value, so 9.9999999999999999e-6 counts as 1E-5.
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
  const std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
  const std::size_t epos = sci.find('e');
  const bool negative = sci.front() == '-';
  std::string digits;  // the significant digits without trailing zeros
  for (const char c : sci.substr(0, epos))
    if (c >= '0' && c <= '9') digits += c;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  int exponent = 0;
  std::from_chars(sci.data() + epos + 1 + (sci[epos + 1] == '+'), sci.data() + sci.size(), exponent);

  std::string out = negative ? "-" : "";
  if (exponent < -5 || exponent >= 15) {
    out += digits.front();
    if (digits.size() > 1) {
      out += separator;
      out.append(digits, 1);
    }
    out += 'E';
    out += std::to_string(exponent);
  } else if (exponent < 0) {
    out += '0';
    out += separator;
    out.append(static_cast<std::size_t>(-exponent - 1), '0');
    out += digits;
  } else {
    const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      out += digits;
      out.append(whole - digits.size(), '0');
    } else {
      out.append(digits, 0, whole);
      out += separator;
      out.append(digits, whole);
    }
  }
  return out;
}

std::string FloatToUserStr(double value) {
  return FloatToStr(value, platform::DecimalSeparator());
}

std::string FloatToStrFixed(double value, int decimals) {
  return ToChars(value, std::chars_format::fixed, decimals);
}

std::string FloatToStrExp(double value, int decimals) {
  return ToChars(value, std::chars_format::scientific, decimals);
}

}  // namespace quenta
