// One two-phase operating condition from the valve and process records to the results, the
// object built (its curve texts parsed) and calculated inside the loop, and the plate search.
#include <benchmark/benchmark.h>

#include "flow/twophase_flow.h"

namespace {

quenta::IEC_ValveData CatalogueValve() {
  quenta::IEC_ValveData v;
  v.Cv = 150;
  v.D = 80;
  v.Characteristic = "0\\0\\0.3333\\0.3333\\0.6667\\0.6667\\1\\1\\";
  v.FlTable = "0\\0.92\\0.4\\0.92\\0.75\\0.836\\1\\0.8\\";
  v.kW = 375;
  return v;
}

// 20000 kg/hr of water carrying 500 kg/hr of air from 800 to 500 kPa(a) at 20 °C.
quenta::HV_TwoPhaseProcessData AirInWater() {
  quenta::HV_TwoPhaseProcessData p;
  p.p1 = 800;
  p.p2 = 500;
  p.T = 293.15;
  p.Wl = 20000;
  p.Wg = 500;
  p.Pvl = 2.34;
  p.Pcl = 22064;
  p.rhol = 998;
  p.M = 28.97;
  p.gamma = 1.4;
  p.Z = 1;
  return p;
}

void BM_TwoPhaseCondition(benchmark::State& state) {
  const quenta::IEC_ValveData valve = CatalogueValve();
  const quenta::HV_TwoPhaseProcessData process = AirInWater();
  for (auto _ : state) {
    quenta::HV_TwoPhaseFlow flow(valve, process);
    flow.Calculate();
    benchmark::DoNotOptimize(flow.Cv);
  }
}
BENCHMARK(BM_TwoPhaseCondition);

void BM_TwoPhaseDiffuserSearch(benchmark::State& state) {
  quenta::IEC_ValveData v;
  v.Cv = 200;
  v.FlTable = "0\\0.6\\0\\0.6\\1\\0.6\\1\\0.6\\";
  const quenta::HV_TwoPhaseProcessData process = AirInWater();
  for (auto _ : state) {
    quenta::HVTwoPhase_Diffuser plate(v, process);
    plate.Calculate();
    benchmark::DoNotOptimize(plate.p1);
  }
}
BENCHMARK(BM_TwoPhaseDiffuserSearch);

}  // namespace
