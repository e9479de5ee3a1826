#pragma once

#include <cmath>
#include <string_view>

// Guards of the flow calculations. Floating point here does not trap: a zero pressure or a
// logarithm of a negative number quietly gives infinity or NaN, which must never reach a result.
// Inputs are checked on entry and intermediate results where they can break down; each failure
// names the quantity in a clear message. The checks sit on every condition's path, so the test
// is inline and only the failure is a call.
namespace quenta {

// Throw Exception with the message of each check below.
[[noreturn]] void FailPositive(std::string_view quantity);
[[noreturn]] void FailNotNegative(std::string_view quantity);
[[noreturn]] void FailFinite(std::string_view what);

// Throws Exception "<Quantity> must be greater than zero." unless value > 0 (NaN fails too).
inline void RequirePositive(double value, std::string_view quantity) {
  if (!(value > 0)) FailPositive(quantity);
}
// Throws Exception "<Quantity> must not be negative." unless value >= 0.
inline void RequireNotNegative(double value, std::string_view quantity) {
  if (!(value >= 0)) FailNotNegative(quantity);
}
// Throws Exception "The calculation of <what> did not give a finite number." unless value is
// finite; returns value so that it can wrap an expression.
inline double RequireFinite(double value, std::string_view what) {
  if (!std::isfinite(value)) FailFinite(what);
  return value;
}

}  // namespace quenta
