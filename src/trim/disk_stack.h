#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The arithmetic of a disk-stack trim. A stack of identical disks carries passages through which
// the flow crosses a series of stages; the stack splits the valve's pressure drop over the stages
// along a rising geometric series of stage pressure ratios, solves the first ratio so that the
// last stage ends at the outlet pressure, and turns the unit-flow stage results into per-passage
// flow, areas, velocities and velocity heads.
//
// Pressures are kPa(a), temperatures K, densities kg/m³, powers kW, areas mm², velocities m/s;
// Cv is the US flow coefficient. Nothing here reads or writes an item document.
namespace quenta {

// One liquid stage.
struct rEDLiquidData {
  double p1 = 0;         // stage inlet pressure, kPa(a)
  double p2 = 0;         // stage outlet pressure, kPa(a)
  double Q = 0;          // flow, m³/hr; the stacks run with unit flow
  double rho = 0;        // liquid density, kg/m³
  std::string unitflow;  // the engineer's flow unit, carried
};

// One gas stage.
struct rEDGasData {
  double p1 = 0;         // stage inlet pressure, kPa(a)
  double p2 = 0;         // stage outlet pressure, kPa(a)
  double Q = 0;          // flow, standard m³/hr (101.325 kPa(a), 288.15 K); unit flow in the stacks
  double M = 0;          // molar mass, kg/kmol
  double T = 0;          // inlet temperature, K
  double Z = 0;          // compressibility factor
  double gamma = 0;      // ratio of specific heats
  std::string unitflow;  // the engineer's gas flow unit, carried
  // Reserved noise inputs: carried, never used.
  double Fdn = 0, Fln = 0, NoiseAttenuation = 0, NoiseDistance = 0;
};

// The Cv and dissipated power of one stage between its inlet and outlet pressure.
class xDiskStackStage {
 public:
  virtual ~xDiskStackStage() = default;
  xDiskStackStage() = default;
  xDiskStackStage(const xDiskStackStage&) = delete;
  xDiskStackStage& operator=(const xDiskStackStage&) = delete;

  // CalculateCv, then CalculatePower.
  virtual void Calculate();
  virtual void SetP1(double value) = 0;
  virtual void SetP2(double value) = 0;
  // The power between the current p1 and p2 for the given Cv (liquid) or flow Q (gas); the
  // object is left unchanged.
  virtual double CalculateTotalPower(double _Cv, double _Q) const = 0;
  virtual void CalculateCv() = 0;
  virtual void CalculatePower() = 0;
  virtual void CalculateNoise() = 0;

  double Cv = 0;       // for the record's flow
  double kWPower = 0;  // kW
  double Noise = 0;    // always 0
  double Q2_mult = 0;  // actual outlet volume flow per unit of the record's flow
  double Rho = 0;      // liquid density, or the gas's standard density
  double Rho2 = 0;     // density at the stage outlet
  std::string unitflow;
};

class xLiquid_DiskStack : public xDiskStackStage {
 public:
  explicit xLiquid_DiskStack(const rEDLiquidData& data);
  void SetP1(double value) override { Process.p1 = value; }
  void SetP2(double value) override { Process.p2 = value; }
  double CalculateTotalPower(double _Cv, double _Q) const override;
  void CalculateCv() override;
  void CalculatePower() override;
  void CalculateNoise() override { Noise = 0; }

  rEDLiquidData Process;
};

class xGas_DiskStack : public xDiskStackStage {
 public:
  // Throws the gas density's failure for a molar mass that is not positive.
  explicit xGas_DiskStack(const rEDGasData& data);
  void SetP1(double value) override { Process.p1 = value; }
  // Also sets the outlet density and Q2_mult. Throws the gas density's failure (naming the
  // quantity) for a negative pressure or a temperature or Z that is not positive.
  void SetP2(double value) override;
  double CalculateTotalPower(double _Cv, double _Q) const override;
  void CalculateCv() override;
  void CalculatePower() override;
  void CalculateNoise() override { Noise = 0; }

