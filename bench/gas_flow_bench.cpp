// One gas condition as the sizing procedure runs it per condition and candidate valve: the
// object built from the two records (curve texts parsed), calculated, read and freed.
#include <benchmark/benchmark.h>

#include "flow/gas_flow.h"
#include "flow/valve_curves.h"
#include "flow/valve_data.h"

namespace {

using quenta::IEC_CompressibleFlow;
using quenta::IEC_CompressibleProcessData;
using quenta::IEC_ValveData;
using quenta::IECGas_Diffuser;
using quenta::ShareCurves;
using quenta::xCurveCache;
using quenta::xCurveSet;

// An 80 mm single-stage globe valve of the catalogue (rated Cv 112, linear trim).
IEC_ValveData SingleStage() {
  IEC_ValveData v;
  v.Cv = 112;
  v.Dnom = 80;
  v.D = 80;
  v.Characteristic = "0\\0\\0.3333\\0.3333\\0.6667\\0.6667\\1\\1\\";
  v.FlTable = "0\\0.92\\0.4\\0.92\\0.75\\0.836\\1\\0.8\\";
  v.FdTable = "0\\0.9\\0.4\\0.9\\0.75\\0.97\\1\\1\\";
  v.xtTable = "0\\0.7\\0.4\\0.7\\0.75\\0.595\\1\\0.55\\";
  v.stages = 0;
  v.kW = 540;
  v.dLwGTable = "0\\0\\1\\0\\";
  v.NoiseIEC = true;
  v.NoiseDistance = 1;
  return v;
}

// An 80 mm three-stage trim of the catalogue (rated Cv 36) with its measured noise correction.
IEC_ValveData ThreeStage() {
  IEC_ValveData v = SingleStage();
  v.Cv = 36;
  v.FlTable = "0\\0.99\\0.4\\0.99\\0.75\\0.983\\1\\0.98\\";
  v.FdTable = "0\\0.08\\0.4\\0.08\\0.75\\0.108\\1\\0.12\\";
  v.xtTable = "0\\0.88\\0.4\\0.88\\0.75\\0.859\\1\\0.85\\";
  v.stages = 3;
  v.kW = 1800;
  v.ldratio = 0.12;
  v.dLwGTable =
      "0\\0\\0.1667\\-4\\0.3333\\-9\\0.4737\\-12\\0.5833\\-13.5\\0.6667\\-14\\0.7297\\-14\\0.7778\\-13.5\\"
      "0.8148\\-13.5\\1\\-13.5\\";
  return v;
}

// A plate as the gas procedure models one: flat tables, no characteristic, no power limit.
IEC_ValveData Plate() {
  IEC_ValveData v;
  v.Cv = 100;
  v.Dnom = v.D = 102.3;
  v.xtTable = "0\\0.6\\0\\0.6\\1\\0.6\\1\\0.6\\";
  v.FlTable = "0\\0.9\\0\\0.9\\1\\0.9\\1\\0.9\\";
  v.FdTable = "0\\0.46\\0\\0.46\\1\\0.46\\1\\0.46\\";
  v.kW = 1e12;
  v.NoiseIEC = true;
  v.NoiseDistance = 1;
  return v;
}

// The carbon-dioxide example of IEC 60534-2-1: 3800 m³/hr from 680 to 310 kPa(a) at 433 K.
IEC_CompressibleProcessData Co2() {
  IEC_CompressibleProcessData p;
  p.T = 433;
  p.M = 44.01;
  p.nu = 2.5e-6;
  p.gamma = 1.3;
  p.Z = 0.988;
  p.pa = 101.325;
  p.p1 = 680;
  p.p2 = 310;
  p.Q = 3800;
  p.D1 = 80;
  p.D2 = 80;
  p.tp2 = 5.5;
  return p;
}

// With shared curves the valve's curve texts are parsed once, before the loop, as the sizing
// procedures parse them once per catalogue row; without, every object parses them again.
void RunCondition(benchmark::State& state, IEC_ValveData valve, const IEC_CompressibleProcessData& process,
                  bool sharedCurves = true) {
  xCurveCache cache;
  if (sharedCurves) valve = quenta::WithSharedCurves(valve, xCurveSet::Gas, cache);
  for (auto _ : state) {
    IEC_CompressibleFlow flow(valve, process);
    flow.Calculate();
    benchmark::DoNotOptimize(flow.Cv);
    benchmark::DoNotOptimize(flow.Noise);
  }
}

void BM_GasConditionIecNoise(benchmark::State& state) {
  RunCondition(state, SingleStage(), Co2());
}
BENCHMARK(BM_GasConditionIecNoise);

// The condition bench/compare_fluids_gas.py sizes with the Python library fluids: the same gas,
// pressures and flow through an 80 mm valve between 80 mm pipes with FL 0.85, Fd 0.42 and xT 0.60
// over the whole travel (rated Cv 150, linear), here with the travel, IEC noise, Mach number,
// power and warnings as well.
void BM_GasIecExampleCo2(benchmark::State& state) {
  IEC_ValveData v = SingleStage();
  v.Cv = 150;
  v.FlTable = "0\\0.85\\0.3333\\0.85\\0.6667\\0.85\\1\\0.85\\";
  v.FdTable = "0\\0.42\\0.3333\\0.42\\0.6667\\0.42\\1\\0.42\\";
  v.xtTable = "0\\0.6\\0.3333\\0.6\\0.6667\\0.6\\1\\0.6\\";
  v.Characteristic = "0\\0\\0.3333\\0.3333\\0.6667\\0.6667\\1\\1\\";
  RunCondition(state, v, Co2());
}
BENCHMARK(BM_GasIecExampleCo2);

void BM_GasConditionParsingCurves(benchmark::State& state) {
  RunCondition(state, SingleStage(), Co2(), false);
}
BENCHMARK(BM_GasConditionParsingCurves);

void BM_GasConditionSimpleNoise(benchmark::State& state) {
  IEC_ValveData v = SingleStage();
  v.NoiseIEC = false;
  RunCondition(state, v, Co2());
}
BENCHMARK(BM_GasConditionSimpleNoise);

void BM_GasConditionMultiStage(benchmark::State& state) {
  IEC_CompressibleProcessData p = Co2();
  p.Q = 1500;
  RunCondition(state, ThreeStage(), p);
}
BENCHMARK(BM_GasConditionMultiStage);

void BM_GasDiffuserSearch(benchmark::State& state) {
  const IEC_ValveData v = Plate();
  IEC_CompressibleProcessData p = Co2();
  p.p1 = 1.0;
  p.D1 = p.D2 = 154.1;
  p.tp2 = 7.1;
  for (auto _ : state) {
    IECGas_Diffuser plate(v, p);
    plate.Calculate();
    benchmark::DoNotOptimize(plate.p1);
  }
}
BENCHMARK(BM_GasDiffuserSearch);

}  // namespace
