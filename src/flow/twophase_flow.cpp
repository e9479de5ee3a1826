#include "flow/twophase_flow.h"

#include <algorithm>
#include <cmath>

#include "flow/diffuser_search.h"
#include "flow/flow_checks.h"
#include "flow/valve_curves.h"
#include "platform/exception.h"

namespace quenta {
namespace {

constexpr int kMaxTravelPasses = 100;
// The travel iteration stops when the damped travel is this close to the characteristic's.
constexpr double kTravelTolerance = 0.0005;
// π/4 × 10⁻⁶: the bore area in m² from its diameter in mm.
constexpr double kAreaPerSquareMillimetre = 7.853981633974483e-07;

// Gas density at pressure P (kPa(a)) and temperature T (K), kg/m³.
double GasDensityAt(double P, double T, double M, double Z) {
  return P * M / (Z * 8314.0 / 1000.0 * T);
}

}  // namespace

HV_TwoPhaseFlow::HV_TwoPhaseFlow(const IEC_ValveData& _ValveData, const HV_TwoPhaseProcessData& _ProcessData)
    : Valve(_ValveData), Process(_ProcessData) {
  const xValveCurves* shared = Valve.Curves.get();
  FlCurve = CurveOr(shared ? shared->Fl : nullptr, Valve.FlTable, cCurveFunction_x);
  Characteristic = CurveOr(shared ? shared->Characteristic : nullptr, Valve.Characteristic, cCurveFunction_y);
}

HV_TwoPhaseFlow::HV_TwoPhaseFlow(const IEC_ValveData& _ValveData, const HV_TwoPhaseProcessData& _ProcessData,
                                 ForPlate)
    : Valve(_ValveData), Process(_ProcessData) {
  FlCurve = CurveOr(Valve.Curves ? Valve.Curves->Fl : nullptr, Valve.FlTable, cCurveFunction_x);
}

void HV_TwoPhaseFlow::Calculate() {
  CheckInputs(false);
  Size();
  CalculatePower();
  CalculateVelocities();
  CheckResults();
}

double HV_TwoPhaseFlow::xT(double h) const {
  if (!XtCurve) throw Exception("The two-phase calculation has no xT curve.");
  return XtCurve->Lookup(h);
}

double HV_TwoPhaseFlow::FL(double h) const {
  return FlCurve->Lookup(h);
}

double HV_TwoPhaseFlow::h(double C) const {
  return Characteristic->Lookup(C / Valve.Cv);
}

void HV_TwoPhaseFlow::CheckInputs(bool forPlate) const {
  const HV_TwoPhaseProcessData& P = Process;
  RequirePositive(Valve.Cv, "Rated Cv");
  if (forPlate) {
    RequirePositive(P.p2, "Outlet pressure");
  } else {
    RequirePositive(Valve.D, "Valve bore");
    RequirePositive(Valve.kW, "Valve power rating");
    RequirePositive(P.p1, "Inlet pressure");
    RequirePositive(P.p2, "Outlet pressure");
    RequirePositive(P.p1 - P.p2, "Pressure drop");
  }
  RequirePositive(P.T, "Temperature");
  RequireNotNegative(P.Wl, "Liquid mass flow");
  RequireNotNegative(P.Wg, "Gas mass flow");
  RequirePositive(P.Wl + P.Wg, "Total mass flow");
  RequireNotNegative(P.Pvl, "Liquid vapour pressure");
  RequirePositive(P.Pcl, "Liquid critical pressure");
  RequirePositive(P.rhol, "Liquid density");
  RequirePositive(P.M, "Gas molar mass");
  // γ/(γ − 1) and the isentropic exponent need a real gas's γ.
  if (!(P.gamma > 1)) throw Exception("Ratio of specific heats must be greater than one.");
  RequirePositive(P.Z, "Compressibility factor");
}

void HV_TwoPhaseFlow::Size() {
  const HV_TwoPhaseProcessData& P = Process;
  const double W = P.Wl + P.Wg;
  X = P.Wg / W;
  dp = P.p1 - P.p2;
  const double FF = 0.96 - 0.28 * std::sqrt(P.Pvl / P.Pcl);
  const double Fgamma = P.gamma / 1.4;
  const double vl = 1 / P.rhol;
  const double vg = 8.314 * P.Z * P.T / (P.M * P.p1);
  const double e = -0.65 / std::pow(Fgamma, 0.92);
  Intermediates = xFlowIntermediates{};
  Intermediates.FF = FF;
  Intermediates.Fgamma = Fgamma;

  double C = Valve.Cv;
  PercentOpen = 1.0;
  double w = 0;
  for (int pass = 1; std::abs(w - PercentOpen) > kTravelTolerance; ++pass) {
    if (pass > kMaxTravelPasses) throw Exception("Error with Two Phase Cv Calculation.");
    Intermediates.travelPasses = pass;
    // The travel at which FL is read moves halfway towards the last answer, which keeps a steep
    // FL curve from making the travel oscillate.
    w = (w + PercentOpen) / 2;
    const double fl2 = std::pow(FL(w), 2);
    dpchokedliquid = fl2 * (P.p1 - FF * P.Pvl);
    const double dpl = dp < dpchokedliquid ? dp : dpchokedliquid;
    dpchokedgas = std::sqrt(Fgamma) * 1.7689 * fl2 * 0.47 * P.p1;
    const double dpg = dp < dpchokedgas ? dp : dpchokedgas;
    // A phase without flow drops out entirely; its choked drop then does not matter.
    double liquidTerm = 0;
    if (P.Wl > 0) {
      RequirePositive(dpchokedliquid, "Choked liquid pressure drop");
      liquidTerm = (1 - X) * vl / dpl;
    }
    double gasTerm = 0;
    if (P.Wg > 0) {
      RequirePositive(dpchokedgas, "Choked gas pressure drop");
      const double H = 1 - dpg / (1.7689 * fl2 * P.p1);
      const double Yg = H > 0 ? std::pow(H, e) : 0;
      gasTerm = X * Yg * Yg * vg / dpg;
    }
    C = RequireFinite(0.368 * W * std::sqrt(liquidTerm + gasTerm), "the two-phase Cv");
    PercentOpen = h(C);
  }
  Cv = C;
  PercentOpen = 100 * PercentOpen;

  Intermediates.choked = dp >= dpchokedgas || dp >= dpchokedliquid;
  if (PercentOpen == 100) Warnings.emplace_back("Valve too small");
  if (dp >= dpchokedgas) Warnings.emplace_back("Choked gas flow");
  if (dp >= dpchokedliquid) Warnings.emplace_back("Choked liquid flow");
  if (P.p2 < P.Pvl) Warnings.emplace_back("Flashing");
}

void HV_TwoPhaseFlow::CalculatePower() {
  const HV_TwoPhaseProcessData& P = Process;
  kWPowerl = 0.000277608695652174 * P.Wl / P.rhol * (P.p1 - P.p2) / std::sqrt(P.rhol / 999);
  const double rhog1 = GasDensityAt(P.p1, P.T, P.M, P.Z);
  const double k = P.gamma;
  kWPowerg = (1 - std::pow(P.p2 / P.p1, (k - 1) / k)) * k / (k - 1) * P.p1 / rhog1 * P.Wg / 3600;
  kWPower = kWPowerl + kWPowerg;
  pf = kWPower / Valve.kW;
}

void HV_TwoPhaseFlow::CalculateVelocities() {
  const HV_TwoPhaseProcessData& P = Process;
  const double rhog2 = P.M * P.p2 / (8.314 * P.T);  // outlet gas density, as an ideal gas
  const double S = std::sqrt(X * P.rhol / rhog2 + 1 - X);
  const double Qg = P.Wg / rhog2;
  const double Ql = P.Wl / P.rhol;
  const double beta = Qg / (Qg + Ql);
  const double A = kAreaPerSquareMillimetre * Valve.D * Valve.D;
  // With the void fraction α = β/(β + (1 − β) S), the gas takes αA of the bore and the liquid the
  // rest: Vg = Qg/(αA) and Vl = Ql/((1 − α) A). Both are written here without the areas, as
  // Vg = (Qg + Ql)(β + (1 − β) S)/A and Vl = Vg/S, which stay finite when one phase's share is
  // too small for α to tell from 0 or 1. A phase without flow has no area and no velocity.
  const double Vg = (Qg + Ql) * (beta + (1 - beta) * S) / (A * 3600);
  Velocityg = Qg > 0 ? Vg : 0;
  Velocityl = Ql > 0 ? Vg / S : 0;
  const double cg = std::sqrt(P.gamma * 8314 * P.T / P.M);
  VelocityMach = Velocityg / cg;
}

void HV_TwoPhaseFlow::CheckResults() const {
  RequireFinite(Cv, "the required Cv");
  RequireFinite(PercentOpen, "the travel");
  RequireFinite(Velocityl, "the liquid velocity");
  RequireFinite(Velocityg, "the gas velocity");
  RequireFinite(VelocityMach, "the Mach number");
  RequireFinite(dp, "the pressure drop");
  RequireFinite(dpchokedliquid, "the choked liquid pressure drop");
  RequireFinite(dpchokedgas, "the choked gas pressure drop");
  RequireFinite(kWPowerl, "the liquid power");
  RequireFinite(kWPowerg, "the gas power");
  RequireFinite(kWPower, "the power");
  RequireFinite(pf, "the power factor");
}

HVTwoPhase_Diffuser::HVTwoPhase_Diffuser(const IEC_ValveData& _ValveData,
                                         const HV_TwoPhaseProcessData& _ProcessData)
    : HV_TwoPhaseFlow(_ValveData, _ProcessData, ForPlate{}) {}

double HVTwoPhase_Diffuser::h(double) const {
  return 100;
}

void HVTwoPhase_Diffuser::Calculate() {
  CheckInputs(true);
  int passes = 0;
  DiffuserInletPressure(Process.p2, Valve.Cv, [this, &passes](double inlet) {
    ++passes;
    Process.p1 = inlet;
    Size();
    return Cv;
  });
  Intermediates.searchPasses = passes;
  p1 = Process.p1;
  pr = p1 / Process.p2;
  CheckResults();
  RequireFinite(p1, "the upstream pressure");
  RequireFinite(pr, "the pressure ratio");
}

}  // namespace quenta
