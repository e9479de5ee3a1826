#include "flow/gas_noise.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>

#include "flow/flow_checks.h"
#include "flow/gas_flow.h"
#include "platform/exception.h"
#include "refdata/curves.h"

namespace quenta {
namespace {

constexpr double kR = 8314;  // J/(kmol·K)
constexpr double kPi = std::numbers::pi;

// Pressure ratios p1/p2 of the measured multi-stage reductions, and the reductions in dB for
// 2, 3 and 4 stages.
constexpr std::array<double, 9> kRatios = {1.0, 1.2, 1.5, 1.9, 2.4, 3.0, 3.7, 4.5, 5.4};
constexpr std::array<std::array<double, 9>, 3> kReductions = {{
    {0, 3, 7, 10, 10, 10, 9.5, 9.5, 9},
    {0, 4, 9, 12, 13.5, 14, 14, 13.5, 13.5},
    {0, 5, 10, 14, 16, 19, 20, 21, 22},
}};

GasNoiseRegime RegimeOf(double p2, double p2C, double pvcc, double p2B, double p2CE) {
  if (p2 >= p2C) return GasNoiseRegime::I;
  if (p2 >= pvcc) return GasNoiseRegime::II;
  if (p2 >= p2B) return GasNoiseRegime::III;
  if (p2 >= p2CE) return GasNoiseRegime::IV;
  return GasNoiseRegime::V;
}

// The drop in transmission loss away from the pipe's coincidence frequency fo and ring
// frequency fr, for a peak frequency fp.
double FrequencyTerm(double fp, double fo, double fr) {
  if (fp < fo) return 20 * std::log10(fo / fp) + 13 * std::log10(fo / fr);
  if (fp <= fr) return 13 * std::log10(fp / fr);
  return 20 * std::log10(fp / fr);
}

}  // namespace

GasNoiseResult IECGasNoise(const GasNoiseInput& in) {
  const double g = in.gamma;
  const double e = (g - 1) / g;  // isentropic exponent
  const double p1 = in.p1;
  const double p2 = in.p2;
  const double rho1 = GasDensity(p1, in.T, in.M, in.Z);
  const double m = in.Q * StandardDensity(in.M) / 3600;  // kg/s
  const double FL2 = in.FL * in.FL;

  const double pvc = std::max(0.0, p1 - (p1 - p2) / FL2);
  const double pvcc = p1 * std::pow(2 / (g + 1), g / (g - 1));
  const double p2C = p1 - FL2 * (p1 - pvcc);
  const double alpha = pvcc / p2C;
  const double p2B = (p1 / alpha) * std::pow(1 / g, g / (g - 1));
  const double p2CE = p1 / (22 * alpha);

  GasNoiseResult r;
  r.regime = RegimeOf(p2, p2C, pvcc, p2B, p2CE);
  const double Dj = 0.0046 * in.Fd * std::sqrt(in.Cv * in.FLj);

  double Wa = 0;
  if (r.regime == GasNoiseRegime::I) {
    const double ratio = std::pow(pvc / p1, e);
    const double Uvc = std::sqrt(2 * g / (g - 1) * (1 - ratio) * p1 * 1000 / rho1);
    const double Wm = m * Uvc * Uvc / 2;
    const double cvc = std::sqrt(g * kR * in.T * ratio / in.M);
    const double eta = 1e-4 * std::pow(Uvc / cvc, 3.6);
    Wa = eta * Wm * FL2;
    r.fp = 0.2 * Uvc / Dj;
  } else {
    const double Tvcc = 2 * in.T / (g + 1);
    const double cvcc = std::sqrt(g * kR * Tvcc / in.M);
    const double Wms = m * cvcc * cvcc / 2;
    // Beyond p2CE the jet no longer expands further: its Mach number stays at the value for a
    // pressure ratio of 22.
    const double expansion =
        r.regime == GasNoiseRegime::V ? std::pow(22.0, e) : std::pow(p1 / (alpha * p2), e);
    const double Mj = RequireFinite(std::sqrt((expansion - 1) * 2 / (g - 1)), "the jet Mach number");
    if (r.regime == GasNoiseRegime::II || r.regime == GasNoiseRegime::III) {
      const double eta = 1e-4 * std::pow(Mj, 6.6 * FL2);
      Wa = eta * Wms;
      if (r.regime == GasNoiseRegime::II) Wa *= (p1 - p2) / (p1 - pvcc);
      r.fp = 0.2 * Mj * cvcc / Dj;
    } else {
      const double eta = 1e-4 * (Mj * Mj / 2) * std::pow(std::numbers::sqrt2, 6.6 * FL2);
      Wa = eta * Wms;
      r.fp = 0.35 * cvcc / (1.25 * Dj * std::sqrt(Mj * Mj - 1));
    }
  }

  const double rho2 = rho1 * p2 / p1;
  const double c2 = std::sqrt(g * kR * in.T / in.M);  // at the inlet temperature
  const double Di = in.D2 / 1000;                     // m
  const double valveArea = kPi * (in.D / 1000) * (in.D / 1000);
  r.Mach = RequireFinite(4 * m / (valveArea * rho2 * c2), "the valve outlet Mach number");
  r.PipeMach = 4 * m / (kPi * Di * Di * rho2 * c2);
  r.Velocity = r.Mach * c2;

  r.Lpi =
      RequireFinite(10 * std::log10(8e8 * Wa * rho2 * c2 / (Di * Di)), "the internal sound pressure level");

  const double fr = 5000 / (kPi * Di);
  const double fo = fr / 4 * c2 / 343;
  const double ratioD = in.D2 / in.tp2;
  const double base =
      10 * std::log10(3e-13 * c2 * c2 * ratioD * ratioD / (1 + rho2 * c2 / 415) * in.pa / 101.315);
  r.TL = RequireFinite(base - FrequencyTerm(r.fp, fo, fr), "the pipe transmission loss");
  r.Lg = PipeMachCorrection(r.PipeMach);

  r.Noise = 5 + r.Lpi + r.TL + r.Lg - 10 * std::log10((Di + 2) / Di);
  return r;
}

double PipeMachCorrection(double M2) {
  if (M2 == 1) throw Exception("The outlet pipe Mach number must not be exactly 1.");
  if (M2 > 1) return 0;
  return 16 * std::log10(1 / (1 - M2));
}

double SimpleGasNoise(double Cv, double p1, double p2, double T, double M) {
  const double psi = p1 * 0.000145037737730174 * 1000;
  return (6.95 * std::log(Cv) + 4.8) + (9.03 * std::log(psi) + 17.2) +
         (30 * std::log10((p1 - p2) / p1) + 25.24) + (-7.68 * std::log10(1.8 * T) + 20.78) +
         (7.26 * std::log10(M) - 11);
}

double MultiStageNoiseReduction(double pressureRatio, int stages) {
  if (stages < 2 || stages > 5) return 0;
  const auto& row = kReductions[static_cast<std::size_t>(std::min(stages, 4) - 2)];
  // The first segment whose upper ratio exceeds the given one; the last serves beyond the table.
  std::size_t i = 1;
  while (i + 1 < kRatios.size() && !(kRatios[i] > pressureRatio)) ++i;
  return row[i - 1] +
         (pressureRatio - kRatios[i - 1]) / (kRatios[i] - kRatios[i - 1]) * (row[i] - row[i - 1]);
}

double NoiseDistanceCorrection(double distance) {
  static const xInterpolateCurve kDistance("1\\0\\2\\5\\3\\7.8\\4\\10\\", cCurveFunction_x);
  return kDistance.Lookup(distance);
}

}  // namespace quenta
