#pragma once

#include <functional>
#include <string>

#include "platform/exception.h"

namespace quenta::testing {

// The message of the E that f throws; kNoException when it throws nothing. Any other exception
// leaves the test with it, so a wrong kind of failure is never mistaken for the right one.
inline constexpr const char* kNoException = "<no exception>";

template <typename E = Exception>
std::string MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const E& e) {
    return e.what();
  }
  return kNoException;
}

}  // namespace quenta::testing
