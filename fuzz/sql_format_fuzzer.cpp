// libFuzzer target for FormatSQLArgs. The input is a format text, then after each zero byte one
// argument whose first byte gives its kind ('s' text, 'd' whole number, anything else a
// floating-point number) and whose other bytes its value. A format either fails with its one
// message or gives the text a plain reading of the format predicts: every directive filled in,
// every single quote of a text argument doubled, numbers with "." whatever the user's separator.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/exception.h"
#include "platform/numbers.h"
#include "platform/platform.h"
#include "refdata/sql_format.h"

namespace {

using quenta::xSQLArg;

template <class T>
T FromBytes(std::string_view bytes) {
  T value{};
  std::memcpy(&value, bytes.data(), bytes.size() < sizeof value ? bytes.size() : sizeof value);
  return value;
}

std::string Doubled(std::string_view text) {
  std::string out;
  for (const char c : text) {
    out += c;
    if (c == '\'') out += "'";
  }
  return out;
}

// The text the format should give, or nothing when it should fail.
std::optional<std::string> Expected(std::string_view format, const std::vector<xSQLArg>& args) {
  std::string out;
  std::size_t next = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      out += format[i];
      continue;
    }
    if (i + 1 == format.size()) return std::nullopt;
    char directive = format[++i];
    if (directive == '%') {
      out += '%';
      continue;
    }
    int precision = -1;
    if (directive == '.') {
      precision = 0;
      while (i + 1 < format.size() && format[i + 1] >= '0' && format[i + 1] <= '9') {
        precision = precision * 10 + (format[++i] - '0');
        if (precision > 30) precision = 31;  // too many decimals, however many digits follow
      }
      if (precision > 30 || i + 1 == format.size()) return std::nullopt;
      directive = format[++i];
    }
    if (next == args.size()) return std::nullopt;
    const xSQLArg& arg = args[next++];
    const auto* text = std::get_if<std::string_view>(&arg);
    const auto* whole = std::get_if<std::int64_t>(&arg);
    const auto* real = std::get_if<double>(&arg);
    switch (directive) {
      case 's':
        if (!text) return std::nullopt;
        out += Doubled(*text);
        break;
      case 'd':
        if (!whole) return std::nullopt;
        out += std::to_string(*whole);
        break;
      case 'g':
      case 'e':
      case 'f': {
        if (text) return std::nullopt;
        const double v = real ? *real : static_cast<double>(*whole);
        if (directive == 'g') out += quenta::FloatToStr(v, '.');
        if (directive == 'e') out += quenta::FloatToStrExp(v, precision < 0 ? 14 : precision);
        if (directive == 'f') out += quenta::FloatToStrFixed(v, precision < 0 ? 2 : precision);
        break;
      }
      default:
        return std::nullopt;
    }
  }
  if (next != args.size()) return std::nullopt;
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t end = input.find('\0');
  const std::string_view format = input.substr(0, end);
  std::vector<xSQLArg> args;
  while (end != std::string_view::npos && args.size() < 16) {
    const std::size_t start = end + 1;
    end = input.find('\0', start);
    const std::string_view chunk = input.substr(start, end == std::string_view::npos ? end : end - start);
    if (chunk.empty()) continue;
    const std::string_view value = chunk.substr(1);
    if (chunk[0] == 's') {
      args.emplace_back(value);
    } else if (chunk[0] == 'd') {
      args.emplace_back(FromBytes<std::int64_t>(value));
    } else {
      args.emplace_back(FromBytes<double>(value));
    }
  }
  // SQL texts use "." whatever the user writes.
  quenta::platform::SetDecimalSeparator((size % 2) ? ',' : '.');

  const std::optional<std::string> expected = Expected(format, args);
  std::string got;
  try {
    got = quenta::FormatSQLArgs(format, args);
  } catch (const quenta::Exception& e) {
    if (expected) __builtin_trap();  // refused a sound format
    if (std::string(e.what()) != "Format '" + std::string(format) + "' invalid or incompatible with argument")
      __builtin_trap();
    return 0;
  }
  if (!expected || got != *expected) __builtin_trap();
  return 0;
}
