#include "refdata/characteristic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "platform/exception.h"

namespace quenta {
namespace {

using TurningPoints = std::vector<std::pair<double, double>>;

constexpr double kInf = std::numeric_limits<double>::infinity();

// One turning point at 40 % travel and 10 % Cv: a slow first section and a steep second one.
constexpr const char* kWorkedExample =
    "0\\0\\0\\0\\0.4\\0.1\\0.4\\0.1\\"
    "0.4\\0.1\\0.4\\0.1\\1\\1\\1\\1\\";

// A straight line with evenly spaced control points: x(t) = y(t) = t.
constexpr const char* kLinear =
    "0\\0\\0.333333333333333\\0.333333333333333\\0.666666666666667\\0.666666666666667\\1\\1\\";

void ExpectSlopes(const std::vector<double>& actual, const std::vector<double>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (std::isinf(expected[i])) {
      EXPECT_EQ(actual[i], expected[i]) << "section " << i + 1;
    } else {
      EXPECT_NEAR(actual[i], expected[i], 1e-12) << "section " << i + 1;
    }
  }
}

TEST(UserCharacteristicTest, WorkedExampleWithOneTurningPoint) {
  const xUserCharacteristic cc = BuildUserCharacteristic({{40, 10}}, true, false);
  EXPECT_EQ(cc.valvechar, kWorkedExample);
  ExpectSlopes(cc.slopes, {0.25, 1.5});
  EXPECT_EQ(cc.combotrim, 2);
  EXPECT_NEAR(cc.factorcv, 4, 1e-12);
  EXPECT_NEAR(cc.factorcc, 1 / 1.5, 1e-12);

  // The second box means nothing with two sections.
  for (const bool tp2 : {false, true}) {
    SCOPED_TRACE(tp2);
    const xUserCharacteristic plain = BuildUserCharacteristic({{40, 10}}, false, tp2);
    EXPECT_EQ(plain.valvechar, kWorkedExample);
    EXPECT_EQ(plain.combotrim, 0);
    EXPECT_NEAR(plain.factorcv, 1 / 1.5, 1e-12);
    EXPECT_EQ(plain.factorcc, 1);
  }
}

TEST(UserCharacteristicTest, NoTurningPointIsTheStraightDiagonal) {
  const xUserCharacteristic uc = BuildUserCharacteristic({}, false, false);
  EXPECT_EQ(uc.valvechar, "0\\0\\0\\0\\1\\1\\1\\1\\");
  ExpectSlopes(uc.slopes, {1});
  EXPECT_EQ(uc.combotrim, 0);
  EXPECT_EQ(uc.factorcv, 1);
  EXPECT_EQ(uc.factorcc, 1);
  // Without a first turning point there is no section 2 for cavitation control to start from.
  EXPECT_EQ(BuildUserCharacteristic({}, true, true).combotrim, 0);
}

struct FactorCase {
  const char* name;
  TurningPoints points;
  bool tp1, tp2;
  std::vector<double> slopes;
  int combotrim;
  double factorcv, factorcc;
};

void ExpectCase(const FactorCase& c) {
  SCOPED_TRACE(c.name);
  const xUserCharacteristic uc = BuildUserCharacteristic(c.points, c.tp1, c.tp2);
  ExpectSlopes(uc.slopes, c.slopes);
  EXPECT_EQ(uc.combotrim, c.combotrim);
  EXPECT_NEAR(uc.factorcv, c.factorcv, 1e-12);
  EXPECT_NEAR(uc.factorcc, c.factorcc, 1e-12);
}

// Expected factors are worked by hand from the rise and run of each section in percent.
TEST(UserCharacteristicTest, FactorsForTwoAndThreeSections) {
  const FactorCase cases[] = {
      // (0,0)-(50,20)-(100,100): slopes 20/50, 80/50.
      {"two, rising, CC from TP1", {{50, 20}}, true, false, {0.4, 1.6}, 2, 2.5, 0.625},
      {"two, rising, no CC", {{50, 20}}, false, false, {0.4, 1.6}, 0, 0.625, 1},
      // (0,0)-(20,60)-(100,100): slopes 60/20, 40/80; the steep section comes first.
      {"two, falling, CC from TP1", {{20, 60}}, true, false, {3, 0.5}, 2, 1.0 / 3, 2},
      {"two, falling, no CC", {{20, 60}}, false, false, {3, 0.5}, 0, 1.0 / 3, 1},
      // (0,0)-(20,10)-(40,50)-(100,100): slopes 10/20, 40/20, 50/60. The steepest is the middle
      // one, so a factor taken from the wrong end of its group shows.
      {"three, CC from TP1", {{20, 10}, {40, 50}}, true, false, {0.5, 2, 50.0 / 60}, 2, 2, 0.5},
      {"three, CC from TP2", {{20, 10}, {40, 50}}, false, true, {0.5, 2, 50.0 / 60}, 3, 0.5, 1.2},
      {"three, no CC", {{20, 10}, {40, 50}}, false, false, {0.5, 2, 50.0 / 60}, 0, 0.5, 1},
      {"three, both boxes: TP1 wins", {{20, 10}, {40, 50}}, true, true, {0.5, 2, 50.0 / 60}, 2, 2, 0.5},
  };
  for (const FactorCase& c : cases) ExpectCase(c);
}

// A section without width is left out of the factors; a group with nothing steeper than flat
// left keeps the factor 1. Its slope reads +infinity when it rises and 0 when it is a point.
TEST(UserCharacteristicTest, ZeroWidthAndFlatSections) {
  const FactorCase cases[] = {
      // (0,0)-(40,10)-(40,30)-(100,100): the middle section jumps straight up.
      {"vertical middle, no CC",
       {{40, 10}, {40, 30}},
       false,
       false,
       {0.25, kInf, 70.0 / 60},
       0,
       60.0 / 70,
       1},
      {"vertical middle, CC from TP1",
       {{40, 10}, {40, 30}},
       true,
       false,
       {0.25, kInf, 70.0 / 60},
       2,
       4,
       60.0 / 70},
      {"vertical middle, CC from TP2",
       {{40, 10}, {40, 30}},
       false,
       true,
       {0.25, kInf, 70.0 / 60},
       3,
       4,
       60.0 / 70},
      // Two equal turning points: the middle section is a single point.
      {"point in the middle", {{40, 10}, {40, 10}}, false, false, {0.25, 0, 1.5}, 0, 1 / 1.5, 1},
      // Last point at full travel: the last section climbs the right edge, the CC group is empty.
      {"vertical last, CC from TP1", {{100, 50}}, true, false, {0.5, kInf}, 2, 2, 1},
      {"vertical last, no CC", {{100, 50}}, false, false, {0.5, kInf}, 0, 2, 1},
      // No capacity in the first half of the stroke.
      {"flat first, CC from TP1", {{50, 0}}, true, false, {0, 2}, 2, 1, 0.5},
      // Flat, then a point, then the right edge: nothing to divide by anywhere.
      {"nothing but flat and vertical", {{50, 0}, {100, 0}}, false, false, {0, 0, kInf}, 0, 1, 1},
  };
  for (const FactorCase& c : cases) ExpectCase(c);
}

TEST(UserCharacteristicTest, FourSectionsFollowTheFirstBoxOnly) {
  // (0,0)-(20,10)-(40,50)-(70,60)-(100,100): slopes 10/20, 40/20, 10/30, 40/30.
  const TurningPoints points = {{20, 10}, {40, 50}, {70, 60}};
  const std::vector<double> slopes = {0.5, 2, 1.0 / 3, 4.0 / 3};
  const FactorCase cases[] = {
      {"CC from TP1", points, true, false, slopes, 2, 2, 0.5},
      {"both boxes", points, true, true, slopes, 2, 2, 0.5},
      {"CC from TP2 only", points, false, true, slopes, 0, 0.5, 1},
      {"no CC", points, false, false, slopes, 0, 0.5, 1},
  };
  for (const FactorCase& c : cases) ExpectCase(c);

  // Five sections with the steepest one last, inside the CC group.
  ExpectCase({"five, CC from TP1",
              {{10, 20}, {30, 30}, {60, 40}, {80, 50}},
              true,
              false,
              {2, 0.5, 1.0 / 3, 0.5, 2.5},
              2,
              0.5,
              0.4});
}

TEST(UserCharacteristicTest, PointsOutOfOrderOrOutsideAreHeldBack) {
  // The second point lies behind the first and is held at it; the third lies outside the square.
  const xUserCharacteristic uc = BuildUserCharacteristic({{50, 40}, {30, 20}, {120, -5}}, false, false);
  EXPECT_EQ(uc.valvechar,
            "0\\0\\0\\0\\0.5\\0.4\\0.5\\0.4\\"
            "0.5\\0.4\\0.5\\0.4\\0.5\\0.4\\0.5\\0.4\\"
            "0.5\\0.4\\0.5\\0.4\\1\\0.4\\1\\0.4\\"
            "1\\0.4\\1\\0.4\\1\\1\\1\\1\\");
  ExpectSlopes(uc.slopes, {0.8, 0, 0, kInf});
  EXPECT_NEAR(uc.factorcv, 1 / 0.8, 1e-12);
}

TEST(UserCharacteristicTest, SavedTextReadsBackThroughTheTurningPoints) {
  const TurningPoints points = {{15, 5}, {15, 25}, {62.5, 37.5}, {100, 80}};
  const xUserCharacteristic uc = BuildUserCharacteristic(points, true, false);
  const std::vector<xCharacteristicSection> sections = CharacteristicSections(uc.valvechar);
  ASSERT_EQ(sections.size(), points.size() + 1);
  double x = 0, y = 0;
  for (std::size_t i = 0; i < sections.size(); ++i) {
    SCOPED_TRACE(i);
    const double endX = i < points.size() ? points[i].first / 100 : 1;
    const double endY = i < points.size() ? points[i].second / 100 : 1;
    EXPECT_DOUBLE_EQ(sections[i].startX, x);
    EXPECT_DOUBLE_EQ(sections[i].startY, y);
    EXPECT_DOUBLE_EQ(sections[i].endX, endX);
    EXPECT_DOUBLE_EQ(sections[i].endY, endY);
    x = endX;
    y = endY;
  }
  // Every section is straight: halfway along a section of width, halfway up its rise.
  EXPECT_NEAR(CharacteristicCapacity(uc.valvechar, (0.15 + 0.625) / 2), (0.25 + 0.375) / 2, 1e-6);
}

TEST(CharacteristicLookupTest, OpeningForACvFraction) {
  struct Case {
    const char* curve;
    double cvFraction;
    double travel;
  };
  const Case cases[] = {
      {kLinear, 0.35, 0.35},
      {kLinear, 0.9, 0.9},
      // Within the first section x is four times y; the second runs from (0.4, 0.1) to (1, 1).
      {kWorkedExample, 0.05, 0.2},
      {kWorkedExample, 0.1, 0.4},
      {kWorkedExample, 0.55, 0.7},
      {kWorkedExample, 0.91, 0.94},
      {kWorkedExample, 1.2, 1.0},
      {kLinear, 1.0001, 1.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.curve << " at " << c.cvFraction);
    EXPECT_NEAR(CharacteristicOpening(c.curve, c.cvFraction), c.travel, 1e-4);
  }
}

TEST(CharacteristicLookupTest, CapacityAtAnOpening) {
  struct Case {
    const char* curve;
    double travel;
    double cvFraction;
  };
  const Case cases[] = {
      {kLinear, 0.35, 0.35},       {kWorkedExample, 0.2, 0.05}, {kWorkedExample, 0.4, 0.1},
      {kWorkedExample, 0.7, 0.55}, {kWorkedExample, 1.0, 1.0},  {kWorkedExample, 1.5, 1.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.curve << " at " << c.travel);
    EXPECT_NEAR(CharacteristicCapacity(c.curve, c.travel), c.cvFraction, 1e-4);
  }
}

TEST(CharacteristicLookupTest, SectionsTakeTheirSegmentsShares) {
  // Curved segments: only the end points count, not the control points.
  const std::vector<xCharacteristicSection> sections = CharacteristicSections(
      "0\\0\\0.1\\0.01\\0.2\\0.03\\0.3\\0.06\\"
      "0.3\\0.06\\0.45\\0.11\\0.55\\0.2\\0.65\\0.3\\"
      "0.65\\0.3\\0.8\\0.5\\0.9\\0.75\\1\\1\\");
  ASSERT_EQ(sections.size(), 3u);
  const double stroke[] = {0.3, 0.35, 0.35};
  const double capacity[] = {0.06, 0.24, 0.7};
  double strokeSum = 0, capacitySum = 0;
  for (std::size_t i = 0; i < sections.size(); ++i) {
    EXPECT_NEAR(sections[i].StrokeShare(), stroke[i], 1e-12) << i;
    EXPECT_NEAR(sections[i].CapacityShare(), capacity[i], 1e-12) << i;
    strokeSum += sections[i].StrokeShare();
    capacitySum += sections[i].CapacityShare();
  }
  EXPECT_NEAR(strokeSum, 1, 1e-12);
  EXPECT_NEAR(capacitySum, 1, 1e-12);
}

TEST(CharacteristicLookupTest, MalformedTextRaisesTheCurveFailure) {
  const std::function<void(const char*)> uses[] = {
      [](const char* t) { CharacteristicOpening(t, 0.5); },
      [](const char* t) { CharacteristicCapacity(t, 0.5); },
      [](const char* t) { CharacteristicSections(t); },
  };
  for (const auto& use : uses) {
    EXPECT_THROW(use(""), Exception);
    EXPECT_THROW(use("0\\0\\0\\0\\1\\1\\1\\1"), Exception);
    EXPECT_THROW(use("0\\0\\0\\x\\1\\1\\1\\1\\"), ConvertError);
  }
}

TEST(PercentCvTest, KeptWithinTenToHundred) {
  const std::pair<double, double> cases[] = {{5, 10},    {150, 100},   {10, 10},
                                             {100, 100}, {55.5, 55.5}, {-3, 10}};
  for (const auto& [typed, kept] : cases) EXPECT_EQ(ClampPercentCv(typed), kept) << typed;
}

}  // namespace
}  // namespace quenta
