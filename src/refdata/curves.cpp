#include "refdata/curves.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <system_error>

#include "platform/exception.h"
#include "platform/numbers.h"
#include "platform/platform.h"

namespace quenta {
namespace {

constexpr const char* kMalformed = "Malformed curve.";

// Newton on a segment's parameter stops when t moves by no more than this; looking up by y
// settles on a ten times coarser step.
constexpr double kToleranceByX = 0.00005;
constexpr double kToleranceByY = 0.0005;
// Stands in for a slope of exactly 0, where a Newton step would divide by zero.
constexpr double kFlatSlope = 0.0000001;
// Newton from the middle of a segment converges in a handful of passes on every sensible
// curve; a segment whose control points fold it back can make it cycle for ever instead.
constexpr int kMaxNewtonPasses = 100;
// Halving [0, 1] this often reaches the resolution of a double.
constexpr int kBisectionPasses = 60;

// No curve of the catalogue comes near this; beyond it the cubic coefficients and the
// differences of interpolation overflow, and a lookup would answer NaN.
constexpr double kLargestCurveNumber = 1e300;

// Whether from_chars, reading a number of a curve text in place, takes the same text as
// StrToFloat: the user's separator must not be a character that can stand inside a number
// from_chars reads, or StrToFloat would have put "." in its place first.
bool ReadsInPlace(char separator) {
  return separator == '.' || !((separator >= '0' && separator <= '9') || separator == '-' ||
                               separator == '+' || separator == 'e' || separator == 'E');
}

// Hands every complete group of N numbers to add. The text must end exactly after a group.
// Each number is read by from_chars where it stands; a number that it does not read right up to
// its backslash (blanks, a "+", the user's separator, or no number at all) is handed to
// StrToFloat, so that it is accepted or refused exactly as a number anywhere else.
template <std::size_t N, class Add>
void ParseGroups(std::string_view text, Add add) {
  if (text.empty()) throw Exception(kMalformed);
  const bool inPlace = ReadsInPlace(platform::DecimalSeparator());
  std::array<double, N> numbers{};
  std::size_t filled = 0;
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p != end) {
    double value = 0;
    auto [stop, ec] = std::from_chars(p, end, value);
    if (!inPlace || ec != std::errc() || stop == end || *stop != '\\' || !std::isfinite(value)) {
      const void* slash = std::memchr(p, '\\', static_cast<std::size_t>(end - p));
      if (slash == nullptr) throw Exception(kMalformed);
      stop = static_cast<const char*>(slash);
      value = StrToFloat(std::string_view(p, static_cast<std::size_t>(stop - p)));
    }
    if (std::abs(value) > kLargestCurveNumber) throw Exception(kMalformed);
    numbers[filled++] = value;
    p = stop + 1;
    if (filled < N) continue;
    add(numbers);
    filled = 0;
  }
  if (filled != 0) throw Exception(kMalformed);
}

std::size_t CountBackslashes(std::string_view text) {
  std::size_t n = 0;
  for (const char c : text) n += (c == '\\');
  return n;
}

// One coordinate of a segment as a cubic in t.
struct Cubic {
  double a, b, c, d, a3, b2;
  double At(double t) const { return ((a * t + b) * t + c) * t + d; }
  double Slope(double t) const { return (a3 * t + b2) * t + c; }
};

Cubic XOf(const xBezierCurveSegment& s) {
  return {s.Ax, s.Bx, s.Cx, s.Dx, s.A3x, s.B2x};
}
Cubic YOf(const xBezierCurveSegment& s) {
  return {s.Ay, s.By, s.Cy, s.Dy, s.A3y, s.B2y};
}

// Power-basis coefficients of the Bezier polynomial over p0..p3.
Cubic CubicOf(double p0, double p1, double p2, double p3) {
  const double a = -p0 + 3 * p1 - 3 * p2 + p3;
  const double b = 3 * p0 - 6 * p1 + 3 * p2;
  const double c = -3 * p0 + 3 * p1;
  return {a, b, c, p0, 3 * a, 2 * b};
}

xBezierCurveSegment MakeSegment(const std::array<double, 8>& p) {
  xBezierCurveSegment s;
  for (std::size_t i = 0; i < p.size(); ++i) s.points[i] = p[i];
  const Cubic x = CubicOf(p[0], p[2], p[4], p[6]);
  const Cubic y = CubicOf(p[1], p[3], p[5], p[7]);
  s.Ax = x.a;
  s.Bx = x.b;
  s.Cx = x.c;
  s.Dx = x.d;
  s.A3x = x.a3;
  s.B2x = x.b2;
  s.Ay = y.a;
  s.By = y.b;
  s.Cy = y.c;
  s.Dy = y.d;
  s.A3y = y.a3;
  s.B2y = y.b2;
  s.level = p[1] == p[3] && p[3] == p[5] && p[5] == p[7];
  return s;
}

double Clamp01(double t) {
  if (t < 0) return 0;
  if (t > 1) return 1;
  return t;
}

// The t in [0, 1] where along(t) == value, when the ends bracket it; otherwise fallback.
double Bisect(const Cubic& along, double value, double fallback) {
  const double at0 = along.At(0) - value;
  const double at1 = along.At(1) - value;
  if (at0 == 0) return 0;
  if (at1 == 0) return 1;
  if ((at0 < 0) == (at1 < 0)) return fallback;
  double lo = 0, hi = 1;
  for (int pass = 0; pass < kBisectionPasses; ++pass) {
    const double mid = 0.5 * (lo + hi);
    const double f = along.At(mid) - value;
    if (f == 0) return mid;
    if ((f < 0) == (at0 < 0)) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return 0.5 * (lo + hi);
}

// Newton from the middle of the segment for the t where along(t) == value, kept inside the
// segment. When it does not settle, the segment is bisected instead, so that a folded segment
// still answers rather than hanging the page.
double SolveT(const Cubic& along, double value, double tolerance) {
  double previous = 1.0;
  double t = 0.5;
  for (int pass = 0; std::abs(t - previous) > tolerance; ++pass) {
    if (pass == kMaxNewtonPasses) return Bisect(along, value, t);
    previous = t;
    double slope = along.Slope(t);
    if (slope == 0) slope = kFlatSlope;
    t = Clamp01(t - (along.At(t) - value) / slope);
  }
  return t;
}

void AppendPoint(std::string& out, const char* prefix, double x, double y) {
  out += prefix;
  out += FloatToStrFixed(x, 2);
  out += ' ';
  out += FloatToStrFixed(y, 2);
  out += ' ';
}

}  // namespace

xBezierCurve::xBezierCurve(std::string_view curvestring, enumCurveFunction func) : func_(func) {
  segments_.reserve(CountBackslashes(curvestring) / 8);
  ParseGroups<8>(curvestring,
                 [this](const std::array<double, 8>& p) { segments_.push_back(MakeSegment(p)); });
}

double xBezierCurve::Lookup(double value) const {
  if (func_ != cCurveFunction_x && func_ != cCurveFunction_y) return 0;
  const bool byX = func_ == cCurveFunction_x;
  // The end coordinate along the lookup axis: P3.x or P3.y.
  const std::size_t end = byX ? 6 : 7;
  auto seg = segments_.begin();
  while (value > seg->points[end]) {
    if (++seg == segments_.end()) return 1.0;
  }
  if (byX) return seg->level ? seg->Dy : YOf(*seg).At(SolveT(XOf(*seg), value, kToleranceByX));
  return XOf(*seg).At(SolveT(YOf(*seg), value, kToleranceByY));
}

const xBezierCurveSegment* xBezierCurve::getSegment(int n) const {
  if (n < 1 || n > SegmentCount()) return nullptr;
  return &segments_[static_cast<std::size_t>(n - 1)];
}

namespace {

// A segment's four points mapped into the drawing rectangle: x0 y0 x1 y1 x2 y2 x3 y3.
std::array<double, 8> MapSegment(const xBezierCurveSegment& s, double x1, double y1, double x2, double y2) {
  std::array<double, 8> m{};
  for (std::size_t i = 0; i < m.size(); i += 2) {
    m[i] = x1 + (x2 - x1) * s.points[i];
    m[i + 1] = y2 + (y1 - y2) * s.points[i + 1];
  }
  return m;
}

}  // namespace

std::string xBezierCurve::getSVG(double x1, double y1, double x2, double y2) const {
  std::string out;
  for (const xBezierCurveSegment& s : segments_) {
    const auto m = MapSegment(s, x1, y1, x2, y2);
    AppendPoint(out, "M", m[0], m[1]);
    AppendPoint(out, "C", m[2], m[3]);
    AppendPoint(out, "", m[4], m[5]);
    AppendPoint(out, "", m[6], m[7]);
  }
  return out;
}

std::string xBezierCurve::getPDF(double x1, double y1, double x2, double y2) const {
  std::string out;
  for (const xBezierCurveSegment& s : segments_) {
    const auto m = MapSegment(s, x1, y1, x2, y2);
    AppendPoint(out, "", m[0], m[1]);
    out += "m ";
    AppendPoint(out, "", m[2], m[3]);
    AppendPoint(out, "", m[4], m[5]);
    AppendPoint(out, "", m[6], m[7]);
    out += "c ";
  }
  return out;
}

xInterpolateCurve::xInterpolateCurve(std::string_view curvestring, enumCurveFunction func) {
  if (func != cCurveFunction_x && func != cCurveFunction_y) throw Exception("Error: Invalid curve function");
  const bool swapped = func == cCurveFunction_y;
  points_.reserve(CountBackslashes(curvestring) / 2);
  ParseGroups<2>(curvestring, [&](const std::array<double, 2>& pair) {
    if (swapped) {
      points_.push_back({pair[1], pair[0]});
    } else {
      points_.push_back({pair[0], pair[1]});
    }
  });
}

double xInterpolateCurve::Lookup(double value) const {
  auto p = points_.begin();
  if (value < p->x) return p->y;
  while (p + 1 != points_.end() && value > (p + 1)->x) ++p;
  if (p + 1 == points_.end()) return p->y;
  const auto q = p + 1;
  // Two leading points on the same x, looked up at that x: the first point's y, as at any
  // other step in the table, rather than 0/0.
  if (q->x == p->x) return p->y;
  return p->y + (value - p->x) / (q->x - p->x) * (q->y - p->y);
}

}  // namespace quenta
