// Valve characteristic lookups, which the sizing loops make per condition and candidate valve,
// and building a curve from its text, which they do per candidate row.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>

#include "refdata/curves.h"

namespace {

// Three trim sections, 24 numbers: the usual shape of a characteristic in the catalogue.
constexpr const char* kThreeSections =
    "0\\0\\0.1\\0.01\\0.2\\0.03\\0.3\\0.06\\"
    "0.3\\0.06\\0.45\\0.11\\0.55\\0.2\\0.65\\0.3\\"
    "0.65\\0.3\\0.8\\0.5\\0.9\\0.75\\1\\1\\";

// Values spread over the whole curve, so that every segment and the walk to it are measured.
constexpr std::array<double, 16> kValues = {0.02, 0.08, 0.15, 0.21, 0.27, 0.33, 0.4,  0.46,
                                            0.52, 0.58, 0.64, 0.7,  0.77, 0.84, 0.91, 0.98};

void RunLookups(benchmark::State& state, quenta::enumCurveFunction func) {
  const quenta::xBezierCurve curve(kThreeSections, func);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(curve.Lookup(kValues[i]));
    i = (i + 1) % kValues.size();
  }
}

void BM_BezierLookupByX(benchmark::State& state) {
  RunLookups(state, quenta::cCurveFunction_x);
}
BENCHMARK(BM_BezierLookupByX);

void BM_BezierLookupByY(benchmark::State& state) {
  RunLookups(state, quenta::cCurveFunction_y);
}
BENCHMARK(BM_BezierLookupByY);

void BM_BezierParse(benchmark::State& state) {
  for (auto _ : state) {
    const quenta::xBezierCurve curve(kThreeSections, quenta::cCurveFunction_x);
    benchmark::DoNotOptimize(curve.getSegment(3));
  }
}
BENCHMARK(BM_BezierParse);

}  // namespace
