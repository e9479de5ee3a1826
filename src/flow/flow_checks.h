#pragma once

#include <string_view>

// Guards of the flow calculations. Floating point here does not trap: a zero pressure or a
// logarithm of a negative number quietly gives infinity or NaN, which must never reach a result.
// Inputs are checked on entry and intermediate results where they can break down; each failure
// names the quantity in a clear message.
namespace quenta {

// Throws Exception "<Quantity> must be greater than zero." unless value > 0 (NaN fails too).
void RequirePositive(double value, std::string_view quantity);
// Throws Exception "<Quantity> must not be negative." unless value >= 0.
void RequireNotNegative(double value, std::string_view quantity);
// Throws Exception "The calculation of <what> did not give a finite number." unless value is
// finite; returns value so that it can wrap an expression.
double RequireFinite(double value, std::string_view what);

}  // namespace quenta
