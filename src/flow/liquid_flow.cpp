#include "flow/liquid_flow.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <numbers>

#include "flow/diffuser_search.h"
#include "flow/flow_checks.h"
#include "flow/valve_curves.h"
#include "platform/exception.h"

namespace quenta {
namespace {

// Numerical constants of the IEC equations for Cv with m³/hr, kPa and mm.
constexpr double N1 = 0.0865;
constexpr double N2 = 0.00214;
constexpr double N4 = 0.076;
constexpr double N32 = 127;
constexpr double kReferenceDensity = 999;  // kg/m³, water, for the relative density ρ/ρ0
constexpr double kTurbulentReynolds = 10000;
// Beyond this share of the rated Cv the valve is too small and the turbulent loop is skipped.
constexpr double kOversizeShare = 1.1;
constexpr int kMaxTurbulentPasses = 50;
constexpr int kMaxLaminarPasses = 50;

constexpr const char* kPipingFactorError = "Error calculating Piping Factor.";
// Below these the method takes the floor instead of the piping factor Fp and FLP's reduction t;
// the result then is not the equations' and the condition is flagged.
constexpr double kFpFloor = 0.5;
constexpr double kFLPFloor = 0.5;

// Steel outlet pipe for the transmission loss of the IEC noise method.
constexpr double kSteelSoundSpeed = 4512;  // m/s
constexpr double kSteelDensity = 7860;     // kg/m³
constexpr double kPipeLength = 3.0;        // m

// The five octave bands of the IEC noise method with their A-weighting, dB.
struct Band {
  double f, A;
};
constexpr Band kBands[] = {{500, -3.2}, {1000, 0}, {2000, 1.2}, {4000, 1.0}, {8000, -1.1}};

double Exp10(double x) {
  return std::exp(std::numbers::ln10 * x);
}

// Each band's share of the internal sound power, 10^(−10 log(f/500)/10) = 500/f, times its
// A-weighting as a power ratio.
const std::array<double, 5>& BandWeights() {
  static const std::array<double, 5> weights = [] {
    std::array<double, 5> w{};
    for (std::size_t i = 0; i < w.size(); ++i) w[i] = 500 / kBands[i].f * Exp10(kBands[i].A / 10);
    return w;
  }();
  return weights;
}

// Observer distance from the pipe wall (m) against the dB it takes off the noise.
const xInterpolateCurve& DistanceCurve() {
  static const xInterpolateCurve curve("1\\0\\2\\5\\3\\7.8\\4\\10\\", cCurveFunction_x);
  return curve;
}

}  // namespace

IEC_IncompressibleFlow::IEC_IncompressibleFlow(const IEC_ValveData& _ValveData,
                                               const IEC_IncompressibleProcessData& _ProcessData)
    : Valve(_ValveData), Process(_ProcessData) {
  RequirePositive(Process.di1, "Inlet pipe inside diameter");
  RequirePositive(Process.di2, "Outlet pipe inside diameter");
  const double d = Valve.Dnom;
  const double b1 = ReducerBeta(d, Process.di1, pf_flag, geometry_);
  const double K1 = 0.5 * (1 - b1 * b1) * (1 - b1 * b1);
  const double KB1 = 1 - b1 * b1 * b1 * b1;
  SumZeta1 = K1 + KB1;
  const double b2 = ReducerBeta(d, Process.di2, pf_flag, geometry_);
  const double K2 = (1 - b2 * b2) * (1 - b2 * b2);
  const double KB2 = 1 - b2 * b2 * b2 * b2;
  // Not capped: a small valve between large pipes loses more than the velocity head, and a cap
  // would overstate Fp and understate the Cv it needs.
  SumZeta = SumZeta1 + K2 - KB2;
  geometry_.SumK1 = SumZeta1;
  geometry_.SumK = SumZeta;
  const xValveCurves* shared = Valve.Curves.get();
  FlCurve = CurveOr(shared ? shared->Fl : nullptr, Valve.FlTable, cCurveFunction_x);
  FdCurve = CurveOr(shared ? shared->Fd : nullptr, Valve.FdTable, cCurveFunction_x);
  Characteristic = CurveOr(shared ? shared->Characteristic : nullptr, Valve.Characteristic, cCurveFunction_y);
}

IEC_IncompressibleFlow::IEC_IncompressibleFlow(const IEC_ValveData& _ValveData,
                                               const IEC_IncompressibleProcessData& _ProcessData, ForPlate)
    : Valve(_ValveData), Process(_ProcessData), pf_flag(false) {
  const xValveCurves* shared = Valve.Curves.get();
  FlCurve = CurveOr(shared ? shared->Fl : nullptr, Valve.FlTable, cCurveFunction_x);
  FdCurve = CurveOr(shared ? shared->Fd : nullptr, Valve.FdTable, cCurveFunction_x);
}

void IEC_IncompressibleFlow::Calculate() {
  CheckInputs(true);
  Size();
  CalculateAfterSizing();
  CheckResults();
}

double IEC_IncompressibleFlow::FpEquation(double C) const {
  const double d = Valve.Dnom;
  const double r = C / (d * d);
  const double fp = 1 / std::sqrt(1 + SumZeta * r * r / N2);
  if (!(d > 0) || !std::isfinite(fp)) throw Exception(kPipingFactorError);
  return fp;
}

double IEC_IncompressibleFlow::FLPReduction(double fl, double C) const {
  const double d = Valve.Dnom;
  const double r = C / (d * d);
  const double t = 1 / std::sqrt(1 + fl * fl / N2 * SumZeta1 * r * r);
  if (!(d > 0) || !std::isfinite(t)) throw Exception(kPipingFactorError);
  return t;
}

double IEC_IncompressibleFlow::Fp(double C) const {
  if (!pf_flag) return 1;
  return std::max(FpEquation(C), kFpFloor);
}

double IEC_IncompressibleFlow::FLP(double fl, double C) const {
  if (!pf_flag) return fl;
  return fl * std::max(FLPReduction(fl, C), kFLPFloor);
}

double IEC_IncompressibleFlow::h(double C) const {
  return Characteristic->Lookup(C / Valve.Cv);
}

double IEC_IncompressibleFlow::FL(double h) const {
  return FlCurve->Lookup(h);
}

void IEC_IncompressibleFlow::CheckInputs(bool withInletPressure) const {
  const IEC_IncompressibleProcessData& P = Process;
  RequirePositive(Valve.Cv, "Rated Cv");
  RequirePositive(Valve.D, "Valve bore");
  RequirePositive(Valve.kW, "Valve power rating");
  RequireNotNegative(Valve.FiFactor, "Cavitation factor FiFactor");
  RequirePositive(P.rho, "Liquid density");
  RequireNotNegative(P.Pv, "Vapour pressure");
  RequirePositive(P.Pc, "Critical pressure");
  RequirePositive(P.nu, "Kinematic viscosity");
  RequirePositive(P.Q, "Flow");
  if (withInletPressure) {
    RequirePositive(P.p1, "Inlet pressure");
    RequireNotNegative(P.p2, "Outlet pressure");
    RequirePositive(P.p1 - P.p2, "Pressure drop");
  } else {
    RequirePositive(P.p2, "Outlet pressure");
  }
}

double IEC_IncompressibleFlow::Reynolds(double fd, double C, double fl) const {
  const double D = Valve.D;
  const double Rev = N4 * fd * Process.Q / (Process.nu * std::sqrt(C * fl)) *
                     std::sqrt(std::sqrt(fl * fl * C * C / (N2 * D * D * D * D) + 1));
  RequireFinite(Rev, "the valve Reynolds number");
  RequireNotNegative(Rev, "Valve Reynolds number");
  return Rev;
}

// Laminar and transitional flow: the Cv grows by 30 % a pass until the Reynolds number factor
// FR makes the turbulent Cs enough. Rev is recomputed once, at 1.3 × Cs.
double IEC_IncompressibleFlow::LaminarCv(double Cs, double fl, double Rev, double& travel) {
  const double d = Valve.Dnom;
  RequirePositive(d, "Nominal valve diameter");
  const double d2 = d * d;
  const bool fullSizeTrim = Cs / d2 > 0.016;
  double Ci = Cs;
  double FR = 0.1;
  bool laminar = true;
  for (int pass = 1; Cs / FR > Ci; ++pass) {
    if (pass > kMaxLaminarPasses) throw Exception("Error with Laminar Cv Calculation");
    Intermediates.laminarPasses = pass;
    Ci *= 1.3;
    travel = h(Ci);
    const double r = Ci / d2;
    const double n = fullSizeTrim ? N2 / (r * r) : 1 + N32 * std::exp(2.0 / 3.0 * std::log(r));
    const double FRlam = std::min(0.026 / fl * std::sqrt(n * Rev), 1.0);
    const double FRtrans =
        1 + 0.33 * std::sqrt(fl) / std::sqrt(std::sqrt(n)) * std::log10(Rev / kTurbulentReynolds);
    FR = Rev < 10 ? FRlam : std::min(FRtrans, FRlam);
    laminar = Rev < 10 || FRlam <= FRtrans;
    RequireFinite(FR, "the Reynolds number factor FR");
  }
  Intermediates.FR = FR;
  Intermediates.regime = laminar ? "laminar" : "transitional";
  return Ci;
}

void IEC_IncompressibleFlow::Size() {
  const IEC_IncompressibleProcessData& P = Process;
  Intermediates = geometry_;
  xFlowIntermediates& I = Intermediates;
  const double relDensity = P.rho / kReferenceDensity;
  const double FF = 0.96 - 0.28 * std::sqrt(P.Pv / P.Pc);
  I.FF = FF;
  const double p1FFPv = P.p1 - FF * P.Pv;
  auto sizingDrop = [this](double choked) {
    RequirePositive(choked, "Choked pressure drop");
    return dp < choked ? dp : choked;
  };

  const double FLmax = FL(1.0);
  dp = P.p1 - P.p2;
  dpchoked = FLmax * FLmax * p1FFPv;
  double C = P.Q / N1 * std::sqrt(relDensity / sizingDrop(dpchoked));
  double travel = h(C);
  const double firstTravel = travel;
  const double fd = Fd(travel);
  const double fl = FL(travel);
  double Rev = Reynolds(fd, C, fl);

  double flAtTravel = fl;
  bool fpFloor = false;
  bool flpFloor = false;
  if (Rev > kTurbulentReynolds) {
    I.regime = "turbulent";
    travel = 1.0;
    flAtTravel = FLmax;
    if (C > kOversizeShare * Valve.Cv) {
      I.Guard(kGuardOversize);
    } else {
      double Cnew = C;
      double Cold = 0;
      for (int pass = 1; std::abs(Cold - Cnew) / Cnew > 0.01; ++pass) {
        if (pass > kMaxTurbulentPasses) throw Exception("Error with Turbulent Cv Calculation");
        I.turbulentPasses = pass;
        // The first pass starts from the estimate whose travel and FL were just looked up.
        if (pass == 1) {
          travel = firstTravel;
          flAtTravel = fl;
        } else {
          travel = h(Cnew);
          flAtTravel = FL(travel);
        }
        Cold = Cnew;
        const double fp = Fp(Cold);
        const double flp = FLP(flAtTravel, Cold);
        // Only the last pass's factors make the result; a floor met on the way does not.
        fpFloor = pf_flag && fp == kFpFloor && FpEquation(Cold) < kFpFloor;
        flpFloor = pf_flag && flp == flAtTravel * kFLPFloor && FLPReduction(flAtTravel, Cold) < kFLPFloor;
        I.Fp = fp;
        I.FLP = flp;
        dpchoked = (flp / fp) * (flp / fp) * p1FFPv;
        Cnew = std::sqrt(relDensity / sizingDrop(dpchoked)) * P.Q / N1 / fp;
      }
      C = Cnew;
    }
  } else {
    Rev = Reynolds(fd, 1.3 * C, fl);
    C = LaminarCv(C, fl, Rev, travel);
    flAtTravel = FL(travel);
  }
  I.Rev = Rev;

  Cv = C;
  PercentOpen = 100 * travel;
  Fl = flAtTravel;
  xfz = Fl * Fl * Valve.FiFactor;

  I.choked = dp >= dpchoked;
  if (fpFloor) I.Guard(kGuardFpFloor);
  if (flpFloor) I.Guard(kGuardFLPFloor);
  if (fpFloor || flpFloor) Warnings.emplace_back(kPipingFactorsOutOfRange);
  if (travel == 1.0) Warnings.emplace_back("Valve too small");
  if (Rev <= kTurbulentReynolds) Warnings.emplace_back("Laminar flow");
  if (dp >= dpchoked) Warnings.emplace_back("Choked flow");
  if (P.p2 < P.Pv) Warnings.emplace_back("Flashing");
}

void IEC_IncompressibleFlow::CalculateAfterSizing() {
  CalculateNoise();
  CalculatePower();
  const IEC_IncompressibleProcessData& P = Process;
  Sigma = (P.p1 - P.Pv) / (P.p1 - P.p2);
  Velocity = (P.Q / 3600) / (std::numbers::pi / 4 * (Valve.D / 1000) * (Valve.D / 1000));
  CheckCavitation();
}

void IEC_IncompressibleFlow::CalculateNoise() {
  Noise = Valve.NoiseIEC ? NoiseIEC() : NoiseSimple();
}

double IEC_IncompressibleFlow::NoiseCorrections(double L) const {
  L -= DistanceCurve().Lookup(Valve.NoiseDistance);
  L -= Valve.NoiseAttenuation;
  if (Valve.stages == 255) L -= 20;
  return L;
}

double IEC_IncompressibleFlow::NoiseSimple() const {
  const IEC_IncompressibleProcessData& P = Process;
  const double xF = RequireFinite((P.p1 - P.p2) / (P.p1 - P.Pv), "the pressure ratio xF");
  const double Lx = xF <= 0.1 ? 10 : 10 - 43.42 * std::exp(5.4395 * std::log(std::log10(xF) + 1));
  const double dpPsi = dp * 0.000145037737730174 * 1000;
  double L = std::log10(dpPsi) * (29.6875 * xF + 4.0625) + 20 * std::log10(Cv) + Lx + Valve.PipeAtten;
  L = NoiseCorrections(L);
  if (Valve.PlateAtten) L -= 6;
  return L;
}

double IEC_IncompressibleFlow::NoiseIEC() const {
  const IEC_IncompressibleProcessData& P = Process;
  const double xF = RequireFinite((P.p1 - P.p2) / (P.p1 - P.Pv), "the pressure ratio xF");
  // Beyond xF = 1 the outlet flashes and the method has no answer; the page shows it as such.
  if (xF > 1) return 0;
  RequirePositive(Valve.EtaF, "Acoustical efficiency factor EtaF");

  const double Wm = Valve.EtaF * P.Q / 3600;  // ηF × volume flow, m³/s
  double LW;
  if (xF < xfz) {
    LW = 10 * std::log10(Wm * dp * 1000) + 120;
  } else {
    const std::shared_ptr<const xInterpolateCurve> deltaLF =
        CurveOr(Valve.Curves ? Valve.Curves->DeltaLF : nullptr, Valve.DeltaLF);
    const double dpe = std::min(dp, dpchoked);
    // At xF = 1 exactly the cavitation term is (1 − xF)^0.8 × log(…/(1 − xF)), whose limit is 0.
    const double cavitation = xF >= 1 ? 0
                                      : 180 * std::sqrt(std::sqrt(std::sqrt(std::sqrt(xfz)))) /
                                            std::pow(xF, xfz) * std::pow(1 - xF, 0.8) *
                                            std::log10((1 - xfz) / (1 - xF));
    LW = 10 * std::log10(Wm * dpe * 1000) + 120 + deltaLF->Lookup(xF) + cavitation;
  }
  RequireFinite(LW, "the sound power level");
  LW = std::max(LW, 40.0);

  const double t = (P.do2 - P.di2) / 2000;
  if (t <= 0) throw Exception("Error with pipe thickness.");
  RequirePositive(P.c, "Speed of sound");
  const double Do = P.do2 / 1000;
  const double fr = kSteelSoundSpeed / (std::numbers::pi * Do);
  // Per octave band f, with the wall term w = cs ρs t/(c ρ Do) and g = (f/fr)^1.5 + fr/f:
  //   LW(f) = LW − 10 log(f/500) − 2.9
  //   TL(f) = 10 + 10 log w + 10 log g²
  //   Lp(f) = LW(f) − 17.37 l/2/Do × 10^(−TL/10) − TL + 10 log(4 l/Do) + A(f)
  // and the noise is 10 log Σ 10^(Lp/10). The sum is taken in powers rather than levels:
  // 10^(−TL/10) = 0.1/(w g²), and 10^(Lp/10) = 10^((LW − 2.9)/10) × 4l/Do × (500/f) 10^(A/10) ×
  // 10^(−TL/10) × 10^(−17.37 l/2/Do × 10^(−TL/10) / 10), which spares two powers and a logarithm
  // per band.
  const double w = kSteelSoundSpeed * kSteelDensity * t / (P.c * P.rho * Do);
  const double radiation = 17.37 * kPipeLength / 2 / Do;
  const std::array<double, 5>& weights = BandWeights();
  double sum = 0;
  for (std::size_t i = 0; i < std::size(kBands); ++i) {
    const double r = kBands[i].f / fr;
    const double g = r * std::sqrt(r) + 1 / r;
    const double transmission = 0.1 / (w * g * g);  // 10^(−TL/10)
    sum += weights[i] * transmission * Exp10(-radiation * transmission / 10);
  }
  sum *= Exp10((LW - 2.9) / 10) * 4 * kPipeLength / Do;
  return NoiseCorrections(10 * std::log10(sum));
}

void IEC_IncompressibleFlow::CalculatePower() {
  const double dpPsi = dp * 14.5 / 100;
  kWPower = dpPsi * std::sqrt(dpPsi) / (Process.rho / kReferenceDensity) * Cv / 2300;
  pf = kWPower / Valve.kW;
}

void IEC_IncompressibleFlow::CheckCavitation() {
  const IEC_IncompressibleProcessData& P = Process;
  dpcavitation = (P.p1 - P.Pv) * xfz;
  if (P.p2 >= P.Pv && dp >= dpcavitation)
    Warnings.emplace_back(dp >= dpchoked ? "Full Cavitation" : "Incipient Cavitation.");
}

void IEC_IncompressibleFlow::CheckResults() const {
  RequireFinite(Cv, "the required Cv");
  RequireFinite(PercentOpen, "the travel");
  RequireFinite(Noise, "the noise level");
  RequireFinite(Velocity, "the velocity");
  RequireFinite(dp, "the pressure drop");
  RequireFinite(dpchoked, "the choked pressure drop");
  RequireFinite(dpcavitation, "the cavitation pressure drop");
  RequireFinite(kWPower, "the power");
  RequireFinite(pf, "the power factor");
  RequireFinite(Sigma, "the cavitation number");
  RequireFinite(Fl, "FL");
  RequireFinite(xfz, "the incipient cavitation index");
}

IECLiquid_Diffuser::IECLiquid_Diffuser(const IEC_ValveData& _ValveData,
                                       const IEC_IncompressibleProcessData& _ProcessData)
    : IEC_IncompressibleFlow(_ValveData, _ProcessData, ForPlate{}) {}

double IECLiquid_Diffuser::Fp(double) const {
  return 1;
}

double IECLiquid_Diffuser::h(double) const {
  return 100;
}

double IECLiquid_Diffuser::FL(double) const {
  return FlCurve->Lookup(1.0);
}

void IECLiquid_Diffuser::Calculate() {
  CheckInputs(false);
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
  CalculateAfterSizing();
  CheckResults();
  RequireFinite(p1, "the upstream pressure");
  RequireFinite(pr, "the pressure ratio");
}

}  // namespace quenta