  rEDGasData Process;
};

// What a stack is asked to design.
struct rDiskStackData {
  std::uint8_t Section = 0;  // trim section, 1-based; carried for the caller
  double P1 = 0;             // valve inlet pressure, kPa(a)
  double P2 = 0;             // valve outlet pressure, kPa(a)
  std::uint8_t Stages = 0;   // requested stage count; 0 asks for the default
  double PRIncrement = 1;    // each nominal stage ratio is this times the previous one
  double Offset = 0;         // stage drop, kPa, above which a stage's drop is reduced
  double Factor = 0;         // fraction of the drop above Offset taken away
  std::uint8_t Disks = 0;
  std::uint8_t Passages = 0;  // per disk
  double Cv = 0;              // what the whole stack must pass
  double Stroke = 0;          // stroke of the section
};

// One stage of a designed stack; Cv, Power, Area and Velocity are per passage.
struct rStageData {
  std::uint8_t Stage = 0;  // 1 for the inlet stage
  double Ratio = 0;        // P1 / P2
  double P1 = 0;
  double P2 = 0;
  double DP = 0;
  double Cv = 0;
  double Power = 0;         // kW
  double VelocityHead = 0;  // kPa
  double Velocity = 0;      // m/s
  double Area = 0;          // mm²
  double Q2_mult = 0;
  double Rho2 = 0;
};

// Failure texts of the stacks.
inline constexpr const char* kTooFewStages = "Too few stages.";
inline constexpr const char* kTooManyStages = "Too many stages.";
inline constexpr const char* kNoSectionDrop =
    "The section's inlet pressure must be above its outlet pressure.";
inline constexpr const char* kNoDisksOrPassages = "A disk stack needs at least one disk and one passage.";
inline constexpr const char* kNoSectionCv = "The section's flow capacity must be greater than zero.";
inline constexpr const char* kStackNotFinite = "The disk stack has no finite result for these inputs.";

// Outlet pressure of a stage with inlet Pin and nominal ratio r: the nominal drop, less Factor of
// its excess over Offset.
double StageOutlet(double Pin, double r, double Offset, double Factor);

// The stack of the ZZ trim. At most 10 stages unless the minimum needs more; the default count
// is the minimum.
class xDiskStack {
 public:
  // Works out the stage limits, settles the stage count within them and clamps Factor to 0..0.9.
  explicit xDiskStack(const rDiskStackData& data);

  void CalculateMinMaxStages();
  // Stages started from P1 with first ratio r0 until one falls below P2, at least 1, at most 20.
  std::uint8_t CountStages(double r0) const;
  // The first-stage ratio that lands the last stage within 0.001 kPa above P2. Throws "Too few
  // stages." or "Too many stages." when the count is outside the limits or no ratio in 1..4 can
  // land it, and kNoSectionDrop when P1 is not above P2.
  double SolveFirstRatio() const;
  // Designs the stack with the stage object (kept, not owned). Throws SolveFirstRatio's
  // failures, kNoDisksOrPassages, kNoSectionCv, the stage's own failures, and kStackNotFinite;
  // on failure the results are not valid.
  void Calculate(xDiskStackStage& stage);

  double TotalPowerPerPassage = 0;
  double TotalPower = 0;
  double thickness = 0;
  std::vector<rStageData> Stages;
  std::uint8_t MinStages = 0, MaxStages = 0, DefaultStages = 0, StageCount = 0;
  rDiskStackData DiskData;
  xDiskStackStage* DiskStackStage = nullptr;
};

// The stack of the ED trim: no cap of 10 stages, a default count from a first ratio of 1.5, and
// the valve's total power shared out over the stages. Works with a liquid or a gas stage.
class xDiskStack_Liquid {
 public:
  // As xDiskStack; the stage object is kept for Calculate, not owned.
  xDiskStack_Liquid(const rDiskStackData& data, xDiskStackStage& stage);

  void CalculateMinMaxStages();
  std::uint8_t CountStages(double r0) const;
  double SolveFirstRatio() const;
  // Failures as xDiskStack::Calculate.
  void Calculate();

  double TotalPowerPerPassage = 0;
  double TotalPower = 0;
  double thickness = 0;
  std::vector<rStageData> Stages;
  double Noise = 0;
  double flowrate = 0;  // after Calculate: the valve's flow, m³/hr (gas: standard m³/hr)
  double Cn = 0;        // Disks · Passages · the last stage's Cv per passage
  std::uint8_t MinStages = 0, MaxStages = 0, DefaultStages = 0, StageCount = 0;
  rDiskStackData DiskData;
  xDiskStackStage* DiskStackStage = nullptr;
};

}  // namespace quenta
