#include "flow/diffuser_search.h"

#include <algorithm>
#include <cmath>

#include "platform/exception.h"

namespace quenta {

double DiffuserInletPressure(double p2, double ratedCv, const std::function<double(double)>& requiredCv) {
  constexpr double kResolution = 0.1;  // kPa
  double lo = p2;
  double hi = 1000 * p2;
  // Each pass halves the bracket; two passes of slack absorb the rounding of the midpoints.
  const double halvings = std::ceil(std::log2(std::max((hi - lo) / kResolution, 1.0)));
  if (!std::isfinite(halvings)) throw Exception(kDiffuserSearchError);
  const int maxPasses = static_cast<int>(halvings) + 2;
  double p1 = lo;
  for (int pass = 1;; ++pass) {
    p1 = (lo + hi) / 2;
    // A midpoint that is not strictly inside the bracket means doubles cannot narrow it further.
    if (pass > maxPasses || !(p1 > lo && p1 < hi)) throw Exception(kDiffuserSearchError);
    if (requiredCv(p1) >= ratedCv) {
      lo = p1;
    } else {
      hi = p1;
    }
    if (hi - lo < kResolution) return p1;
  }
}

}  // namespace quenta
