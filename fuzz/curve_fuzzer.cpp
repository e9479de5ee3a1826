// libFuzzer target for the curve texts: any text either builds a curve or ends in one of the
// curve's messages, and a curve that was built answers every finite lookup with a finite value.
// The first byte chooses the curve (Bezier or interpolated) and its function, the next eight are
// one lookup value; the rest is the curve text.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>

#include "platform/exception.h"
#include "platform/platform.h"
#include "refdata/curves.h"

namespace {

// Lookups every curve is asked besides the one from the input: both ends of the unit range,
// its middle, values beyond it and the extremes of a double.
constexpr double kLookups[] = {0.0,
                               1.0,
                               0.5,
                               -1.0,
                               2.0,
                               1e-300,
                               -1e-300,
                               1e300,
                               -1e300,
                               std::numeric_limits<double>::max(),
                               -std::numeric_limits<double>::max(),
                               std::numeric_limits<double>::denorm_min()};

template <class Curve>
void LookupsAreFinite(const Curve& curve, double extra) {
  for (const double v : kLookups) {
    if (!std::isfinite(curve.Lookup(v))) __builtin_trap();
  }
  if (std::isfinite(extra) && !std::isfinite(curve.Lookup(extra))) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 9) return 0;
  const std::uint8_t flags = data[0];
  double extra = 0;
  std::memcpy(&extra, data + 1, sizeof extra);
  const std::string_view text(reinterpret_cast<const char*>(data + 9), size - 9);
  // Curve texts accept the user's separator as well as ".".
  quenta::platform::SetDecimalSeparator((flags & 4) ? ',' : '.');
  const auto func = (flags & 2) ? quenta::cCurveFunction_y : quenta::cCurveFunction_x;
  try {
    if (flags & 1) {
      const quenta::xInterpolateCurve curve(text, func);
      LookupsAreFinite(curve, extra);
    } else {
      const quenta::xBezierCurve curve(text, func);
      if (curve.SegmentCount() < 1 || !curve.getSegment(1) || curve.getSegment(0) ||
          curve.getSegment(curve.SegmentCount() + 1))
        __builtin_trap();
      LookupsAreFinite(curve, extra);
      (void)curve.getSVG(0, 0, 100, 100);
      (void)curve.getPDF(0, 0, 100, 100);
    }
  } catch (const quenta::Exception&) {
    // "Malformed curve." or a number that is not one: the curve's own messages.
  }
  return 0;
}
