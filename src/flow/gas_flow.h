#pragma once

#include <memory>
#include <string>
#include <vector>

#include "flow/flow_intermediates.h"
#include "flow/valve_data.h"
#include "refdata/curves.h"

// Sizing of a control valve for one operating condition of a gas or vapour (IEC 60534-2-1,
// compressible flow, Cv as flow coefficient), including trims of several pressure-reducing
// stages, followed by the aerodynamic noise, the outlet Mach number and velocity and the
// dissipated power. A diffuser variant finds the upstream pressure of a fixed-area plate.
namespace quenta {

// One operating condition in calculation units.
struct IEC_CompressibleProcessData {
  std::string Fluid;    // carried, not used
  double T = 0;         // inlet temperature T1, K
  double M = 0;         // molar mass, kg/kmol
  double nu = 0;        // kinematic viscosity, m²/s
  double gamma = 0;     // ratio of specific heats
  double Z = 1;         // compressibility factor at the inlet
  double pa = 101.325;  // atmospheric pressure, kPa(a)
  double p1 = 0;        // inlet pressure, kPa(a)
  double p2 = 0;        // outlet pressure, kPa(a)
  double Q = 0;         // flow, m³/hr at standard conditions (101.325 kPa(a), 288.15 K)
  double D1 = 0;        // inlet pipe inside diameter, mm
  double D2 = 0;        // outlet pipe inside diameter, mm
  double tp2 = 0;       // outlet pipe wall thickness, mm
};

// Density of a real gas, kg/m³, for P in kPa(a), T in K and M in kg/kmol. Throws Exception
// naming the quantity for a negative pressure or a temperature, molar mass or compressibility
// factor that is not positive.
double GasDensity(double P, double T, double M, double Z);
// Density at 101.325 kPa(a) and 288.15 K as an ideal gas: the factor from standard volume flow
// to mass flow.
double StandardDensity(double M);

class IEC_CompressibleFlow {
 public:
  // Copies both records and builds the curves from their texts: xT, FL and Fd looked up by
  // travel, the characteristic looked up by relative Cv, and for trims of 2 to 5 stages the
  // noise correction, when its text is not empty. A malformed curve text throws the curve's
  // failure.
  IEC_CompressibleFlow(const IEC_ValveData& _ValveData, const IEC_CompressibleProcessData& _ProcessData);
  virtual ~IEC_CompressibleFlow() = default;
  IEC_CompressibleFlow(const IEC_CompressibleFlow&) = delete;
  IEC_CompressibleFlow& operator=(const IEC_CompressibleFlow&) = delete;

  // Sizing, noise and power. Throws Exception, with no result valid, for an input that the
  // formulas cannot take (the message names the quantity), "Error with Turbulent Cv
  // Calculation" or "Error with Laminar Cv Calculation" when an iteration exceeds its passes,
  // and "Error calculating Piping Factor." when the piping factor has no value.
  virtual void Calculate();
  // Piping factor Fp of the fittings around the valve at flow coefficient C.
  virtual double Fp(double C) const;
  // Relative travel (0 to 1) at which the valve's characteristic gives flow coefficient C.
  virtual double h(double C) const;
  // Pressure differential ratio factor xT at relative travel h.
  virtual double xT(double h) const;

  // Noise, Mach number and velocity from the sized Cv and travel (the IEC method, or the simple
  // method when Valve.NoiseIEC is false).
  void CalculateNoise();
  // Dissipated power and the power factor against the valve's rating.
  void CalculatePower();

  double Cv = 0;                      // required Cv
  double PercentOpen = 0;             // relative travel × 100
  double Noise = 0;                   // dB(A)
  double Velocity = 0;                // gas velocity at the valve outlet, m/s
  double Mach = 0;                    // valve outlet Mach number
  double dp = 0;                      // p1 − p2, kPa
  double dpchoked = 0;                // pressure drop at which the flow chokes, kPa
  double kWPower = 0;                 // dissipated power, kW
  double pf = 0;                      // kWPower ÷ Valve.kW
  double xt = 0;                      // xT at the final travel
  std::vector<std::string> Warnings;  // in the order raised
  xFlowIntermediates Intermediates;   // regime, factors, passes and guards of the last sizing
  IEC_ValveData Valve;
  IEC_CompressibleProcessData Process;
  double SumZeta = 0;       // loss coefficients of the fittings, ΣK
  double SumZeta1 = 0;      // of the inlet fittings, K1 + KB1
  bool pf_flag = false;     // piping factors apply
  bool MultiStage = false;  // 1 to 5 stages
  std::shared_ptr<const xBezierCurve> XtCurve, Characteristic, FlCurve, FdCurve;
  std::shared_ptr<const xInterpolateCurve> dLwGCurve;

 protected:
  struct ForPlate {};
  // The curves a plate needs (no characteristic) and a zero noise correction; no piping
  // factors, never multi-stage.
  IEC_CompressibleFlow(const IEC_ValveData& _ValveData, const IEC_CompressibleProcessData& _ProcessData,
                       ForPlate);

  // Checks every input the calculation reads; the inlet pressure only when it is given.
  void CheckInputs(bool withInletPressure, bool withPipeGeometry, bool withPower) const;
  // Required Cv, travel, choked drop, xT and warnings at Process.p1 and Process.p2.
  void Size();

 private:
  double xTP(double C, double Fp, double xT) const;
  // xTP's reduction t as the equation gives it, before its floor.
  double xTPReduction(double C, double Fp, double xT) const;
  // The piping factor as the equation gives it, before its floor; throws when it has no value.
  double FpEquation(double C) const;
  double Reynolds(double Fd, double FL, double C) const;
  double LaminarCv(double Cs, double FL, double Fd, double& Rev, double& travel);

  // What the pipe geometry contributes to every sizing's intermediates.
  xFlowIntermediates geometry_;
};

class IECGas_Diffuser : public IEC_CompressibleFlow {
 public:
  IECGas_Diffuser(const IEC_ValveData& _ValveData, const IEC_CompressibleProcessData& _ProcessData);

  // Finds the inlet pressure at which the plate passes the flow (Process.p1 is not read), then
  // the noise. Throws as the valve's Calculate, and Exception when the search cannot narrow
  // the pressure to 0.1 kPa.
  void Calculate() override;
  double Fp(double C) const override;
  double h(double C) const override;
  double xT(double h) const override;

  double p1 = 0;  // upstream pressure found, kPa(a)
  double pr = 0;  // p1/p2
};

}  // namespace quenta
