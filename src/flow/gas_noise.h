#pragma once

// Aerodynamic noise of a gas valve at one operating condition: the IEC 60534-8-3 method (five
// flow regimes from a subsonic vena contracta to a fully choked jet) and the simpler empirical
// method with its reduction for multi-stage trims. Inputs in calculation units (kPa(a), K,
// kg/kmol, m³/hr at standard conditions, mm).
namespace quenta {

// The flow regimes of the IEC method, by how far the outlet pressure lies below the inlet.
enum class GasNoiseRegime { I = 1, II, III, IV, V };

struct GasNoiseInput {
  double p1 = 0, p2 = 0;  // inlet and outlet pressure, kPa(a)
  double T = 0;           // inlet temperature, K
  double M = 0;           // molar mass, kg/kmol
  double gamma = 0;       // ratio of specific heats
  double Z = 1;           // compressibility factor at the inlet
  double pa = 0;          // atmospheric pressure, kPa(a)
  double Q = 0;           // flow at standard conditions, m³/hr
  double D = 0;           // valve outlet bore, mm
  double D2 = 0;          // outlet pipe inside diameter, mm
  double tp2 = 0;         // outlet pipe wall thickness, mm
  double Cv = 0;          // required Cv
  double FL = 0;          // pressure recovery factor at the operating travel
  double FLj = 0;         // FL of the jet (differs from FL for single-stage trims)
  double Fd = 0;          // valve style modifier at the operating travel
};

struct GasNoiseResult {
  GasNoiseRegime regime = GasNoiseRegime::I;
  double fp = 0;        // peak frequency, Hz
  double Lpi = 0;       // internal sound pressure level, dB
  double TL = 0;        // transmission loss of the pipe wall, dB
  double Lg = 0;        // correction for the pipe Mach number, dB
  double Noise = 0;     // external level 1 m from the pipe wall, dB(A), before any correction
  double Mach = 0;      // Mach number at the valve outlet
  double Velocity = 0;  // gas velocity at the valve outlet, m/s
  double PipeMach = 0;  // Mach number in the outlet pipe
};

// The IEC method. Expects positive pressures with p2 < p1, positive T, M, Z, pa, Q, D, D2,
// tp2, Cv, FL, FLj and Fd and gamma > 1 (the flow classes check these on entry); throws
// Exception when an intermediate result is not finite, and for a pipe Mach number of exactly 1.
GasNoiseResult IECGasNoise(const GasNoiseInput& in);

// 16 lg(1/(1 − M2)) for a pipe Mach number M2 below 1, 0 above. At exactly 1 the correction has
// no value: throws Exception "The outlet pipe Mach number must not be exactly 1.".
double PipeMachCorrection(double M2);

// The empirical level, dB(A), from the required Cv, the pressures (kPa(a)), the inlet
// temperature (K) and the molar mass, before the distance, attenuation and trim corrections.
double SimpleGasNoise(double Cv, double p1, double p2, double T, double M);

// The reduction, dB, that a trim of 2 to 5 stages gives in the empirical method at the pressure
// ratio p1/p2, interpolated in a table of measured values; beyond its last ratio the last
// segment is extended. Five stages use the four-stage row (no measurements exist for five);
// any other number of stages gives 0.
double MultiStageNoiseReduction(double pressureRatio, int stages);

// dB to subtract for an observer at this distance from the pipe wall, m: 0 at 1 m, 5 at 2 m,
// 7.8 at 3 m, 10 at 4 m and beyond, interpolated between.
double NoiseDistanceCorrection(double distance);

}  // namespace quenta
