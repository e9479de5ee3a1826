#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace quenta {

// One argument of FormatSQL: a text, a whole number or a floating-point number.
using xSQLArg = std::variant<std::string_view, std::int64_t, double>;

// Builds an SQL text from a printf-style format with the directives %s (text), %d (whole
// number), %g (general, 15 significant digits), %e (scientific), %f (fixed, 2 decimals unless
// a precision is given, as in %.4f) and %%. Numbers always use "." as decimal separator.
// Every single quote of a %s argument is doubled, so a text placed between quotes stays one
// SQL string whatever it holds. Throws Exception "Format '<format>' invalid or incompatible
// with argument" for an unknown directive, a wrong argument kind, or a count mismatch.
std::string FormatSQLArgs(std::string_view format, const std::vector<xSQLArg>& args);

template <typename... Args>
std::string FormatSQL(std::string_view format, const Args&... args) {
  std::vector<xSQLArg> list;
  list.reserve(sizeof...(Args));
  auto add = [&list](const auto& a) {
    using T = std::decay_t<decltype(a)>;
    if constexpr (std::is_floating_point_v<T>) {
      list.emplace_back(static_cast<double>(a));
    } else if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char>) {
      list.emplace_back(static_cast<std::int64_t>(a));
    } else {
      list.emplace_back(std::string_view(a));
    }
  };
  (add(args), ...);
  (void)add;  // unused when there are no arguments
  return FormatSQLArgs(format, list);
}

// A text with its single quotes doubled, ready to stand between quotes in SQL.
std::string QuoteSQLText(std::string_view text);

}  // namespace quenta
