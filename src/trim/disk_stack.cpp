#include "trim/disk_stack.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "flow/gas_flow.h"
#include "platform/exception.h"

namespace quenta {

namespace {

constexpr double kMaxRatio = 4.0;
constexpr int kStageLimit = 20;
constexpr int kZZStageCap = 10;
// The bisection halves an interval of 3; far fewer passes than this exhaust a double.
constexpr int kMaxBisections = 200;
constexpr double kLanding = 0.001;  // kPa
// 25 Cv per square inch of passage area, in mm² per Cv.
constexpr double kAreaPerCv = 645.16 / 25;

double NextRatio(double r, double increment) {
  return std::min(r * increment, kMaxRatio);
}

std::uint8_t Count(const rDiskStackData& d, double r0) {
  double Pin = d.P1;
  double r = r0;
  int count = 0;
  while (count < kStageLimit) {
    ++count;
    const double out = StageOutlet(Pin, r, d.Offset, d.Factor);
    r = NextRatio(r, d.PRIncrement);
    Pin = out;
    // An outlet exactly at P2 goes on; so does one that is not a number, up to the limit.
    if (out < d.P2) break;
  }
  return static_cast<std::uint8_t>(count);
}

double LastOutlet(const rDiskStackData& d, double r) {
  double Pin = d.P1;
  for (int i = 0; i < d.Stages; ++i) {
    Pin = StageOutlet(Pin, r, d.Offset, d.Factor);
    r = NextRatio(r, d.PRIncrement);
  }
  return Pin;
}

// The outlet falls as the first ratio rises, so the ratio is bisected in 1..4. When the interval
// stops narrowing without a landing, the side it collapsed to tells which way the count is wrong.
double Solve(const rDiskStackData& d, std::uint8_t minStages, std::uint8_t maxStages) {
  if (d.Stages < minStages) throw Exception(kTooFewStages);
  if (d.Stages > maxStages) throw Exception(kTooManyStages);
  if (!(d.P1 > d.P2)) throw Exception(kNoSectionDrop);
  double lo = 1.0;
  double hi = kMaxRatio;
  bool above = false;
  for (int pass = 0; pass < kMaxBisections; ++pass) {
    const double r = std::min((lo + hi) / 2, kMaxRatio);
    const double P = LastOutlet(d, r);
    above = P > d.P2;
    if (above && std::fabs(P - d.P2) < kLanding) return r;
    if (above) {
      lo = r;
    } else {
      hi = r;
    }
    const double next = (lo + hi) / 2;
    if (next <= lo || next >= hi) break;
  }
  // Still above P2 at the steepest ratios: the stages cannot take the whole drop.
  throw Exception(above ? kTooFewStages : kTooManyStages);
}

void CheckStackInputs(const rDiskStackData& d) {
  if (d.Disks < 1 || d.Passages < 1) throw Exception(kNoDisksOrPassages);
  if (!(d.Cv > 0) || !std::isfinite(d.Cv)) throw Exception(kNoSectionCv);
}

double RequireFinite(double value) {
  if (!std::isfinite(value)) throw Exception(kStackNotFinite);
  return value;
}

// Runs the stages with unit flow from the solved first ratio; returns Σ 1/Cv², the inverse square
// of the series Cv per unit flow. Each record holds the unit-flow Cv and power.
double RunStages(const rDiskStackData& d, double r, xDiskStackStage& stage, std::vector<rStageData>& stages) {
  double Pin = d.P1;
  double S = 0;
  stages.assign(d.Stages, rStageData{});
  for (int i = 0; i < d.Stages; ++i) {
    rStageData& s = stages[static_cast<std::size_t>(i)];
    const double out = StageOutlet(Pin, r, d.Offset, d.Factor);
    s.Stage = static_cast<std::uint8_t>(i + 1);
    s.P1 = Pin;
    s.P2 = out;
    s.Ratio = s.P1 / s.P2;
    s.DP = s.P1 - s.P2;
    stage.SetP1(s.P1);
    stage.SetP2(s.P2);
    stage.Calculate();
    s.Cv = stage.Cv;
    s.Power = stage.kWPower;
    s.Q2_mult = stage.Q2_mult;
    s.Rho2 = stage.Rho2;
    S += 1 / (s.Cv * s.Cv);
    r = NextRatio(r, d.PRIncrement);
    Pin = out;
  }
  if (!std::isfinite(S) || !(S > 0)) throw Exception(kStackNotFinite);
  return S;
}

// Area, velocity and velocity head of a stage whose Cv is already per passage, for flow q.
void PassageFlow(rStageData& s, double q) {
  s.Area = s.Cv * kAreaPerCv;
  s.Velocity = q * s.Q2_mult * 1000000 / s.Area / 3600;
  s.VelocityHead = s.Rho2 * s.Velocity * s.Velocity / 2000;
}

void RequireFiniteStages(const std::vector<rStageData>& stages) {
  for (const rStageData& s : stages) {
    for (const double v : {s.Ratio, s.P1, s.P2, s.DP, s.Cv, s.Power, s.VelocityHead, s.Velocity, s.Area})
      RequireFinite(v);
  }
}

// Shared start of both stacks: the limits are counted with the factor as given, the count is
// settled within them (the minimum wins when they cross), then the factor is clamped.
template <typename Stack>
void Settle(Stack& stack) {
  stack.CalculateMinMaxStages();
  rDiskStackData& d = stack.DiskData;
  if (d.Stages == 0) d.Stages = stack.DefaultStages;
  if (d.Stages > stack.MaxStages) d.Stages = stack.MaxStages;
  if (d.Stages < stack.MinStages) d.Stages = stack.MinStages;
  stack.StageCount = d.Stages;
  stack.Stages.assign(stack.StageCount, rStageData{});
  if (d.Factor >= 1.0) d.Factor = 0.9;
  if (d.Factor < 0) d.Factor = 0;
}

}  // namespace

double StageOutlet(double Pin, double r, double Offset, double Factor) {
  double d = Pin - Pin / r;
  if (d > Offset) d = d - (d - Offset) * Factor;
  return Pin - d;
}

// ---------------------------------------------------------------------------------------------
// Stages

void xDiskStackStage::Calculate() {
  CalculateCv();
  CalculatePower();
}

xLiquid_DiskStack::xLiquid_DiskStack(const rEDLiquidData& data) : Process(data) {
  Q2_mult = 1.0;
  Rho = Process.rho;
  Rho2 = Process.rho;
  unitflow = Process.unitflow;
}

void xLiquid_DiskStack::CalculateCv() {
  const double G = Process.rho / 999;
  const double dP = Process.p1 - Process.p2;
  Cv = (Process.Q / 0.0865) * std::sqrt(G / dP);
}

void xLiquid_DiskStack::CalculatePower() {
  kWPower = CalculateTotalPower(Cv, Process.Q);
}

double xLiquid_DiskStack::CalculateTotalPower(double _Cv, double /*_Q*/) const {
  const double G = Process.rho / 999;
  const double dP = Process.p1 - Process.p2;
  return std::pow(dP * 14.5 / 100, 1.5) / G * _Cv / 2300;
}

xGas_DiskStack::xGas_DiskStack(const rEDGasData& data) : Process(data) {
  unitflow = Process.unitflow;
  Rho = StandardDensity(Process.M);
}

void xGas_DiskStack::SetP2(double value) {
  Process.p2 = value;
  Rho2 = GasDensity(Process.p2, Process.T, Process.M, Process.Z);
  Q2_mult = Rho2 > 0 ? Rho / Rho2 : 0;
}

void xGas_DiskStack::CalculateCv() {
  const rEDGasData& P = Process;
  const double x = (P.p1 - P.p2) / P.p1;
  const double Fgamma = P.gamma / 1.4;
  // xT is taken as 1.0 and x is not limited: each stage is a simple orifice.
  const double Y = 1 - x / (3 * Fgamma * 1.0);
  Cv = P.Q / (22.5 * P.p1 * Y) * std::sqrt(P.M * P.T * P.Z / x);
}

void xGas_DiskStack::CalculatePower() {
  kWPower = CalculateTotalPower(Cv, Process.Q);
}

double xGas_DiskStack::CalculateTotalPower(double /*_Cv*/, double _Q) const {
  const rEDGasData& P = Process;
  const double rho1 = GasDensity(P.p1, P.T, P.M, P.Z);
  const double e = (P.gamma - 1) / P.gamma;
  return (1 - std::pow(P.p2 / P.p1, e)) * P.gamma / (P.gamma - 1) * P.p1 * 1000 / rho1 * Rho * _Q / 3600000;
}

// ---------------------------------------------------------------------------------------------
// ZZ stack

xDiskStack::xDiskStack(const rDiskStackData& data) : DiskData(data) {
  Settle(*this);
}

void xDiskStack::CalculateMinMaxStages() {
  MinStages = CountStages(kMaxRatio);
  MaxStages = CountStages(DiskData.PRIncrement);
  if (MaxStages > kZZStageCap) MaxStages = std::max<std::uint8_t>(MinStages, kZZStageCap);
}

std::uint8_t xDiskStack::CountStages(double r0) const {
  return Count(DiskData, r0);
}

double xDiskStack::SolveFirstRatio() const {
  return Solve(DiskData, MinStages, MaxStages);
}

void xDiskStack::Calculate(xDiskStackStage& stage) {
  DiskStackStage = &stage;
  TotalPower = 0;
  const double r = SolveFirstRatio();
  CheckStackInputs(DiskData);
  const rDiskStackData& d = DiskData;
  const double S = RunStages(d, r, stage, Stages);
  for (const rStageData& s : Stages) TotalPower += s.Power;
  thickness = d.Stroke / d.Disks;
  const double passages = static_cast<double>(d.Disks) * d.Passages;
  // The stages ran with unit flow, so 1/√S is the series Cv per unit flow.
  const double q = (d.Cv / passages) * std::sqrt(S);
  TotalPowerPerPassage = TotalPower * q;
  TotalPower = passages * TotalPowerPerPassage;
  for (rStageData& s : Stages) {
    s.Cv = s.Cv * q;
    s.Power = s.Power * q;
    PassageFlow(s, q);
  }
  RequireFiniteStages(Stages);
  for (const double v : {TotalPower, TotalPowerPerPassage, thickness}) RequireFinite(v);
}

// ---------------------------------------------------------------------------------------------
// ED stack

xDiskStack_Liquid::xDiskStack_Liquid(const rDiskStackData& data, xDiskStackStage& stage)
    : DiskData(data), DiskStackStage(&stage) {
  Settle(*this);
}

void xDiskStack_Liquid::CalculateMinMaxStages() {
  MinStages = CountStages(kMaxRatio);
  MaxStages = CountStages(DiskData.PRIncrement);
  DefaultStages = CountStages(1.5);
}

std::uint8_t xDiskStack_Liquid::CountStages(double r0) const {
  return Count(DiskData, r0);
}

double xDiskStack_Liquid::SolveFirstRatio() const {
  return Solve(DiskData, MinStages, MaxStages);
}

void xDiskStack_Liquid::Calculate() {
  xDiskStackStage& stage = *DiskStackStage;
  TotalPower = 0;
  const double r = SolveFirstRatio();
  CheckStackInputs(DiskData);
  const rDiskStackData& d = DiskData;
  const double S = RunStages(d, r, stage, Stages);
  double Pu = 0;
  for (const rStageData& s : Stages) Pu += s.Power;
  thickness = d.Stroke / d.Disks;
  const double passages = static_cast<double>(d.Disks) * d.Passages;
  flowrate = (d.Cv / passages) * std::sqrt(S);
  // The power is that of the whole valve drop at the stack's Cv, shared out in proportion to the
  // unit-flow stage powers.
  stage.SetP1(d.P1);
  stage.SetP2(d.P2);
  TotalPower = stage.CalculateTotalPower(d.Cv, passages * flowrate);
  TotalPowerPerPassage = TotalPower / passages;
  for (rStageData& s : Stages) {
    s.Cv = s.Cv * flowrate;
    s.Power = TotalPowerPerPassage * (s.Power / Pu);
    PassageFlow(s, flowrate);
  }
  Cn = passages * Stages.back().Cv;
  flowrate = passages * flowrate;
  RequireFiniteStages(Stages);
  for (const double v : {TotalPower, TotalPowerPerPassage, thickness, flowrate, Cn}) RequireFinite(v);
}

}  // namespace quenta
