#include "flow/gas_flow.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <optional>

#include "flow/diffuser_search.h"
#include "flow/flow_checks.h"
#include "flow/gas_noise.h"
#include "flow/valve_curves.h"
#include "platform/exception.h"

namespace quenta {
namespace {

constexpr double kR = 8314;             // J/(kmol·K)
constexpr double kN9 = 22.5;            // Cv, m³/hr at 101.325 kPa(a) and 288.15 K, kPa, K
constexpr double kN2 = 0.00214;         // Cv, d in mm
constexpr double kN5 = 0.00241;         // Cv, d in mm
constexpr double kN4 = 0.076;           // Cv, m³/hr, m²/s, mm
constexpr double kTurbulentRe = 10000;  // valve Reynolds number above which the flow is turbulent

// The iterations converge in a few passes on every sensible valve; a characteristic or xT
// curve that makes them cycle must end in a message rather than hang the page.
constexpr int kTurbulentPasses = 100;
constexpr int kLaminarPasses = 50;
// Below these the method takes the floor instead of the piping factor Fp and xTP's reduction t;
// the result then is not the equations' and the condition is flagged.
constexpr double kFpFloor = 0.1;
constexpr double kXTPFloor = 0.1;
// The turbulent iteration changes to bisection when successive steps change sign without at
// least halving: the estimates then alternate about the answer instead of closing in on it.
constexpr double kContraction = 0.5;
// Expansion-factor constants of trims with 1 to 5 stages.
constexpr std::array<double, 5> kA = {0.404, 0.673, 0.825, 0.885, 0.915};
constexpr std::array<double, 5> kB = {0, 0.215, 0.316, 0.335, 0.31};

// The turbulent iteration halves this bracket once its estimates alternate about the answer:
// one end's next estimate is larger (the answer lies above it), the other's smaller. It stops
// when the ends are this close, relative to the estimate.
constexpr double kBracketWidth = 1e-6;
class CycleBracket {
 public:
  static constexpr int kFp = 1, kXTP = 2;  // floors that acted at an end

  // Makes estimate c, whose next estimate is c + step, the end on its side.
  void Put(double c, double step, int floors) {
    const int i = step > 0 ? 0 : 1;
    at_[i] = c;
    step_[i] = step;
    floors_[i] = floors;
  }
  double Middle() const { return (at_[0] + at_[1]) / 2; }
  double Width() const { return std::abs(at_[0] - at_[1]); }
  double LargestStep() const { return std::max(std::abs(step_[0]), std::abs(step_[1])); }
  int Floors() const { return floors_[0] | floors_[1]; }

