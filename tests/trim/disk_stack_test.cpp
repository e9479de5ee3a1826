#include "trim/disk_stack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "platform/exception.h"
#include "support/message_of.h"

namespace quenta {
namespace {
using testing::MessageOf;

// The reference disk-stack design of the worked examples: water, 1000 to 100 kPa(a), 5 % ratio
// increment, 3000 kPa offset, factor 0.6, Cv 10, 10 passages per disk over a 20 mm stroke.
rDiskStackData ReferenceStack(std::uint8_t disks = 1) {
  rDiskStackData d;
  d.Section = 1;
  d.P1 = 1000;
  d.P2 = 100;
  d.Stages = 0;
  d.PRIncrement = 1.05;
  d.Offset = 3000;
  d.Factor = 0.6;
  d.Disks = disks;
  d.Passages = 10;
  d.Cv = 10;
  d.Stroke = 20;
  return d;
}

rEDLiquidData Water() {
  rEDLiquidData l;
  l.Q = 1.0;
  l.rho = 999;
  return l;
}

rEDGasData Air() {
  rEDGasData g;
  g.Q = 1.0;
  g.M = 28.97;
  g.T = 293.15;
  g.Z = 1;
  g.gamma = 1.4;
  return g;
}

// Flow through one passage, recovered from a stage's velocity and area.
double PassageFlow(const rStageData& s) {
  return s.Velocity * s.Area * 3600 / 1000000 / s.Q2_mult;
}

TEST(DiskStackTest, StagePressureRuleReducesDropsAboveTheOffset) {
  // 10 000 kPa at ratio 4: nominal drop 7500, less 0.6 of the 4500 above the offset.
  EXPECT_DOUBLE_EQ(StageOutlet(10000, 4, 3000, 0.6), 5200);
  // Below the offset the nominal drop stands.
  EXPECT_DOUBLE_EQ(StageOutlet(1000, 4, 3000, 0.6), 250);
}

TEST(DiskStackTest, ZZLiquidWorkedExample) {
  xLiquid_DiskStack stage(Water());
  xDiskStack stack(ReferenceStack());
  EXPECT_EQ(stack.MinStages, 2);  // ratio 4 gives 250 then 62.5 kPa(a)
  EXPECT_EQ(stack.MaxStages, 10);
  EXPECT_EQ(stack.DefaultStages, 0);
  EXPECT_EQ(stack.StageCount, 2);  // a request of 0 takes the minimum

  const double r = stack.SolveFirstRatio();
  EXPECT_NEAR(r, 3.086, 0.0005);

  stack.Calculate(stage);
  ASSERT_EQ(stack.Stages.size(), 2u);
  const rStageData& s1 = stack.Stages[0];
  const rStageData& s2 = stack.Stages[1];
  EXPECT_EQ(s1.Stage, 1);
  EXPECT_EQ(s2.Stage, 2);
  EXPECT_DOUBLE_EQ(s1.P1, 1000);
  EXPECT_NEAR(s1.P2, 324.04, 0.005);
  EXPECT_NEAR(s1.Cv, 1.154, 0.0005);
  EXPECT_NEAR(s1.Area, 29.78, 0.005);
  EXPECT_NEAR(s1.Velocity, 24.21, 0.005);
  EXPECT_NEAR(s1.VelocityHead, 292.7, 0.05);
  EXPECT_NEAR(s2.Ratio, 3.240, 0.0005);
  EXPECT_DOUBLE_EQ(s2.P1, s1.P2);
  EXPECT_NEAR(s2.DP, s2.P1 - s2.P2, 1e-12);
  // The last stage lands within 0.001 kPa above the outlet.
  EXPECT_GT(s2.P2, 100);
  EXPECT_LT(s2.P2, 100.001);
  EXPECT_NEAR(s2.Cv, 2.004, 0.0005);
  EXPECT_NEAR(s2.Area, 51.72, 0.005);
  EXPECT_NEAR(s2.Velocity, 13.94, 0.005);
  EXPECT_NEAR(PassageFlow(s1), 2.595, 0.0005);
  EXPECT_NEAR(stack.TotalPowerPerPassage, 0.648, 0.0005);
  EXPECT_NEAR(stack.TotalPower, 6.48, 0.005);
  EXPECT_DOUBLE_EQ(stack.thickness, 20);
  // Stage powers per passage add up to the passage's power.
  EXPECT_NEAR(s1.Power + s2.Power, stack.TotalPowerPerPassage, 1e-12);
}

TEST(DiskStackTest, ZZGasWorkedExample) {
  xGas_DiskStack stage(Air());
  EXPECT_NEAR(stage.Rho, 1.2253, 0.00005);
  xDiskStack stack(ReferenceStack());
  stack.Calculate(stage);
  ASSERT_EQ(stack.Stages.size(), 2u);
  const rStageData& s1 = stack.Stages[0];
  const rStageData& s2 = stack.Stages[1];
  EXPECT_NEAR(s1.P2, 324.04, 0.005);
  EXPECT_NEAR(s2.P2, 100.00, 0.001);
  EXPECT_NEAR(PassageFlow(s1), 163.5, 0.05);
  EXPECT_NEAR(s1.Cv, 1.052, 0.0005);
  EXPECT_NEAR(s1.Q2_mult, 0.3181, 0.00005);
  EXPECT_NEAR(s1.Area, 27.14, 0.005);
  EXPECT_NEAR(s1.Velocity, 532.5, 0.05);
  EXPECT_NEAR(s2.Cv, 3.230, 0.0005);
  EXPECT_NEAR(s2.Q2_mult, 1.031, 0.0005);
  EXPECT_NEAR(s2.Area, 83.37, 0.005);
  EXPECT_NEAR(s2.Velocity, 561.7, 0.05);
  // 25 Cv per square inch of passage.
  for (const rStageData& s : stack.Stages) EXPECT_NEAR(s.Area, s.Cv * 25.8064, 1e-9);
  EXPECT_GT(stack.TotalPower, 0);
  EXPECT_NEAR(stack.TotalPower, 10 * stack.TotalPowerPerPassage, 1e-12);
}

TEST(DiskStackTest, EDLiquidWorkedExample) {
  xLiquid_DiskStack stage(Water());
  xDiskStack_Liquid stack(ReferenceStack(4), stage);
  EXPECT_EQ(stack.DefaultStages, 5);
  EXPECT_EQ(stack.StageCount, 5);
  stack.Calculate();
  ASSERT_EQ(stack.Stages.size(), 5u);
  const double outlets[] = {695.63, 460.86, 290.78, 174.73, 100.00};
  // The worked figure for the second stage is 0.490; its drop of 234.77 kPa at 0.6487 m³/h per passage
  // gives 0.48948, so the per-passage Cv is held to one unit in the third decimal.
  const double cvs[] = {0.430, 0.490, 0.575, 0.696, 0.868};
  double power = 0;
  for (std::size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE("stage " + std::to_string(i + 1));
    EXPECT_NEAR(stack.Stages[i].P2, outlets[i], 0.005);
    EXPECT_NEAR(stack.Stages[i].Cv, cvs[i], 0.001);
    power += stack.Stages[i].Power;
  }
  EXPECT_NEAR(stack.flowrate, 25.95, 0.005);
  EXPECT_NEAR(stack.TotalPower, 6.48, 0.005);  // the whole 900 kPa drop at Cv 10
  EXPECT_NEAR(stack.TotalPowerPerPassage, 0.162, 0.0005);
  EXPECT_NEAR(power, stack.TotalPowerPerPassage, 1e-12);  // shared out, not summed
  EXPECT_NEAR(stack.Cn, 34.70, 0.005);
  EXPECT_DOUBLE_EQ(stack.thickness, 5);
}

TEST(DiskStackTest, StageLimitsAndRequestedCounts) {
  struct Case {
    double P1, P2, offset, factor;
    int stages;
    int zzMin, zzMax, zzCount, edMax, edDefault, edCount;
  };
  const Case cases[] = {
      // CountStages(1.05) is 15: the ZZ stack caps it at 10, the ED stack does not.
      {20000, 100, 3000, 0.6, 0, 6, 10, 6, 15, 10, 10},
      // The minimum of 16 lifts the ZZ cap to 16.
      {10000, 500, 300, 0.9, 0, 16, 16, 16, 20, 19, 19},
      // Requests beyond the limits are brought inside them.
      {20000, 100, 3000, 0.6, 12, 6, 10, 10, 15, 10, 12},
      {20000, 100, 3000, 0.6, 3, 6, 10, 6, 15, 10, 6},
      {20000, 100, 3000, 0.6, 40, 6, 10, 10, 15, 10, 15},
  };
  xLiquid_DiskStack stage(Water());
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.P1) + " stages " + std::to_string(c.stages));
    rDiskStackData d = ReferenceStack();
    d.P1 = c.P1;
    d.P2 = c.P2;
    d.Offset = c.offset;
    d.Factor = c.factor;
    d.Stages = static_cast<std::uint8_t>(c.stages);
    xDiskStack zz(d);
    EXPECT_EQ(zz.MinStages, c.zzMin);
    EXPECT_EQ(zz.MaxStages, c.zzMax);
    EXPECT_EQ(zz.StageCount, c.zzCount);
    xDiskStack_Liquid ed(d, stage);
    EXPECT_EQ(ed.MinStages, c.zzMin);
    EXPECT_EQ(ed.MaxStages, c.edMax);
    EXPECT_EQ(ed.DefaultStages, c.edDefault);
    EXPECT_EQ(ed.StageCount, c.edCount);
    // Every settled count can be designed and lands on the outlet pressure.
    zz.Calculate(stage);
    EXPECT_NEAR(zz.Stages.back().P2, c.P2, 0.001);
    ed.Calculate();
    EXPECT_NEAR(ed.Stages.back().P2, c.P2, 0.001);
  }
}

