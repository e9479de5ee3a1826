#pragma once

#include <functional>

namespace quenta {

inline constexpr const char* kDiffuserSearchError = "The diffuser pressure search did not narrow to 0.1 kPa.";

// The upstream pressure at which a fixed plate passes exactly its rated Cv. The bracket from p2
// to 1000 × p2 is halved until it is narrower than 0.1 kPa; requiredCv(p1) sizes the plate at
// inlet pressure p1 and returns the Cv it needs there (more than rated: the inlet pressure must
// rise). Returns the last midpoint, at which requiredCv was called last. The number of halvings
// is bounded by the width of the bracket; a bracket that doubles cannot narrow that far throws
// Exception kDiffuserSearchError instead of searching for ever.
double DiffuserInletPressure(double p2, double ratedCv, const std::function<double(double)>& requiredCv);

}  // namespace quenta
