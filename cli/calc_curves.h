#pragma once

#include <array>
#include <memory>
#include <string>
#include <unordered_map>

#include "flow/valve_curves.h"
#include "flow/valve_data.h"
#include "refdata/curves.h"

// The curves of the conditions of one `quenta-cli calc --lines` run. A script sends many
// conditions of the same few valves, and each line's curve texts would otherwise be parsed again
// for every condition.
namespace quenta::cli {

class xCalcCurves {
 public:
  // The parsed curves of every non-empty curve text of valve, for its Curves. A text that does
  // not parse is left out, so that the calculation parses it itself and fails with its own
  // message at the point where it reads it, exactly as without shared curves. Never throws.
  std::shared_ptr<const xValveCurves> For(const IEC_ValveData& valve);

 private:
  using Bezier = std::shared_ptr<const xBezierCurve>;
  using Polyline = std::shared_ptr<const xInterpolateCurve>;
  Bezier BezierOf(const std::string& text, enumCurveFunction func);
  Polyline PolylineOf(const std::string& text);

  // By text; a null curve marks a text that does not parse. Emptied when it grows beyond a
  // few hundred texts, so that a run over many valves keeps a bounded amount.
  std::unordered_map<std::string, Bezier> byX_, byY_;
  std::unordered_map<std::string, Polyline> polylines_;
  // The texts of the previous line and its curves: consecutive lines mostly share their valve.
  std::array<std::string, 6> lastTexts_;
  std::shared_ptr<const xValveCurves> last_;
};

}  // namespace quenta::cli