TEST(DiskStackTest, FactorAboveOneCountsUnclampedButDesignsWithNineTenths) {
  rDiskStackData d = ReferenceStack();
  d.Offset = 200;
  d.Factor = 1.2;
  xDiskStack stack(d);
  EXPECT_EQ(stack.MinStages, 7);  // 4 with the factor at 0.9
  EXPECT_DOUBLE_EQ(stack.DiskData.Factor, 0.9);
  xLiquid_DiskStack stage(Water());
  const double r = stack.SolveFirstRatio();
  stack.Calculate(stage);
  EXPECT_DOUBLE_EQ(stack.Stages[0].P2, StageOutlet(1000, r, 200, 0.9));

  d.Factor = -0.5;
  xDiskStack negative(d);
  EXPECT_DOUBLE_EQ(negative.DiskData.Factor, 0);
}

// The bisection is bounded: counts that cannot land, and sections without a drop, fail with a
// message instead of running for ever.
TEST(DiskStackTest, UnsolvableStacksFail) {
  xLiquid_DiskStack stage(Water());
  {
    // Even 20 stages at ratio 4 stay above the outlet: the minimum is capped at 20.
    rDiskStackData d = ReferenceStack();
    d.P1 = 40000;
    d.Offset = 300;
    d.Factor = 0.9;
    xDiskStack stack(d);
    EXPECT_EQ(stack.MinStages, 20);
    EXPECT_EQ(MessageOf([&] { stack.Calculate(stage); }), kTooFewStages);
  }
  for (const double p : {100.0, 0.0}) {
    rDiskStackData d = ReferenceStack();
    d.P1 = p;
    d.P2 = p;
    xDiskStack zz(d);
    EXPECT_EQ(MessageOf([&] { zz.Calculate(stage); }), kNoSectionDrop);
    xDiskStack_Liquid ed(d, stage);
    EXPECT_EQ(MessageOf([&] { ed.Calculate(); }), kNoSectionDrop);
  }
  {
    // Limits that cross each other leave the count outside them.
    xDiskStack stack(ReferenceStack());
    stack.DiskData.Stages = 1;
    EXPECT_EQ(MessageOf([&] { stack.SolveFirstRatio(); }), kTooFewStages);
    stack.DiskData.Stages = 11;
    EXPECT_EQ(MessageOf([&] { stack.SolveFirstRatio(); }), kTooManyStages);
  }
}

TEST(DiskStackTest, InputsWithoutAFiniteDesignFail) {
  xLiquid_DiskStack water(Water());
  rDiskStackData d = ReferenceStack();
  d.Passages = 0;
  EXPECT_EQ(MessageOf([&] { xDiskStack(d).Calculate(water); }), kNoDisksOrPassages);
  d = ReferenceStack();
  d.Cv = 0;
  EXPECT_EQ(MessageOf([&] { xDiskStack(d).Calculate(water); }), kNoSectionCv);
  rEDLiquidData empty = Water();
  empty.rho = 0;
  xLiquid_DiskStack noDensity(empty);
  EXPECT_EQ(MessageOf([&] { xDiskStack(ReferenceStack()).Calculate(noDensity); }), kStackNotFinite);
  rEDGasData cold = Air();
  cold.T = 0;
  xGas_DiskStack noTemperature(cold);
  EXPECT_NE(MessageOf([&] { xDiskStack(ReferenceStack()).Calculate(noTemperature); }), testing::kNoException);
}

}  // namespace
}  // namespace quenta
