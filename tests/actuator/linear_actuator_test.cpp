// The force models of the linear actuator: the force table of each fail action, the checks
// that colour it, its normalisation and the required thrust.
#include "actuator/linear_actuator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/exception.h"

namespace quenta {
namespace {

// A single-acting valve of 50 mm seat and 12 mm stem, flow under an unbalanced plug, 20 bar(a)
// to 10 bar(a) with a 15 bar shut-off difference, a 300 cm² piston on 5 bar(g), 500 N packing
// friction, 10 N/mm seat loading and a spring of 8000 N compressed, 100 N/mm over 25 mm.
rActuatorData WorkedExample() {
  rActuatorData d;
  d.P1 = 2000;
  d.P2 = 1000;
  d.maxDP = 1500;
  d.FlowOver = false;
  d.PressBal = false;
  d.SupplyPress = 5;
  d.StemDia = 12;
  d.SeatDia = 50;
  d.SleeveDia = 0;
  d.CylinderAreaUnder = 300;
  d.PackingFriction = 500;
  d.SeatLoading = 10;
  d.Stroke = 25;
  d.Precompression = 8000;
  d.SpringRate = 100;
  return d;
}

// Expected cell after normalisation: magnitude, pointing up, colour, visible.
struct Cell {
  double value;
  bool up;
  std::uint8_t colour;
  bool visible;
};

void ExpectCell(const xLinearActuator& a, int c, int r, const Cell& e, double tolerance = 0.05) {
  SCOPED_TRACE("case " + std::to_string(c) + " row " + std::to_string(r));
  const xForceAttrib& f = a.Force(c, r);
  EXPECT_NEAR(f.value, e.value, tolerance);
  EXPECT_EQ(f.direction, e.up ? kDirectionUp : kDirectionDown);
  EXPECT_EQ(f.colour, e.colour);
  EXPECT_EQ(f.visible, e.visible);
}

constexpr std::uint8_t N = kColourNormal;
constexpr std::uint8_t S = kColourSolution;
constexpr std::uint8_t E = kColourError;

// The fail-closed worked example of the actuator models, every cell of the normalised table.
TEST(LinearActuatorTest, FailClosedWorkedExample) {
  xLinearFCActuator a(WorkedExample());
  EXPECT_EQ(a.Name, "Fail Closed");
  EXPECT_DOUBLE_EQ(a.maxP, 20);
  EXPECT_DOUBLE_EQ(a.minP, 5);
  EXPECT_DOUBLE_EQ(a.SpringForceExt, 5500);
  EXPECT_DOUBLE_EQ(a.SpringForceComp, 8000);
  a.Calculate();
  EXPECT_NEAR(a.RequiredThrust, 5072.6, 0.05);

  // spring, air, packing, line, seat, nett of each case.
  const Cell table[7][6] = {
      // 1: L = -3001.8, air 15000 up, nett -12001.8
      {{5500, false, N, true},
       {15000, true, N, true},
       {500, false, N, true},
       {3001.8, true, N, true},
       {0, false, N, false},
       {12001.8, true, N, true}},
      // 2: nett 1998.2, seat 12.72 N/mm; no air over a single-acting fail-closed piston
      {{5500, false, N, true},
       {0, false, N, false},
       {500, true, N, true},
       {3001.8, true, N, true},
       {12.72, false, N, true},
       {1998.2, false, N, true}},
      // 3: S = -113.1, nett 7386.9
      {{8000, false, N, true},
       {0, false, N, false},
       {500, true, N, true},
       {113.1, true, N, true},
       {0, false, N, false},
       {7386.9, false, N, true}},
      // 4: nett -6613.1
      {{8000, false, N, true},
       {15000, true, N, true},
       {500, false, N, true},
       {113.1, true, N, true},
       {0, false, N, false},
       {6613.1, true, N, true}},
      // 5: nett 7386.9
      {{8000, false, N, true},
       {0, false, N, false},
       {500, true, N, true},
       {113.1, true, N, true},
       {0, false, N, false},
       {7386.9, false, N, true}},
      // 6: nett 1998.2, seat 12.72
      {{5500, false, N, true},
       {0, false, N, false},
       {500, true, N, true},
       {3001.8, true, N, true},
       {12.72, false, N, true},
       {1998.2, false, N, true}},
      // 7: M = 1963.5 down; the air (0) fails the throttling check and ends hidden
      {{0, false, N, false},
       {0, false, E, false},
       {0, false, N, false},
       {1963.5, false, N, true},
       {0, false, N, false},
       {0, false, N, false}},
  };
  for (int c = 1; c <= kForceCases; ++c) {
    for (int r = 1; r <= kForceRows; ++r)
      ExpectCell(a, c, r, table[c - 1][r - 1], r == kRowSeat ? 0.005 : 0.05);
  }
}

TEST(LinearActuatorTest, ClosedValvePressuresTakeTheLargerOfDropAndShutOff) {
  struct Row {
    double p1, p2, shutoff, maxP, minP;
  };
  for (const Row& row : {Row{2000, 1000, 1500, 20, 5},     // shut-off above the drop
                         Row{1200, 200, 1500, 15, 0},      // shut-off above the inlet pressure
                         Row{2000, 1000, 500, 20, 10}}) {  // process drop governs
    rActuatorData d = WorkedExample();
    d.P1 = row.p1;
    d.P2 = row.p2;
    d.maxDP = row.shutoff;
    const xLinearFNActuator a(d);
    EXPECT_DOUBLE_EQ(a.maxP, row.maxP) << row.p1;
    EXPECT_DOUBLE_EQ(a.minP, row.minP) << row.p1;
  }
}

// Line forces of the four plug arrangements, read from a springless actuator: the closed
// valve's (case 1), the open valve's (case 3) and the throttling one (case 7). Sleeve 60 mm.
TEST(LinearActuatorTest, LineForcesOfEachPlugArrangement) {
  struct Row {
    bool over, balanced;
    double closed, open, throttling;  // signed, positive down
  };
  for (const Row& row :
       {Row{true, false, 2719.05, -226.19, 1963.50}, Row{true, true, -1352.46, -226.19, 863.94},
        Row{false, false, -3001.79, -113.10, 1963.50}, Row{false, true, 1069.71, -226.19, 750.84}}) {
    SCOPED_TRACE(std::string(row.over ? "over" : "under") + (row.balanced ? " balanced" : ""));
    rActuatorData d = WorkedExample();
    d.FlowOver = row.over;
    d.PressBal = row.balanced;
    d.SleeveDia = 60;
    xLinearFNActuator a(d);
    a.Calculate();
    auto signedValue = [&a](int c) {
      const xForceAttrib& f = a.Force(c, kRowLine);
      return f.direction == kDirectionUp ? -f.value : f.value;
    };
    EXPECT_NEAR(signedValue(kCaseClosedOpening), row.closed, 0.01);
    EXPECT_NEAR(signedValue(kCaseOpenClosing), row.open, 0.01);
    EXPECT_NEAR(signedValue(kCaseThrottling), row.throttling, 0.01);
  }
}

// A spring too weak for its stroke: the extended force is negative, enters the table as an
// upward force, and the seat checks of cases 2 and 6 ask for a stronger spring.
TEST(LinearActuatorTest, FailClosedWeakSpringFailsTheSeatChecks) {
  rActuatorData d = WorkedExample();
  d.Precompression = 2000;  // extended: 2000 - 25 * 100 = -500 N
  xLinearFCActuator a(d);
  a.Calculate();
  for (const int c : {kCaseClosedOpening, kCaseClosedClosing, kCaseClosedAirFailure}) {
    ExpectCell(a, c, kRowSpring, {500, true, c == kCaseClosedOpening ? N : S, true});
  }
  // Case 2 and 6: nett -500 - 500 - 3001.8 = -4001.8, seat -25.48 N/mm.
  ExpectCell(a, kCaseClosedClosing, kRowSeat, {25.48, true, E, true}, 0.005);
  ExpectCell(a, kCaseClosedAirFailure, kRowSeat, {25.48, true, E, true}, 0.005);
  ExpectCell(a, kCaseOpenClosing, kRowNett, {1386.9, false, N, true});
  ExpectCell(a, kCaseOpenAirFailure, kRowNett, {1386.9, false, N, true});
  // The thrust depends on the valve only.
  EXPECT_NEAR(a.RequiredThrust, 5072.6, 0.05);
}

// A fail-open actuator on a 1 bar supply cannot seat or close the valve nor hold it while
// throttling; the cure offered for seating and closing is more air.
TEST(LinearActuatorTest, FailOpenOnLowSupplyAsksForAir) {
  rActuatorData d = WorkedExample();
  d.SupplyPress = 1;
  d.CylinderAreaOver = 300;
  xLinearFOActuator a(d);
  EXPECT_EQ(a.Name, "Fail Open");
  EXPECT_EQ(a.ActData.CylinderAreaUnder, 0);  // single acting: no air under the piston
  a.Calculate();
  // Case 2: -8000 + 3000 - 500 - 3001.8 = -8501.8, seat -54.12 N/mm.
  ExpectCell(a, kCaseClosedClosing, kRowAir, {3000, false, S, true});
  ExpectCell(a, kCaseClosedClosing, kRowSeat, {54.12, true, E, true}, 0.005);
  // Case 3: -5500 + 3000 - 500 - 113.1 = -3113.1.
  ExpectCell(a, kCaseOpenClosing, kRowAir, {3000, false, S, true});
  ExpectCell(a, kCaseOpenClosing, kRowNett, {3113.1, true, E, true});
  // Case 6: the spring holds the valve open; no seat loading is worked out or shown.
  ExpectCell(a, kCaseClosedAirFailure, kRowNett, {10501.8, true, N, true});
  ExpectCell(a, kCaseClosedAirFailure, kRowSeat, {0, false, N, false});
  // Case 7: air 10 * 300 * (0.4 + 0.25) = 1950 against a line force of 1963.5.
  ExpectCell(a, kCaseThrottling, kRowAir, {1950, true, E, true});
  ExpectCell(a, kCaseThrottling, kRowLine, {1963.5, false, N, true});
}

// Without a spring the cells of the spring and of both air-failure cases are hidden; a weak
// supply fails seating, closing, opening and throttling, with more air as the only cure offered.
TEST(LinearActuatorTest, NoFailActionHidesSpringAndAirFailure) {
  rActuatorData d = WorkedExample();
  d.DoubleActing = true;
  d.CylinderAreaOver = 300;
  d.SupplyPress = 0.1;
  d.Precompression = 0;
  d.SpringRate = 0;
  xLinearFNActuator a(d);
  EXPECT_EQ(a.Name, "No Fail Action");
  a.Calculate();
  for (int r = 1; r <= kForceRows; ++r) {
    EXPECT_FALSE(a.Force(kCaseOpenAirFailure, r).visible) << r;
    EXPECT_FALSE(a.Force(kCaseClosedAirFailure, r).visible) << r;
  }
  for (int c = 1; c <= 4; ++c) EXPECT_FALSE(a.Force(c, kRowSpring).visible) << c;
  // Case 2: 300 - 500 - 3001.8 = -3201.8; case 3: 300 - 500 - 113.1 = -313.1;
  // case 4: -300 + 500 - 113.1 = 86.9; case 7: air 10 * 300 * 0.29 = 870.
  ExpectCell(a, kCaseClosedClosing, kRowSeat, {20.38, true, E, true}, 0.005);
  ExpectCell(a, kCaseClosedClosing, kRowAir, {300, false, N, true});
  ExpectCell(a, kCaseOpenClosing, kRowNett, {313.1, true, E, true});
  ExpectCell(a, kCaseOpenOpening, kRowNett, {86.9, false, E, true});
  ExpectCell(a, kCaseOpenOpening, kRowAir, {300, true, S, true});
  ExpectCell(a, kCaseClosedOpening, kRowNett, {2801.8, true, N, true});
  ExpectCell(a, kCaseThrottling, kRowAir, {870, true, E, true});
}

TEST(LinearActuatorTest, SpringWithoutRateKeepsItsForceOverTheStroke) {
  rActuatorData d = WorkedExample();
  d.SpringRate = 0;
  xLinearFCActuator a(d);
  a.Calculate();
  EXPECT_DOUBLE_EQ(a.Force(kCaseClosedOpening, kRowSpring).value, 8000);
  EXPECT_DOUBLE_EQ(a.Force(kCaseOpenClosing, kRowSpring).value, 8000);
}

TEST(LinearActuatorTest, RefusesInputsThatGiveNoFiniteForce) {
  rActuatorData noSeat = WorkedExample();
  noSeat.SeatDia = 0;
  rActuatorData notANumber = WorkedExample();
  notANumber.SupplyPress = std::numeric_limits<double>::quiet_NaN();
  rActuatorData infinite = WorkedExample();
  infinite.Precompression = std::numeric_limits<double>::infinity();
  for (const rActuatorData& d : {noSeat, notANumber, infinite}) {
    xLinearFCActuator fc(d);
    EXPECT_THROW(fc.Calculate(), Exception);
    xLinearFOActuator fo(d);
    EXPECT_THROW(fo.Calculate(), Exception);
    xLinearFNActuator fn(d);
    EXPECT_THROW(fn.Calculate(), Exception);
  }
}

}  // namespace
}  // namespace quenta
