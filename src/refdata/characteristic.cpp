#include "refdata/characteristic.h"

#include <algorithm>
#include <cstddef>
#include <limits>

#include "platform/numbers.h"
#include "refdata/curves.h"

namespace quenta {
namespace {

constexpr double kMinPercentCv = 10;
constexpr double kMaxPercentCv = 100;

struct Point {
  double x;
  double y;
};

// v kept within [lo, hi]; a NaN counts as lying below.
double KeepWithin(double v, double lo, double hi) {
  if (!(v >= lo)) return lo;
  return v > hi ? hi : v;
}

// The editor keeps its turning points in order and inside the square; a point that slipped out
// of either is pulled back, so that every section runs forwards and upwards.
std::vector<Point> OrderedTurningPoints(const std::vector<std::pair<double, double>>& percent) {
  std::vector<Point> points;
  points.reserve(percent.size());
  Point previous{0, 0};
  for (const auto& [x, y] : percent) {
    const Point p{KeepWithin(x, previous.x, 100), KeepWithin(y, previous.y, 100)};
    points.push_back(p);
    previous = p;
  }
  return points;
}

// A straight segment between two points given in percent, written in fractions: both control
// points sit on the end points.
void AppendSection(std::string& text, Point from, Point to) {
  for (const Point& p : {from, from, to, to}) {
    text += FloatToStr(p.x / 100);
    text += '\\';
    text += FloatToStr(p.y / 100);
    text += '\\';
  }
}

// A section of zero width rises (if at all) straight up. It is reported as +infinity when it
// rises and as 0 when it is a single point, which is what its rise over its width tends to.
double SlopeOf(Point from, Point to) {
  const double rise = to.y - from.y;
  const double width = to.x - from.x;
  if (width > 0) return rise / width;
  return rise > 0 ? std::numeric_limits<double>::infinity() : 0.0;
}

// 1 / the steepest slope among sections [first, last) of the given widths.
//
// A section of zero width takes no stroke, so no travel of the valve ever works on it: it has no
// capacity share of its own to size against, and it is left out here. A group with no section
// left, or whose steepest section is flat (all of it at one Cv), has no slope to divide by;
// its factor stays at the neutral 1, as it does for a group that does not exist.
double FactorOf(const std::vector<double>& slopes, const std::vector<double>& widths, std::size_t first,
                std::size_t last) {
  double steepest = 0;
  for (std::size_t i = first; i < last; ++i) {
    if (widths[i] > 0) steepest = std::max(steepest, slopes[i]);
  }
  return steepest > 0 ? 1 / steepest : 1.0;
}

// The first CC section (1-based), or 0. The first box belongs to the first turning point, so a
// single-section curve has none to tick; the second box only counts when it parts exactly
// three sections into two plain ones and one CC section.
int ComboTrimOf(std::size_t sections, bool ccFromTP1, bool ccFromTP2) {
  if (ccFromTP1 && sections >= 2) return 2;
  if (sections == 3 && ccFromTP2) return 3;
  return 0;
}

}  // namespace

double CharacteristicOpening(std::string_view curve, double cvFraction) {
  return xBezierCurve(curve, cCurveFunction_y).Lookup(cvFraction);
}

double CharacteristicCapacity(std::string_view curve, double travel) {
  return xBezierCurve(curve, cCurveFunction_x).Lookup(travel);
}

std::vector<xCharacteristicSection> CharacteristicSections(std::string_view curve) {
  const xBezierCurve bezier(curve, cCurveFunction_x);
  std::vector<xCharacteristicSection> sections;
  sections.reserve(static_cast<std::size_t>(bezier.SegmentCount()));
  for (int n = 1; n <= bezier.SegmentCount(); ++n) {
    const double* p = bezier.getSegment(n)->points;
    sections.push_back({p[0], p[1], p[6], p[7]});
  }
  return sections;
}

xUserCharacteristic BuildUserCharacteristic(
    const std::vector<std::pair<double, double>>& turningPointsPercent, bool ccFromTP1, bool ccFromTP2) {
  // Slopes are taken in percent, where the editor's whole numbers keep them exact: 90 / 60 is
  // 1.5, while 0.9 / 0.6 is not quite.
  std::vector<Point> corners{{0, 0}};
  for (const Point& p : OrderedTurningPoints(turningPointsPercent)) corners.push_back(p);
  corners.push_back({100, 100});

  xUserCharacteristic result;
  std::vector<double> widths;
  for (std::size_t i = 1; i < corners.size(); ++i) {
    AppendSection(result.valvechar, corners[i - 1], corners[i]);
    result.slopes.push_back(SlopeOf(corners[i - 1], corners[i]));
    widths.push_back(corners[i].x - corners[i - 1].x);
  }

  // With n sections the CC sections run from combotrim to n and the plain ones before them. For
  // one to three sections this is the editor's factor table row by row; four or more sections
  // follow the same rule, so that a longer characteristic gets usable factors instead of none.
  const std::size_t n = result.slopes.size();
  result.combotrim = ComboTrimOf(n, ccFromTP1, ccFromTP2);
  const std::size_t firstCC =
      result.combotrim == 0 ? n : std::min(n, static_cast<std::size_t>(result.combotrim - 1));
  result.factorcv = FactorOf(result.slopes, widths, 0, firstCC);
  result.factorcc = FactorOf(result.slopes, widths, firstCC, n);
  return result;
}

double ClampPercentCv(double typed) {
  return std::clamp(typed, kMinPercentCv, kMaxPercentCv);
}

}  // namespace quenta
