#include "flow/flow_checks.h"

#include <string>

#include "platform/exception.h"

namespace quenta {

void FailPositive(std::string_view quantity) {
  throw Exception(std::string(quantity) + " must be greater than zero.");
}

void FailNotNegative(std::string_view quantity) {
  throw Exception(std::string(quantity) + " must not be negative.");
}

void FailFinite(std::string_view what) {
  throw Exception("The calculation of " + std::string(what) + " did not give a finite number.");
}

}  // namespace quenta
