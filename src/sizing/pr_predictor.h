#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "refdata/database.h"

// Pressure-rating questions about a body material, answered from the rating curves of its
// material group (allowed pressure in kPa(a) against temperature in Kelvin): which is the
// lowest rating that holds a design pressure, what margin a chosen rating leaves, and the
// material's temperature limits.
namespace quenta {

// The prediction when no rating of the material holds the design pressure.
inline constexpr const char* kNotSuitable = "Not Suitable";

class xPRPredictor {
 public:
  // The predictor keeps a query of its own on the connection, which must outlive it.
  explicit xPRPredictor(xConnection& Connection);
  xPRPredictor(const xPRPredictor&) = delete;
  xPRPredictor& operator=(const xPRPredictor&) = delete;

  // The Display of the first rating, in the order the database returns the material's
  // ratings, whose allowed pressure at T is above P; kNotSuitable when none is (also for an
  // unknown material). A pressure exactly at a rating's limit does not fit that rating.
  // Throws the curve's failure for a malformed rating curve and DatabaseError when the query
  // fails.
  std::string GetPrediction(std::string_view mat, double P, double T);

  // How far, in percent of P, the allowed pressure of rating PRating at T lies above P. 0 when
  // the rating does not hold P, when the material's group lists the rating not exactly once,
  // and when P is not above zero (no margin can be stated in percent of it).
  double GetSafetyFactor(std::string_view mat, std::string_view PRating, double P, double T);

  // The material's temperature limits in Kelvin. Throws Exception "Body material '<mat>' not
  // found." for a name that no row holds.
  double GetMaxTemp(std::string_view mat);
  double GetMinTemp(std::string_view mat);

  // Clears list and appends every body material name in the database's row order.
  void getList(std::vector<std::string>& list);

 private:
  double MaterialColumn(std::string_view sql, std::string_view column, std::string_view mat);

  xQuery query;
};

}  // namespace quenta
