// Converting a value between two named units, as every page and calculation does per value.
#include <benchmark/benchmark.h>

#include <memory>

#include "refdata/database.h"
#include "refdata/unit_converter.h"

namespace {

struct Units {
  std::unique_ptr<quenta::xConnection> db = quenta::OpenReferenceDatabase();
  quenta::xUnitConverters conv{*db};
};

Units& Shared() {
  static Units u;
  return u;
}

void BM_ConvertPressureGauge(benchmark::State& state) {
  auto& p = *Shared().conv.Pressure;
  double v = 10;
  for (auto _ : state) {
    benchmark::DoNotOptimize(v = p.convert(v, "bar(g)", "kPa(a)"));
    v = 10;
  }
}
BENCHMARK(BM_ConvertPressureGauge);

void BM_ConvertTemperature(benchmark::State& state) {
  auto& t = *Shared().conv.Temp;
  for (auto _ : state) benchmark::DoNotOptimize(t.convert(100.0, "°C", "Kelvin"));
}
BENCHMARK(BM_ConvertTemperature);

void BM_ConvertFlowStandard(benchmark::State& state) {
  auto& q = *Shared().conv.Flow;
  for (auto _ : state) benchmark::DoNotOptimize(q.convert(1000.0, "SCFH", "kg/hr", 1.2, 500.0, 300.0));
}
BENCHMARK(BM_ConvertFlowStandard);

}  // namespace
