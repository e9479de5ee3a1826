#include "refdata/curves.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "platform/exception.h"
#include "platform/platform.h"
#include "support/message_of.h"

namespace quenta {
namespace {
using testing::MessageOf;

struct Point {
  double x;
  double y;
};

using Points = std::array<double, 8>;  // P0.x, P0.y, ... P3.x, P3.y

// A point of a cubic Bezier segment from the Bernstein form, apart from the curve's own
// power-basis arithmetic.
Point BezierPoint(const Points& p, double t) {
  const double u = 1 - t;
  const double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
  return {b0 * p[0] + b1 * p[2] + b2 * p[4] + b3 * p[6], b0 * p[1] + b1 * p[3] + b2 * p[5] + b3 * p[7]};
}

// Sets the user's decimal separator for one test and puts the previous one back.
class SeparatorGuard {
 public:
  explicit SeparatorGuard(char separator) { platform::SetDecimalSeparator(separator); }
  ~SeparatorGuard() { platform::SetDecimalSeparator(saved_); }
  SeparatorGuard(const SeparatorGuard&) = delete;
  SeparatorGuard& operator=(const SeparatorGuard&) = delete;

 private:
  const char saved_ = platform::DecimalSeparator();
};

// A linear-ish valve characteristic in three sections, as the trim designs split it.
constexpr const char* kThreeSections =
    "0\\0\\0.1\\0.01\\0.2\\0.03\\0.3\\0.06\\"
    "0.3\\0.06\\0.45\\0.11\\0.55\\0.2\\0.65\\0.3\\"
    "0.65\\0.3\\0.8\\0.5\\0.9\\0.75\\1\\1\\";
const std::array<Points, 3> kThreeSectionPoints = {{
    {0, 0, 0.1, 0.01, 0.2, 0.03, 0.3, 0.06},
    {0.3, 0.06, 0.45, 0.11, 0.55, 0.2, 0.65, 0.3},
    {0.65, 0.3, 0.8, 0.5, 0.9, 0.75, 1, 1},
}};

constexpr const char* kOneSegment = "0\\0\\0.3\\0.1\\0.7\\0.9\\1\\1\\";

TEST(BezierCurveTest, OneSegmentText) {
  const xBezierCurve curve(kOneSegment, cCurveFunction_x);
  ASSERT_EQ(curve.SegmentCount(), 1);
  const xBezierCurveSegment* s = curve.getSegment(1);
  ASSERT_NE(s, nullptr);
  const Points p = {0, 0, 0.3, 0.1, 0.7, 0.9, 1, 1};
  for (std::size_t i = 0; i < p.size(); ++i) EXPECT_DOUBLE_EQ(s->points[i], p[i]) << i;

  // The coefficients must trace the same curve as the Bernstein form, slopes included.
  for (const double t : {0.0, 0.25, 0.5, 0.8, 1.0}) {
    SCOPED_TRACE(t);
    const Point b = BezierPoint(p, t);
    EXPECT_NEAR(((s->Ax * t + s->Bx) * t + s->Cx) * t + s->Dx, b.x, 1e-12);
    EXPECT_NEAR(((s->Ay * t + s->By) * t + s->Cy) * t + s->Dy, b.y, 1e-12);
    const double h = 1e-6;
    const Point ahead = BezierPoint(p, t + h), behind = BezierPoint(p, t - h);
    EXPECT_NEAR((s->A3x * t + s->B2x) * t + s->Cx, (ahead.x - behind.x) / (2 * h), 1e-6);
    EXPECT_NEAR((s->A3y * t + s->B2y) * t + s->Cy, (ahead.y - behind.y) / (2 * h), 1e-6);
  }

  EXPECT_NEAR(curve.Lookup(0), 0, 1e-9);
  EXPECT_NEAR(curve.Lookup(1), 1, 1e-9);
  EXPECT_EQ(curve.Lookup(1.2), 1.0);  // beyond the end of a curve that ends at x = 1
  // By y Newton stops on a coarser step, so the ends are met less closely.
  const xBezierCurve byY(kOneSegment, cCurveFunction_y);
  EXPECT_NEAR(byY.Lookup(0), 0, 1e-5);
  EXPECT_NEAR(byY.Lookup(1), 1, 1e-5);
}

TEST(BezierCurveTest, LookupInsideMatchesTheBezierFormula) {
  const xBezierCurve byX(kThreeSections, cCurveFunction_x);
  const xBezierCurve byY(kThreeSections, cCurveFunction_y);
  ASSERT_EQ(byX.SegmentCount(), 3);
  struct Case {
    int segment;  // 0-based into kThreeSectionPoints
    double t;
  };
  for (const Case c : {Case{0, 0.05}, Case{0, 0.5}, Case{0, 0.97}, Case{1, 0.1}, Case{1, 0.37}, Case{1, 0.9},
                       Case{2, 0.02}, Case{2, 0.6}, Case{2, 0.99}}) {
    SCOPED_TRACE(::testing::Message() << "segment " << c.segment + 1 << " t " << c.t);
    const Point p = BezierPoint(kThreeSectionPoints[c.segment], c.t);
    EXPECT_NEAR(byX.Lookup(p.x), p.y, 1e-5);
    EXPECT_NEAR(byY.Lookup(p.y), p.x, 1e-4);
  }
}

TEST(BezierCurveTest, LookupBelowAndBeyondTheCurve) {
  // Starts at (0.1, 0.05) and ends at (0.9, 0.8).
  const char* text = "0.1\\0.05\\0.3\\0.2\\0.6\\0.5\\0.9\\0.8\\";
  const xBezierCurve byX(text, cCurveFunction_x);
  const xBezierCurve byY(text, cCurveFunction_y);
  EXPECT_NEAR(byX.Lookup(0), 0.05, 1e-12);
  EXPECT_NEAR(byX.Lookup(-5), 0.05, 1e-12);
  EXPECT_EQ(byX.Lookup(0.95), 1.0);  // 1.0, not the end point's 0.8
  EXPECT_NEAR(byY.Lookup(0), 0.1, 1e-12);
  EXPECT_EQ(byY.Lookup(0.85), 1.0);
}

TEST(BezierCurveTest, LevelSegmentGivesItsHeightWherever) {
  // A constant FL of 0.85 up to half travel, then falling to 0.7: the level segment answers its
  // height exactly; the next one still follows its curve; beyond the end the lookup gives 1.0.
  const xBezierCurve fl("0\\0.85\\0.2\\0.85\\0.3\\0.85\\0.5\\0.85\\0.5\\0.85\\0.6\\0.8\\0.8\\0.75\\1\\0.7\\",
                        cCurveFunction_x);
  for (const double x : {0.0, 0.1234, 0.25, 0.5}) EXPECT_EQ(fl.Lookup(x), 0.85) << x;
  EXPECT_LT(fl.Lookup(0.75), 0.85);
  EXPECT_GT(fl.Lookup(0.75), 0.7);
  EXPECT_EQ(fl.Lookup(1.5), 1.0);
}

TEST(BezierCurveTest, SegmentsAreIndependentAndNumberedFromOne) {
  // The second segment starts at x = 0.5, not where the first one ends.
  const xBezierCurve curve(
      "0\\0\\0.1\\0.1\\0.3\\0.3\\0.4\\0.4\\"
      "0.5\\0.6\\0.6\\0.7\\0.9\\0.9\\1\\1\\",
      cCurveFunction_x);
  ASSERT_EQ(curve.SegmentCount(), 2);
  ASSERT_NE(curve.getSegment(2), nullptr);
  EXPECT_EQ(curve.getSegment(2)->points[0], 0.5);
  EXPECT_EQ(curve.getSegment(2)->points[7], 1);
  for (const int n : {0, 3, -1, 255}) EXPECT_EQ(curve.getSegment(n), nullptr) << n;
  // In the gap: past the first segment's end, so the second segment answers with its start.
  EXPECT_NEAR(curve.Lookup(0.45), 0.6, 1e-12);
}

TEST(BezierCurveTest, OtherCurveFunctionLooksUpZero) {
  const xBezierCurve curve(kOneSegment, static_cast<enumCurveFunction>(2));
  EXPECT_EQ(curve.Lookup(0.5), 0);
}

TEST(BezierCurveTest, ZeroSlopeStillAnswers) {
  // x(t) = 4t³ − 6t² + 3t has x'(0.5) = 0, right where Newton starts, and y(t) = 3t² − 2t³.
  // x(t) = v has the closed form t = (1 + ∛(2v − 1)) / 2.
  const xBezierCurve kink("0\\0\\1\\0\\0\\1\\1\\1\\", cCurveFunction_x);
  for (const double v : {0.3, 0.7, 0.9}) {
    const double t = (1 + std::cbrt(2 * v - 1)) / 2;
    EXPECT_NEAR(kink.Lookup(v), 3 * t * t - 2 * t * t * t, 1e-5) << v;
  }

  // y is 0.5 all along: every slope of y is 0.
  const xBezierCurve flat("0\\0.5\\0.3\\0.5\\0.7\\0.5\\1\\0.5\\", cCurveFunction_y);
  for (const double v : {0.5, 0.4}) {
    const double x = flat.Lookup(v);
    EXPECT_TRUE(std::isfinite(x)) << v;
    EXPECT_GE(x, 0) << v;
    EXPECT_LE(x, 1) << v;
  }
}

TEST(BezierCurveTest, FoldedSegmentWhereNewtonCyclesStillFindsThePoint) {
  // Along the lookup axis the segment runs 0, 0.2, −1, 1: it rises a little, folds back below
  // 0 and climbs to 1. Newton from t = 0.5 for 0.3 jumps to t = 0 and back to 0.5 for ever.
  // The other axis is t itself (0, 1/3, 2/3, 1), so the answer is the t found, and the lookup
  // axis at that t must give back 0.3.
  const Points folded = {0, 0, 0.2, 1.0 / 3, -1, 2.0 / 3, 1, 1};
  const char* third = "0.33333333333333333";
  const char* twoThirds = "0.66666666666666667";
  const std::string byXText = std::string("0\\0\\0.2\\") + third + "\\-1\\" + twoThirds + "\\1\\1\\";
  const std::string byYText = std::string("0\\0\\") + third + "\\0.2\\" + twoThirds + "\\-1\\1\\1\\";
  struct Case {
    std::string text;
    enumCurveFunction func;
  };
  for (const Case& c : {Case{byXText, cCurveFunction_x}, Case{byYText, cCurveFunction_y}}) {
    SCOPED_TRACE(c.func);
    const double t = xBezierCurve(c.text, c.func).Lookup(0.3);
    ASSERT_TRUE(std::isfinite(t));
    EXPECT_GE(t, 0);
    EXPECT_LE(t, 1);
    EXPECT_NEAR(BezierPoint(folded, t).x, 0.3, 1e-9);
  }
}

TEST(BezierCurveTest, DrawingTexts) {
  const xBezierCurve one(kOneSegment, cCurveFunction_x);
  // (0, 0) lands on the corner (x1, y2) and (1, 1) on (x2, y1).
  EXPECT_EQ(one.getSVG(10, 20, 110, 220), "M10.00 220.00 C40.00 200.00 80.00 40.00 110.00 20.00 ");
  EXPECT_EQ(one.getPDF(10, 20, 110, 220), "10.00 220.00 m 40.00 200.00 80.00 40.00 110.00 20.00 c ");

  const xBezierCurve two(
      "0\\0\\0.1\\0.1\\0.3\\0.3\\0.4\\0.4\\"
      "0.5\\0.6\\0.6\\0.7\\0.9\\0.9\\1\\1\\",
      cCurveFunction_x);
  EXPECT_EQ(two.getSVG(0, 0, 7, 3),
            "M0.00 3.00 C0.70 2.70 2.10 2.10 2.80 1.80 "
            "M3.50 1.20 C4.20 0.90 6.30 0.30 7.00 0.00 ");
  EXPECT_EQ(two.getPDF(0, 0, 7, 3),
            "0.00 3.00 m 0.70 2.70 2.10 2.10 2.80 1.80 c "
            "3.50 1.20 m 4.20 0.90 6.30 0.30 7.00 0.00 c ");
}

enum class Kind { Bezier, Polyline };

void Build(const std::string& text, Kind kind) {
  if (kind == Kind::Bezier) {
    xBezierCurve(text, cCurveFunction_x);
  } else {
    xInterpolateCurve(text, cCurveFunction_x);
  }
}

TEST(CurveTextTest, TextsThatEndInsideASegmentOrPairOrHoldHugeNumbersAreMalformed) {
  struct Case {
    std::string text;
    Kind kind;
  };
  const std::vector<Case> cases = {
      {"", Kind::Bezier},
      {"0\\0\\0.3\\0.1\\0.7\\0.9\\1\\1", Kind::Bezier},  // last number without its backslash
      {"0\\0\\0.3\\0.1\\0.7\\0.9\\1\\", Kind::Bezier},   // seven numbers
      {std::string(kOneSegment) + "0.5\\", Kind::Bezier},
      {std::string(kOneSegment) + "junk", Kind::Bezier},
      {"", Kind::Polyline},
      {"1\\0\\2\\5\\3", Kind::Polyline},
      {"1\\0\\2\\", Kind::Polyline},
      {"1\\0\\ ", Kind::Polyline},
      // Numbers so large that a lookup would overflow into NaN.
      {"0\\0\\1e308\\0\\-1e308\\1\\1\\1\\", Kind::Bezier},
      {"-1e301\\0\\1\\1\\", Kind::Polyline},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MessageOf<Exception>([&] { Build(c.text, c.kind); }), "Malformed curve.")
        << "'" << c.text << "' as " << (c.kind == Kind::Bezier ? "Bezier" : "polyline");
  }
}

TEST(CurveTextTest, BadNumbersRaiseConvertErrorNamingTheText) {
  const SeparatorGuard point('.');
  struct Case {
    std::string text;
    Kind kind;
    std::string bad;
  };
  const std::vector<Case> cases = {
      {"0\\0\\abc\\0.1\\0.7\\0.9\\1\\1\\", Kind::Bezier, "abc"},
      {"0\\0\\\\0.1\\0.7\\0.9\\1\\1\\", Kind::Bezier, ""},
      {"0\\0\\0,3\\0.1\\0.7\\0.9\\1\\1\\", Kind::Bezier, "0,3"},
      {"1\\0\\2\\5x\\", Kind::Polyline, "5x"},
      {"1\\nan\\", Kind::Polyline, "nan"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MessageOf<ConvertError>([&] { Build(c.text, c.kind); }),
              "'" + c.bad + "' is not a valid floating point value")
        << c.text;
  }
}

TEST(CurveTextTest, CommaIsAcceptedWhereTheUserWritesOne) {
  const SeparatorGuard comma(',');
  const xBezierCurve withComma("0\\0\\0,3\\0,1\\0,7\\0,9\\1\\1\\", cCurveFunction_x);
  const xBezierCurve withPoint(kOneSegment, cCurveFunction_x);
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(withComma.getSegment(1)->points[i], withPoint.getSegment(1)->points[i]) << i;
  // Drawing texts keep "." whatever the user writes.
  EXPECT_EQ(withComma.getSVG(10, 20, 110, 220), "M10.00 220.00 C40.00 200.00 80.00 40.00 110.00 20.00 ");
  EXPECT_DOUBLE_EQ(xInterpolateCurve("1\\0\\2\\5\\3\\7,8\\4\\10\\", cCurveFunction_x).Lookup(2.5), 6.4);
}

TEST(InterpolateCurveTest, LooksUpAlongThePolyline) {
  const xInterpolateCurve curve("1\\0\\2\\5\\3\\7.8\\4\\10\\", cCurveFunction_x);
  struct Case {
    double value, expected;
  };
  for (const Case c : {Case{0.5, 0}, Case{1, 0}, Case{1.5, 2.5}, Case{2, 5}, Case{2.5, 6.4}, Case{3, 7.8},
                       Case{4, 10}, Case{7, 10}}) {
    EXPECT_DOUBLE_EQ(curve.Lookup(c.value), c.expected) << c.value;
  }
}

TEST(InterpolateCurveTest, SwappedAxesInvertTheTable) {
  const xInterpolateCurve curve("1\\0\\2\\5\\3\\7.8\\4\\10\\", cCurveFunction_y);
  struct Case {
    double value, expected;
  };
  for (const Case c : {Case{6.4, 2.5}, Case{0, 1}, Case{-1, 1}, Case{5, 2}, Case{11, 4}}) {
    EXPECT_DOUBLE_EQ(curve.Lookup(c.value), c.expected) << c.value;
  }
}

TEST(InterpolateCurveTest, SinglePointAndRepeatedX) {
  const xInterpolateCurve single("1\\5\\", cCurveFunction_x);
  for (const double v : {0.0, 1.0, 3.0}) EXPECT_EQ(single.Lookup(v), 5) << v;

  // A step at the start of the table: at x = 1 itself the first point answers, not 0/0.
  const xInterpolateCurve step("1\\0\\1\\5\\2\\7\\", cCurveFunction_x);
  EXPECT_EQ(step.Lookup(1), 0);
  EXPECT_DOUBLE_EQ(step.Lookup(1.5), 6);
}

TEST(InterpolateCurveTest, InvalidCurveFunction) {
  EXPECT_EQ(
      MessageOf<Exception>([] { xInterpolateCurve("1\\0\\2\\5\\", static_cast<enumCurveFunction>(2)); }),
      "Error: Invalid curve function");
}

}  // namespace
}  // namespace quenta
