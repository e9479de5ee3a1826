#include "refdata/shutoff_class.h"

#include <cctype>

namespace quenta {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::string ShutOffClassNumeral(std::string_view text) {
  std::string t = Upper(Trim(text));
  for (const char* prefix : {"CLASS", "ASME", "ANSI", "FCI"}) {
    const std::string_view p(prefix);
    if (t.rfind(p, 0) == 0) {
      t = std::string(Trim(std::string_view(t).substr(p.size())));
      break;
    }
  }
  for (const char* numeral : {"I", "II", "III", "IV", "V", "VI"})
    if (t == numeral) return t;
  return {};
}

bool ShutOffClassIs(std::string_view text, std::string_view numeral) {
  const std::string n = ShutOffClassNumeral(text);
  return !n.empty() && n == Upper(numeral);
}

std::string NormaliseShutOffClass(std::string_view text) {
  const std::string n = ShutOffClassNumeral(text);
  return n.empty() ? std::string(text) : "Class " + n;
}

}  // namespace quenta
