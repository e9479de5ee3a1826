// One liquid operating condition from the valve and process records to the results, as the
// liquid sizing procedure runs it per condition and candidate valve: the object is built (its
// curve texts parsed) and calculated inside the loop.
#include <benchmark/benchmark.h>

#include "flow/liquid_flow.h"
#include "flow/valve_curves.h"

namespace {

// A 6" globe valve with the catalogue's usual curves: one Bezier segment each for the
// characteristic, FL and Fd, and the two-point noise correction.
quenta::IEC_ValveData CatalogueValve() {
  quenta::IEC_ValveData v;
  v.Cv = 300;
  v.Dnom = 150;
  v.D = 150;
  v.Characteristic = "0\\0\\0.3333\\0.3333\\0.6667\\0.6667\\1\\1\\";
  v.FlTable = "0\\0.92\\0.4\\0.92\\0.75\\0.836\\1\\0.8\\";
  v.FdTable = "0\\0.9\\0.4\\0.9\\0.75\\0.97\\1\\1\\";
  v.FiFactor = 0.6;
  v.kW = 2160;
  v.EtaF = 1e-8;
  v.DeltaLF = "0\\0\\1\\0\\";
  v.NoiseDistance = 1;
  v.NoiseIEC = true;
  return v;
}

// IEC 60534-2-1 Annex D, example 1: water at 363 K, 360 m³/h from 680 to 220 kPa(a), 150 mm pipe.
quenta::IEC_IncompressibleProcessData Example1Water() {
  quenta::IEC_IncompressibleProcessData p;
  p.rho = 965.4;
  p.Pv = 70.1;
  p.Pc = 22120;
  p.nu = 3.26e-7;
  p.c = 1550;
  p.p1 = 680;
  p.p2 = 220;
  p.Q = 360;
  p.di1 = 150;
  p.di2 = 150;
  p.do2 = 164.2;
  return p;
}

// With shared curves the valve's curve texts are parsed once, before the loop, as the sizing
// procedures parse them once per catalogue row for all its conditions; without, every object
// parses them again.
void RunValve(benchmark::State& state, quenta::IEC_ValveData valve, bool sharedCurves = true) {
  quenta::xCurveCache cache;
  if (sharedCurves) valve = quenta::WithSharedCurves(valve, quenta::xCurveSet::Liquid, cache);
  const quenta::IEC_IncompressibleProcessData process = Example1Water();
  for (auto _ : state) {
    quenta::IEC_IncompressibleFlow flow(valve, process);
    flow.Calculate();
    benchmark::DoNotOptimize(flow.Noise);
  }
}

// Cavitating at this condition, so the IEC method also reads the noise correction curve.
void BM_LiquidConditionIecNoise(benchmark::State& state) {
  RunValve(state, CatalogueValve());
}
BENCHMARK(BM_LiquidConditionIecNoise);

void BM_LiquidConditionParsingCurves(benchmark::State& state) {
  RunValve(state, CatalogueValve(), false);
}
BENCHMARK(BM_LiquidConditionParsingCurves);

void BM_LiquidConditionSimpleNoise(benchmark::State& state) {
  quenta::IEC_ValveData v = CatalogueValve();
  v.NoiseIEC = false;
  RunValve(state, v);
}
BENCHMARK(BM_LiquidConditionSimpleNoise);

// The condition bench/compare_fluids_liquid.py sizes with the Python library fluids: example 1's
// valve itself (FL 0.90 and Fd 0.46 over the whole travel, linear characteristic), here with the
// travel, IEC noise, power, velocity and warnings as well.
void BM_LiquidIecExample1(benchmark::State& state) {
  quenta::IEC_ValveData v = CatalogueValve();
  v.FlTable = "0\\0.9\\0.3333\\0.9\\0.6667\\0.9\\1\\0.9\\";
  v.FdTable = "0\\0.46\\0.3333\\0.46\\0.6667\\0.46\\1\\0.46\\";
  v.FiFactor = 0.9;
  RunValve(state, v);
}
BENCHMARK(BM_LiquidIecExample1);

// A plate of rated Cv 200 in 150 mm pipe into 200 kPa(a): about twenty sizing passes.
void BM_LiquidDiffuserSearch(benchmark::State& state) {
  quenta::IEC_ValveData v;
  v.Cv = 200;
  v.Dnom = v.D = 150;
  v.FlTable = "0\\0.6\\0\\0.6\\1\\0.6\\1\\0.6\\";
  v.FdTable = "0\\0.98\\0\\0.98\\1\\0.98\\1\\0.98\\";
  v.FiFactor = 0.9;
  v.kW = 1e12;
  v.EtaF = 1e-8;
  v.DeltaLF = "0\\0\\1\\0\\";
  v.NoiseIEC = true;
  quenta::IEC_IncompressibleProcessData p = Example1Water();
  p.p2 = 200;
  for (auto _ : state) {
    quenta::IECLiquid_Diffuser plate(v, p);
    plate.Calculate();
    benchmark::DoNotOptimize(plate.p1);
  }
}
BENCHMARK(BM_LiquidDiffuserSearch);

}  // namespace
