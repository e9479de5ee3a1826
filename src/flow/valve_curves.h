#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "refdata/curves.h"

// The curves of one valve, parsed once and shared by every condition calculated with it. A
// catalogue row's curve texts are the same for all its conditions and for both passes of the
// auto-sizing, so reading them again for each condition would be work thrown away.
namespace quenta {

struct IEC_ValveData;

// A curve left empty is parsed by the calculation from its text, as without shared curves.
struct xValveCurves {
  std::shared_ptr<const xBezierCurve> Fl, Fd, Xt;          // by relative travel
  std::shared_ptr<const xBezierCurve> Characteristic;      // by relative Cv
  std::shared_ptr<const xInterpolateCurve> DeltaLF, dLwG;  // by xF and by Δp/p1
};

// Parsed curves by their text, for the life of one sizing call. Not thread-safe.
class xCurveCache {
 public:
  // The curve of text looked up by func, parsed on first use. Throws the curve's failure for a
  // malformed text, and caches nothing then.
  std::shared_ptr<const xBezierCurve> Bezier(const std::string& text, enumCurveFunction func);
  std::shared_ptr<const xInterpolateCurve> Polyline(const std::string& text);

 private:
  std::unordered_map<std::string, std::shared_ptr<const xBezierCurve>> byX_, byY_;
  std::unordered_map<std::string, std::shared_ptr<const xInterpolateCurve>> polylines_;
};

// Which of a valve's curves a calculation reads.
enum class xCurveSet { Liquid, Gas, TwoPhase };

// The shared curves of valve for the calculation of set, each through cache: the FL, Fd and
// characteristic curves, and xT and the multi-stage noise correction (gas, 2 to 5 stages) or
// the cavitation noise correction (liquid IEC noise). Throws the curve's failure for a malformed
// text that the calculation would read.
std::shared_ptr<const xValveCurves> ShareCurves(const IEC_ValveData& valve, xCurveSet set,
                                                xCurveCache& cache);

// valve with its shared curves (ShareCurves) and without the texts they were parsed from, which
// the calculations then do not read: a condition's copy of the record stays small.
IEC_ValveData WithSharedCurves(IEC_ValveData valve, xCurveSet set, xCurveCache& cache);

// The shared curve when there is one, else one parsed from text.
std::shared_ptr<const xBezierCurve> CurveOr(const std::shared_ptr<const xBezierCurve>& shared,
                                            std::string_view text, enumCurveFunction func);
std::shared_ptr<const xInterpolateCurve> CurveOr(const std::shared_ptr<const xInterpolateCurve>& shared,
                                                 std::string_view text);

}  // namespace quenta
