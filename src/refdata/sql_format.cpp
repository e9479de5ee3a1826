#include "refdata/sql_format.h"

#include "platform/exception.h"
#include "platform/numbers.h"

namespace quenta {

std::string QuoteSQLText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

std::string FormatSQLArgs(std::string_view format, const std::vector<xSQLArg>& args) {
  const auto fail = [format]() -> Exception {
    return Exception("Format '" + std::string(format) + "' invalid or incompatible with argument");
  };
  std::string out;
  out.reserve(format.size() + 16 * args.size());
  std::size_t next = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c != '%') {
      out += c;
      continue;
    }
    if (++i >= format.size()) throw fail();
    if (format[i] == '%') {
      out += '%';
      continue;
    }
    int precision = -1;
    if (format[i] == '.') {
      precision = 0;
      while (++i < format.size() && format[i] >= '0' && format[i] <= '9') {
        precision = precision * 10 + (format[i] - '0');
        if (precision > 30) throw fail();  // before a long run of digits overflows
      }
      if (i >= format.size()) throw fail();
    }
    if (next >= args.size()) throw fail();
    const xSQLArg& arg = args[next++];
    switch (format[i]) {
      case 's':
        if (!std::holds_alternative<std::string_view>(arg)) throw fail();
        out += QuoteSQLText(std::get<std::string_view>(arg));
        break;
      case 'd':
        if (!std::holds_alternative<std::int64_t>(arg)) throw fail();
        out += std::to_string(std::get<std::int64_t>(arg));
        break;
      case 'g':
      case 'e':
      case 'f': {
        double v = 0;
        if (const auto* d = std::get_if<double>(&arg)) {
          v = *d;
        } else if (const auto* n = std::get_if<std::int64_t>(&arg)) {
          v = static_cast<double>(*n);
        } else {
          throw fail();
        }
        if (format[i] == 'g') {
          out += FloatToStr(v);
        } else if (format[i] == 'e') {
          out += FloatToStrExp(v, precision < 0 ? 14 : precision);
        } else {
          out += FloatToStrFixed(v, precision < 0 ? 2 : precision);
        }
        break;
      }
      default:
        throw fail();
    }
  }
  if (next != args.size()) throw fail();
  return out;
}

}  // namespace quenta
