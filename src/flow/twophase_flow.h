#pragma once

#include <memory>
#include <string>
#include <vector>

#include "flow/flow_intermediates.h"
#include "flow/valve_data.h"
#include "refdata/curves.h"

// Sizing of a control valve for a liquid and a gas flowing together (for example water with
// steam or air), with Cv as flow coefficient: a liquid term and a gas term weighted by the gas
// mass fraction, each with its own choked pressure drop; the travel, the phase velocities and
// Mach number in the valve bore and the power of each phase. There is no noise model. A diffuser
// variant finds the upstream pressure of a fixed-area plate for the same mixture.
namespace quenta {

// One operating condition in calculation units.
struct HV_TwoPhaseProcessData {
  double p1 = 0;     // inlet pressure, kPa(a)
  double p2 = 0;     // outlet pressure, kPa(a)
  double T = 0;      // temperature, K
  double Wl = 0;     // liquid mass flow, kg/hr
  double Wg = 0;     // gas mass flow, kg/hr
  double Pvl = 0;    // liquid vapour pressure, kPa(a)
  double Pcl = 0;    // liquid critical pressure, kPa(a)
  double rhol = 0;   // liquid density, kg/m³
  double M = 0;      // gas molar mass, kg/kmol
  double gamma = 0;  // gas ratio of specific heats
  double Z = 0;      // gas compressibility factor
  double di2 = 0;    // outlet pipe inside diameter, mm (carried, not used)
};

class HV_TwoPhaseFlow {
 public:
  // Copies both records and builds the FL curve (by travel) and the characteristic (by relative
  // Cv). A malformed curve text throws the curve's failure.
  HV_TwoPhaseFlow(const IEC_ValveData& _ValveData, const HV_TwoPhaseProcessData& _ProcessData);
  virtual ~HV_TwoPhaseFlow() = default;
  HV_TwoPhaseFlow(const HV_TwoPhaseFlow&) = delete;
  HV_TwoPhaseFlow& operator=(const HV_TwoPhaseFlow&) = delete;

  // Sizing, power and velocities. Throws Exception, with no result valid, for an input the
  // formulas cannot take (the message names the quantity) and "Error with Two Phase Cv
  // Calculation." when the travel iteration would need a 101st pass. Never leaves a result that
  // is not a finite number.
  virtual void Calculate();
  // Pressure differential ratio factor at relative travel h: no two-phase formula asks for it,
  // and the curve is never built, so it throws Exception.
  virtual double xT(double h) const;
  // Liquid pressure recovery factor at relative travel h.
  virtual double FL(double h) const;
  // Relative travel (0 to 1) at which the characteristic gives flow coefficient C.
  virtual double h(double C) const;

  double Cv = 0;                      // required Cv
  double PercentOpen = 0;             // relative travel × 100 (the relative travel during the iteration)
  double Noise = 0;                   // always 0
  double Velocityl = 0;               // liquid velocity in the valve bore, m/s
  double Velocityg = 0;               // gas velocity in the valve bore, m/s
  double VelocityMach = 0;            // gas velocity ÷ gas speed of sound
  double dp = 0;                      // p1 − p2, kPa
  double dpchokedliquid = 0;          // choked pressure drop of the liquid, kPa
  double dpchokedgas = 0;             // choked pressure drop of the gas, kPa
  double kWPowerl = 0;                // power of the liquid, kW
  double kWPowerg = 0;                // power of the gas, kW
  double kWPower = 0;                 // kWPowerl + kWPowerg
  double pf = 0;                      // kWPower ÷ Valve.kW
  std::vector<std::string> Warnings;  // in the order raised
  xFlowIntermediates Intermediates;   // regime, factors, passes and guards of the last sizing
  double X = 0;                       // gas mass fraction Wg/(Wl + Wg)
  IEC_ValveData Valve;
  HV_TwoPhaseProcessData Process;
  std::shared_ptr<const xBezierCurve> FlCurve, XtCurve, Characteristic;

 protected:
  struct ForPlate {};
  // The FL curve only: a plate has no characteristic.
  HV_TwoPhaseFlow(const IEC_ValveData& _ValveData, const HV_TwoPhaseProcessData& _ProcessData, ForPlate);

  // Checks every input the calculation reads. A plate finds its own inlet pressure and has no
  // power or velocities, so it needs neither the inlet pressure, the bore nor the power rating.
  void CheckInputs(bool forPlate) const;
  // Required Cv, travel, choked drops and the sizing warnings at Process.p1.
  void Size();
  // Fails when any result is not a finite number.
  void CheckResults() const;

 private:
  void CalculatePower();
  void CalculateVelocities();
};

class HVTwoPhase_Diffuser : public HV_TwoPhaseFlow {
 public:
  // Copies both records and builds the FL curve; no characteristic.
  HVTwoPhase_Diffuser(const IEC_ValveData& _ValveData, const HV_TwoPhaseProcessData& _ProcessData);

  // Bisects the upstream pressure between p2 and 1000 × p2 until the bracket is narrower than
  // 0.1 kPa, the plate's rated Cv being just enough at the found p1. Process.p1 is not read; power
  // and velocities are not calculated. Throws as the valve's Calculate, and Exception when the
  // search cannot narrow the bracket to 0.1 kPa.
  void Calculate() override;
  double h(double C) const override;  // 100: a plate has no travel

  double p1 = 0;  // upstream pressure found, kPa(a)
  double pr = 0;  // p1/p2
};

}  // namespace quenta
