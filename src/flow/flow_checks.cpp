#include "flow/flow_checks.h"

#include <cmath>
#include <string>

#include "platform/exception.h"

namespace quenta {

void RequirePositive(double value, std::string_view quantity) {
  if (!(value > 0)) throw Exception(std::string(quantity) + " must be greater than zero.");
}

void RequireNotNegative(double value, std::string_view quantity) {
  if (!(value >= 0)) throw Exception(std::string(quantity) + " must not be negative.");
}

double RequireFinite(double value, std::string_view what) {
  if (!std::isfinite(value)) throw Exception("The calculation of " + std::string(what) + " did not give a finite number.");
  return value;
}

}  // namespace quenta
