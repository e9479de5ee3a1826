#pragma once

#include <memory>
#include <string>
#include <vector>

#include "flow/flow_intermediates.h"
#include "flow/valve_data.h"
#include "refdata/curves.h"

// Sizing of a control valve for one operating condition of a liquid (IEC 60534-2-1,
// incompressible flow, Cv as flow coefficient): the required Cv and the travel that gives it, the
// choked and cavitation pressure drops, the hydrodynamic noise, the dissipated power and the bore
// velocity, with the warnings an engineer must see. A diffuser variant finds the upstream pressure
// at which a fixed-area plate passes the flow.
namespace quenta {

// One operating condition in calculation units.
struct IEC_IncompressibleProcessData {
  std::string Fluid;  // carried, not used
  double T = 0;       // temperature, K (carried, not used)
  double rho = 0;     // liquid density ρ1, kg/m³
  double Pv = 0;      // vapour pressure, kPa(a)
  double Pc = 0;      // critical pressure, kPa(a)
  double nu = 0;      // kinematic viscosity, m²/s
  double c = 0;       // speed of sound in the liquid, m/s
  double p1 = 0;      // inlet pressure, kPa(a)
  double p2 = 0;      // outlet pressure, kPa(a)
  double Q = 0;       // volume flow, m³/hr
  double di1 = 0;     // inlet pipe inside diameter, mm
  double di2 = 0;     // outlet pipe inside diameter, mm
  double do2 = 0;     // outlet pipe outside diameter, mm
};

class IEC_IncompressibleFlow {
 public:
  // Copies both records, works out the loss coefficients of the pipe reducers and builds the FL
  // and Fd curves (by travel) and the characteristic (by relative Cv). Throws Exception naming
  // the pipe diameter that is not positive, and the curve's failure for a malformed curve text.
  IEC_IncompressibleFlow(const IEC_ValveData& _ValveData, const IEC_IncompressibleProcessData& _ProcessData);
  virtual ~IEC_IncompressibleFlow() = default;
  IEC_IncompressibleFlow(const IEC_IncompressibleFlow&) = delete;
  IEC_IncompressibleFlow& operator=(const IEC_IncompressibleFlow&) = delete;

  // Sizing, noise, power, cavitation number, velocity and the cavitation check. Throws Exception,
  // with no result valid, for an input the formulas cannot take (the message names the quantity),
  // "Error with Turbulent Cv Calculation" or "Error with Laminar Cv Calculation" when an iteration
  // would need a 51st pass, "Error calculating Piping Factor." when the piping factor has no
  // value, and "Error with pipe thickness." for an outlet pipe wall that is not positive (IEC
  // noise method). Never leaves a result that is not a finite number.
  virtual void Calculate();
  // Piping factor Fp of the reducers around the valve at flow coefficient C.
  virtual double Fp(double C) const;
  // Relative travel (0 to 1) at which the characteristic gives flow coefficient C.
  virtual double h(double C) const;
  // Liquid pressure recovery factor at relative travel h.
  virtual double FL(double h) const;

  double Cv = 0;                      // required Cv
  double PercentOpen = 0;             // relative travel × 100
  double Noise = 0;                   // dB(A)
  double Velocity = 0;                // mean velocity in the valve bore, m/s
  double dp = 0;                      // p1 − p2, kPa
  double dpchoked = 0;                // choked pressure drop, kPa
  double dpcavitation = 0;            // pressure drop at incipient cavitation, kPa
  double kWPower = 0;                 // dissipated hydraulic power, kW
  double pf = 0;                      // kWPower ÷ Valve.kW
  double Sigma = 0;                   // cavitation number (p1 − Pv)/(p1 − p2)
  double Fl = 0;                      // FL at the final travel
  double xfz = 0;                     // incipient cavitation index
  std::vector<std::string> Warnings;  // in the order raised
  xFlowIntermediates Intermediates;   // regime, factors, passes and guards of the last sizing
  IEC_ValveData Valve;
  IEC_IncompressibleProcessData Process;
  double SumZeta = 0;   // ΣK = K1 + K2 + KB1 − KB2
  double SumZeta1 = 0;  // ΣK1 = K1 + KB1
  bool pf_flag = true;  // piping factors apply
  std::shared_ptr<const xBezierCurve> FlCurve, FdCurve, Characteristic;

 protected:
  struct ForPlate {};
  // The FL and Fd curves only: a plate has no characteristic and no piping factors.
  IEC_IncompressibleFlow(const IEC_ValveData& _ValveData, const IEC_IncompressibleProcessData& _ProcessData,
                         ForPlate);

  // Checks every input the calculation reads; the inlet pressure only when it is given (a plate
  // finds its own), and the outlet pressure must then be positive to bracket the search.
  void CheckInputs(bool withInletPressure) const;
  // Required Cv, travel, choked drop, Fl, xfz and the sizing warnings at Process.p1.
  void Size();
  // Noise, power, cavitation number, velocity and cavitation check from the sized results.
  void CalculateAfterSizing();
  // Fails when any result is not a finite number.
  void CheckResults() const;

  // FL with the inlet reducer's effect (FLP) at flow coefficient C.
  double FLP(double fl, double C) const;
  // The piping factor as the equation gives it, before its floor; throws when it has no value.
  double FpEquation(double C) const;
  // FLP's reduction t as the equation gives it, before its floor.
  double FLPReduction(double fl, double C) const;
  // Valve style modifier at relative travel h.
  double Fd(double h) const { return FdCurve->Lookup(h); }

 private:
  double Reynolds(double fd, double C, double fl) const;
  double LaminarCv(double Cs, double fl, double Rev, double& travel);
  void CalculateNoise();
  double NoiseSimple() const;
  double NoiseIEC() const;
  double NoiseCorrections(double L) const;
  void CalculatePower();
  void CheckCavitation();

  // What the pipe geometry contributes to every sizing's intermediates.
  xFlowIntermediates geometry_;
};

class IECLiquid_Diffuser : public IEC_IncompressibleFlow {
 public:
  // Copies both records and builds the FL and Fd curves; no characteristic, no piping factors.
  IECLiquid_Diffuser(const IEC_ValveData& _ValveData, const IEC_IncompressibleProcessData& _ProcessData);

  // Bisects the upstream pressure between p2 and 1000 × p2 until the bracket is narrower than
  // 0.1 kPa, the plate's rated Cv being just enough at the found p1; then noise, power, Sigma,
  // velocity and the cavitation check there. Process.p1 is not read. Throws as the valve's
  // Calculate, and Exception when the search cannot narrow the bracket to 0.1 kPa.
  void Calculate() override;
  double Fp(double C) const override;  // 1: a plate has no piping factor
  double h(double C) const override;   // 100: a plate has no travel
  double FL(double h) const override;  // FL at full travel, whatever h

  double p1 = 0;  // upstream pressure found, kPa(a)
  double pr = 0;  // p1/p2
};

}  // namespace quenta