 private:
  double at_[2] = {0, 0};
  double step_[2] = {0, 0};
  int floors_[2] = {0, 0};
};

struct Expansion {
  double Y;   // expansion factor
  double xs;  // pressure drop ratio used for sizing: x, or the choked ratio when x reaches it
};

// x is the pressure drop ratio, xch the choked ratio, xTp the xT (or xTP) in use; stages is 0
// for a single-stage trim and 1 to 5 for a multi-stage one.
Expansion ExpansionOf(double x, double xch, double Fgamma, double xTp, int stages) {
  const bool choked = !(x < xch);
  const double xs = choked ? xch : x;
  if (stages == 0) return {choked ? 0.667 : 1 - x / (3 * xch), xs};

  const auto i = static_cast<std::size_t>(stages - 1);
  const double n = stages;
  const double inner = 1 - kA[i] * xs / xTp;
  if (!(inner > 0))
    throw Exception("The multi-stage expansion factor cannot be calculated at this pressure drop ratio.");
  const double root = std::exp(std::log(inner) * (1 / n));
  const double first = 1 - (1 - root) / (1.212 * Fgamma);
  const double second = 1 + kB[i] * std::exp(std::log(xs) * std::sqrt(n - 1)) / Fgamma;
  const double Y = first * second;
  RequirePositive(Y, "Expansion factor");
  return {Y, xs};
}

double LookupPositive(const xBezierCurve& curve, double at, const char* quantity) {
  const double v = curve.Lookup(at);
  RequirePositive(v, quantity);
  return v;
}

constexpr const char* kXt = "Pressure differential ratio factor xT";
constexpr const char* kFl = "Pressure recovery factor FL";
constexpr const char* kFd = "Valve style modifier Fd";

}  // namespace

double GasDensity(double P, double T, double M, double Z) {
  RequireNotNegative(P, "Pressure");
  RequirePositive(T, "Temperature");
  RequirePositive(M, "Molar mass");
  RequirePositive(Z, "Compressibility factor");
  return P * M / (Z * kR / 1000 * T);
}

double StandardDensity(double M) {
  return GasDensity(101.325, 288.15, M, 1);
}

IEC_CompressibleFlow::IEC_CompressibleFlow(const IEC_ValveData& _ValveData,
                                           const IEC_CompressibleProcessData& _ProcessData)
    : Valve(_ValveData), Process(_ProcessData) {
  MultiStage = Valve.stages >= 1 && Valve.stages <= 5;
  pf_flag = true;
  const double b1 = ReducerBeta(Valve.Dnom, Process.D1, pf_flag, geometry_);
  const double b2 = ReducerBeta(Valve.Dnom, Process.D2, pf_flag, geometry_);
  const double b1sq = b1 * b1;
  const double b2sq = b2 * b2;
  SumZeta1 = 0.5 * (1 - b1sq) * (1 - b1sq) + 1 - b1sq * b1sq;
  SumZeta = SumZeta1 + (1 - b2sq) * (1 - b2sq) - (1 - b2sq * b2sq);
  geometry_.SumK1 = SumZeta1;
  geometry_.SumK = SumZeta;

  const xValveCurves* shared = Valve.Curves.get();
  XtCurve = CurveOr(shared ? shared->Xt : nullptr, Valve.xtTable, cCurveFunction_x);
  FdCurve = CurveOr(shared ? shared->Fd : nullptr, Valve.FdTable, cCurveFunction_x);
  FlCurve = CurveOr(shared ? shared->Fl : nullptr, Valve.FlTable, cCurveFunction_x);
  Characteristic = CurveOr(shared ? shared->Characteristic : nullptr, Valve.Characteristic, cCurveFunction_y);
  // Only trims of 2 to 5 stages read the correction, so only they need a table.
  const bool staged = Valve.stages >= 2 && Valve.stages <= 5;
  if (staged && shared && shared->dLwG)
    dLwGCurve = shared->dLwG;
  else if (staged && !Valve.dLwGTable.empty())
    dLwGCurve = std::make_shared<const xInterpolateCurve>(Valve.dLwGTable, cCurveFunction_x);
}

IEC_CompressibleFlow::IEC_CompressibleFlow(const IEC_ValveData& _ValveData,
                                           const IEC_CompressibleProcessData& _ProcessData, ForPlate)
    : Valve(_ValveData), Process(_ProcessData) {
  const xValveCurves* shared = Valve.Curves.get();
  XtCurve = CurveOr(shared ? shared->Xt : nullptr, Valve.xtTable, cCurveFunction_x);
  FdCurve = CurveOr(shared ? shared->Fd : nullptr, Valve.FdTable, cCurveFunction_x);
  FlCurve = CurveOr(shared ? shared->Fl : nullptr, Valve.FlTable, cCurveFunction_x);
  static const auto noCorrection =
      std::make_shared<const xInterpolateCurve>("0\\0\\1\\0\\", cCurveFunction_x);
  dLwGCurve = noCorrection;
}

void IEC_CompressibleFlow::Calculate() {
  CheckInputs(true, true, true);
  Size();
  CalculateNoise();
  CalculatePower();
}

double IEC_CompressibleFlow::FpEquation(double C) const {
  const double r = C / (Valve.Dnom * Valve.Dnom);
  const double radicand = 1 + SumZeta / kN2 * r * r;
  // An outlet expander can make ΣK negative, and a large enough C/d² then leaves no root.
  if (!(radicand > 0) || !std::isfinite(radicand)) throw Exception("Error calculating Piping Factor.");
  return 1 / std::sqrt(radicand);
}

double IEC_CompressibleFlow::Fp(double C) const {
  if (!pf_flag) return 1;
  return std::max(FpEquation(C), kFpFloor);
}

double IEC_CompressibleFlow::h(double C) const {
  return Characteristic->Lookup(C / Valve.Cv);
}

double IEC_CompressibleFlow::xT(double h) const {
  return XtCurve->Lookup(h);
}

double IEC_CompressibleFlow::xTPReduction(double C, double fp, double xTh) const {
  const double r = C / (Valve.Dnom * Valve.Dnom);
  return (1 / (fp * fp)) / (1 + xTh * SumZeta1 / kN5 * r * r);
}

double IEC_CompressibleFlow::xTP(double C, double fp, double xTh) const {
  if (!pf_flag) return xTh;
  return xTh * std::max(xTPReduction(C, fp, xTh), kXTPFloor);
}

double IEC_CompressibleFlow::Reynolds(double Fd, double FL, double C) const {
  const double D = Valve.D;
  const double term = FL * FL * C * C / (kN2 * D * D * D * D) + 1;
  return kN4 * Fd * Process.Q / (Process.nu * std::sqrt(C * FL)) * std::sqrt(std::sqrt(term));
}

void IEC_CompressibleFlow::CheckInputs(bool withInletPressure, bool withPipeGeometry, bool withPower) const {
  const IEC_ValveData& V = Valve;
  const IEC_CompressibleProcessData& P = Process;
  RequirePositive(V.Cv, "Rated Cv");
  RequirePositive(V.Dnom, "Nominal valve size");
  RequirePositive(V.D, "Valve bore");
  if (withPower) RequirePositive(V.kW, "Valve power rating");
  RequirePositive(P.T, "Inlet temperature");
  RequirePositive(P.M, "Molar mass");
  RequirePositive(P.nu, "Kinematic viscosity");
  if (!(P.gamma > 1)) throw Exception("Ratio of specific heats must be greater than one.");
  RequirePositive(P.Z, "Compressibility factor");
  RequirePositive(P.pa, "Atmospheric pressure");
  if (withInletPressure) RequirePositive(P.p1, "Inlet pressure");
  RequirePositive(P.p2, "Outlet pressure");
  if (withInletPressure && !(P.p2 < P.p1))
    throw Exception("Outlet pressure must be less than inlet pressure.");
  RequirePositive(P.Q, "Flow");
  if (withPipeGeometry) RequirePositive(P.D1, "Inlet pipe diameter");
  RequirePositive(P.D2, "Outlet pipe diameter");
  RequirePositive(P.tp2, "Outlet pipe wall thickness");
}

void IEC_CompressibleFlow::Size() {
  const IEC_CompressibleProcessData& P = Process;
  Intermediates = geometry_;
  xFlowIntermediates& I = Intermediates;
  const double Fgamma = P.gamma / 1.4;
  const int n = MultiStage ? Valve.stages : 0;
  const double mtz = P.M * P.T * P.Z;
  auto required = [&](double fp, const Expansion& e) {
    return RequireFinite(std::sqrt(mtz / e.xs) * P.Q / (kN9 * fp * P.p1 * e.Y), "the required Cv");
  };

  const double xT1 = xT(1.0);
  RequirePositive(xT1, kXt);
  dp = P.p1 - P.p2;
  const double x = dp / P.p1;
  I.Fgamma = Fgamma;
  I.x = x;
  double xch = Fgamma * xT1;
  Expansion expansion = ExpansionOf(x, xch, Fgamma, xT1, n);
  double C = required(1, expansion);

  const double firstTravel = h(C);
  const double Fd = LookupPositive(*FdCurve, firstTravel, kFd);
  const double FL = LookupPositive(*FlCurve, firstTravel, kFl);
  double Rev = Reynolds(Fd, FL, C);

  double travel = 1.0;
  double xTh = xT1;  // xT at travel, whenever travel changes
  bool fpFloor = false;
  bool xtpFloor = false;
  if (Rev > kTurbulentRe || MultiStage) {
    I.regime = Rev > kTurbulentRe ? "turbulent" : "laminar";
    // Far beyond the rated Cv the first estimate is answer enough: the valve is too small.
    if (C > 1.1 * Valve.Cv) {
      I.Guard(kGuardOversize);
    } else {
      double Cold = 0;
      double lastStep = 0;
      int lastFloors = 0;
      std::optional<CycleBracket> bracket;
      for (int pass = 1;; ++pass) {
        if (bracket ? bracket->Width() / C <= kBracketWidth : !(std::abs(Cold - C) / C > 0.01)) break;
        if (pass > kTurbulentPasses) throw Exception("Error with Turbulent Cv Calculation");
        I.turbulentPasses = pass;
        const double previous = Cold;
        Cold = C;
        const double fp = Fp(Cold);
        travel = pass == 1 ? firstTravel : h(Cold);
        xTh = xT(travel);
        RequirePositive(xTh, kXt);
        const double xtp = xTP(Cold, fp, xTh);
        // Only the last pass's factors make the result; a floor met on the way does not.
        fpFloor = pf_flag && fp == kFpFloor && FpEquation(Cold) < kFpFloor;
        xtpFloor = pf_flag && xtp == xTh * kXTPFloor && xTPReduction(Cold, fp, xTh) < kXTPFloor;
        I.Fp = fp;
        I.xTP = xtp;
        xch = Fgamma * xtp;
        expansion = ExpansionOf(x, xch, Fgamma, xtp, n);
        const double next = required(fp, expansion);
        const double step = next - Cold;
        const int floors = (fpFloor ? CycleBracket::kFp : 0) | (xtpFloor ? CycleBracket::kXTP : 0);
        if (!bracket && pass > 2 && step * lastStep < 0 &&
            std::abs(step) > kContraction * std::abs(lastStep)) {
          bracket.emplace();
          bracket->Put(previous, lastStep, lastFloors);
          I.Guard(kGuardDamped);
        }
        lastStep = step;
        lastFloors = floors;
        if (!bracket) {
          C = next;
          continue;
        }
        bracket->Put(Cold, step, floors);
        C = bracket->Middle();
      }
      if (bracket) {
        // A bracket that closes on a jump of the xT or characteristic curve rather than on an
        // answer: no Cv makes the equations meet.
        if (bracket->LargestStep() > 0.01 * C) throw Exception("Error with Turbulent Cv Calculation");
        // The answer lies between the ends, so a floor at either end may be the one that holds it.
        fpFloor = (bracket->Floors() & CycleBracket::kFp) != 0;
        xtpFloor = (bracket->Floors() & CycleBracket::kXTP) != 0;
      }
    }
  } else {
    C = LaminarCv(C, FL, Fd, Rev, travel);
    xTh = xT(travel);
  }
  I.Rev = Rev;
  I.Y = expansion.Y;

  Cv = C;
  PercentOpen = 100 * travel;
  dpchoked = xch * P.p1;
  xt = xTh;
  I.choked = dp >= dpchoked;
  if (fpFloor) I.Guard(kGuardFpFloor);
  if (xtpFloor) I.Guard(kGuardXTPFloor);
  if (fpFloor || xtpFloor) Warnings.emplace_back(kPipingFactorsOutOfRange);
  if (travel == 1.0) Warnings.emplace_back("Valve too small.");
  if (Rev <= kTurbulentRe) Warnings.emplace_back("Laminar flow.");
  if (dp >= dpchoked) Warnings.emplace_back("Choked flow.");
}

// Grows the turbulent estimate Cs by 30 % a pass until it covers Cs divided by the Reynolds
// number factor FR at that size. Rev is recomputed once, at 1.3 Cs; travel ends at the last
// size tried.
double IEC_CompressibleFlow::LaminarCv(double Cs, double FL, double Fd, double& Rev, double& travel) {
  Rev = Reynolds(Fd, FL, 1.3 * Cs);
  const double d2 = Valve.Dnom * Valve.Dnom;
  const bool large = Cs / d2 > 0.016;
  const double logRe = std::log10(Rev / kTurbulentRe);
  double Ci = Cs;
  double FR = 0.1;
  bool laminar = true;
  for (int pass = 1; Cs / FR > Ci; ++pass) {
    if (pass > kLaminarPasses) throw Exception("Error with Laminar Cv Calculation");
    Intermediates.laminarPasses = pass;
    Ci *= 1.3;
    travel = h(Ci);
    const double fl = LookupPositive(*FlCurve, travel, kFl);
    const double r = Ci / d2;
    const double n = large ? kN2 / (r * r) : 1 + 127 * std::exp(2.0 / 3.0 * std::log(r));
    const double FRlam = std::min(0.026 / fl * std::sqrt(n * Rev), 1.0);
    const double FRtrans = 1 + (0.33 * std::sqrt(fl) / std::sqrt(std::sqrt(n))) * logRe;
    FR = Rev < 10 ? FRlam : std::min(FRtrans, FRlam);
    laminar = Rev < 10 || FRlam <= FRtrans;
  }
  Intermediates.FR = FR;
  Intermediates.regime = laminar ? "laminar" : "transitional";
  return Ci;
}

void IEC_CompressibleFlow::CalculateNoise() {
  const IEC_ValveData& V = Valve;
  const IEC_CompressibleProcessData& P = Process;
  const double travel = PercentOpen / 100;

  GasNoiseInput in;
  in.p1 = P.p1;
  in.p2 = P.p2;
  in.T = P.T;
  in.M = P.M;
  in.gamma = P.gamma;
  in.Z = P.Z;
  in.pa = P.pa;
  in.Q = P.Q;
  in.D = V.D;
  in.D2 = P.D2;
  in.tp2 = P.tp2;
  in.Cv = Cv;
  in.FL = LookupPositive(*FlCurve, travel, kFl);
  in.Fd = LookupPositive(*FdCurve, travel, kFd);
  // The jet of a single-stage trim contracts by its length-to-diameter ratio, not its FL.
  in.FLj = V.stages == 1 ? std::max(0.9 - 0.06 * V.ldratio, 0.66) : in.FL;

  const GasNoiseResult r = IECGasNoise(in);
  Mach = r.Mach;
  Velocity = r.Velocity;
  const double distance = NoiseDistanceCorrection(V.NoiseDistance);
  const bool staged = V.stages >= 2 && V.stages <= 5;

  if (V.NoiseIEC) {
    Noise = r.Noise - distance - V.NoiseAttenuation;
    if (staged) {
      if (!dLwGCurve) throw Exception("The noise correction table of the multi-stage trim is empty.");
      Noise += dLwGCurve->Lookup(dp / P.p1);
    } else if (V.stages == 255) {
      Noise -= 30;
    }
  } else {
    Noise = SimpleGasNoise(Cv, P.p1, P.p2, P.T, P.M) + V.PipeAtten - distance - V.NoiseAttenuation;
    if (staged) {
      Noise -= MultiStageNoiseReduction(P.p1 / P.p2, V.stages);
    } else if (V.stages == 255) {
      Noise -= 30;
    }
    if (V.PlateAtten) Noise -= 6;
  }
  RequireFinite(Noise, "the noise level");
}

void IEC_CompressibleFlow::CalculatePower() {
  const IEC_CompressibleProcessData& P = Process;
  const double rho1 = GasDensity(P.p1, P.T, P.M, P.Z);
  const double m = StandardDensity(P.M) * P.Q;  // kg/hr
  const double e = (P.gamma - 1) / P.gamma;
  kWPower = RequireFinite((1 - std::pow(P.p2 / P.p1, e)) * (P.gamma / (P.gamma - 1)) * P.p1 / rho1 * m / 3600,
                          "the dissipated power");
  pf = RequireFinite(kWPower / Valve.kW, "the power factor");
}

IECGas_Diffuser::IECGas_Diffuser(const IEC_ValveData& _ValveData,
                                 const IEC_CompressibleProcessData& _ProcessData)
    : IEC_CompressibleFlow(_ValveData, _ProcessData, ForPlate{}) {}

void IECGas_Diffuser::Calculate() {
  CheckInputs(false, false, false);
  const double p2 = Process.p2;
  int passes = 0;
  DiffuserInletPressure(p2, Valve.Cv, [this, &passes](double inlet) {
    ++passes;
    Process.p1 = inlet;
    Size();
    return Cv;
  });
  Intermediates.searchPasses = passes;
  p1 = Process.p1;
  pr = p1 / p2;
  CalculateNoise();
}

double IECGas_Diffuser::Fp(double) const {
  return 1;
}

double IECGas_Diffuser::h(double) const {
  return 100;
}

double IECGas_Diffuser::xT(double) const {
  return XtCurve->Lookup(1.0);
}

}  // namespace quenta
