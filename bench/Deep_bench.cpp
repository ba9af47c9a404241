// The deep path: 640 x 480 pictures at scales 1e-100 and 1e-300, depth
// 100,000, around the Misiurewicz point M(3,1) = -1.5436890126920763615...
// (the real root of c^3 + 2c^2 + 2c + 2; its neighbourhood is a spine with
// branching filaments at every scale). Each iteration computes the whole
// generator: the reference orbits in MPFR and every pixel's perturbed orbit.
//
// Counters: "iter/s" is orbit steps per second (the sum of the recorded
// counts), "reference_s" the time of the reference orbits alone, "skipped"
// the share of the steps that bilinear approximation skipped. The second
// argument switches the skipping on (1) or off (0, every step iterated).
//
//   build/bench/qvell_bench --benchmark_filter=Deep
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>

#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/deep/QVDeepApproximation.h"
#include "engine/deep/QVDeepKernel.h"

namespace {

// 320 digits of M(3,1): enough for any scale down to 1e-300 at 640 pixels.
const char* const kM31 =
    "-1."
    "5436890126920763615708559718017479865252032976509839352408040378311686739279738664851579145760"
    "5912546212082922636706018927875646332214101152290921890529272299278169715758295042217008951856"
    "3410700385200128000282366477261779986908996884104614976976927086847969611978920181446128991348"
    "5855921453095241534826645957341170985";

void DeepView(benchmark::State& state, double scale) {
  QVMain main;
  QVParameter& p = main.Parameter;
  p.ChangePreciseViewpoint({qv::DecimalFromText(kM31), qv::DecimalFromText("0")});
  p.ChangeScale(scale);
  p.ChangeWidth(640);
  p.ChangeHeight(480);
  QVGenerator& g = *main.Graph().Generators[0];
  g.SetDepth(100000);
  qv::Pass pass;
  pass.Workers = static_cast<int32_t>(state.range(0));
  double referenceSeconds = 0.0;
  qv::DeepApproximation::Enable(state.range(1) != 0);
  const qv::DeepStepCounts before = qv::DeepApproximation::Totals();
  for (auto _ : state) {
    g.SetDepth(100000);  // marks the generator changed: every iteration computes
    if (!g.Update(pass)) state.SkipWithError("the pass stopped");
    state.PauseTiming();
    const auto t0 = std::chrono::steady_clock::now();
    const qv::DeepKernel reference(g, {});
    referenceSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    benchmark::DoNotOptimize(reference.Reference().data());
    state.ResumeTiming();
  }
  const qv::DeepStepCounts after = qv::DeepApproximation::Totals();
  qv::DeepApproximation::Enable(true);
  double steps = 0.0;
  for (int y = 0; y < g.FractalField.Height; ++y)
    for (int x = 0; x < g.FractalField.Width; ++x) steps += g.FractalField.Pixel(x, y).Count;
  state.counters["iter/s"] = benchmark::Counter(steps * static_cast<double>(state.iterations()),
                                                benchmark::Counter::kIsRate);
  state.counters["steps/pixel"] = steps / (640.0 * 480.0);
  state.counters["reference_s"] = referenceSeconds;
  state.counters["skipped"] = static_cast<double>(after.Skipped - before.Skipped) /
                              static_cast<double>(std::max<int64_t>(after.Steps - before.Steps, 1));
}

void Deep1e100(benchmark::State& state) { DeepView(state, 1e-100); }
void Deep1e300(benchmark::State& state) { DeepView(state, 1e-300); }

// Two workers; with and without skipping.
void OnAndOff(benchmark::internal::Benchmark* b) {
  b->Args({2, 1})->Args({2, 0})->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
}

BENCHMARK(Deep1e100)->Apply(OnAndOff);
BENCHMARK(Deep1e300)->Apply(OnAndOff);

}  // namespace
