#pragma once

#include <string>
#include <string_view>

// Seat leakage (shut-off) classes. The reference data name them "Class II" to "Class VI"; items
// saved by earlier versions may hold "ASME IV" and the like. Rules compare the class itself, the
// Roman numeral, so that no spelling can make a rule silently never apply.
namespace quenta {

// The Roman numeral of a shut-off class text ("Class IV", "ASME IV", "class iv", "IV" all give
// "IV"); "" when the text names no class from I to VI.
std::string ShutOffClassNumeral(std::string_view text);

// True when the text names the class with that numeral ("VI", "II", ...).
bool ShutOffClassIs(std::string_view text, std::string_view numeral);

// The text in the notation of the reference data: "Class IV" for any spelling of class IV; a text
// that names no class is returned unchanged.
std::string NormaliseShutOffClass(std::string_view text);

}  // namespace quenta
