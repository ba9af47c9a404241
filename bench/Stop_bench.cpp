// Stop latency: how long QVMain::StopRender takes to return while the workers
// are deep inside heavy rows. Each iteration starts a render, lets it run
// into its rows for 15 to 35 ms, and times StopRender alone (manual time);
// "worst_ms" is the longest of all iterations, "mean_ms" their mean.
//
//   build/bench/qvell_bench --benchmark_filter=Stop
//
// StopGenerator: 7680 x 2 pixels on two workers (one 7680-pixel row each),
// depth 10^7, "z^2+C" inside the main cardioid, so every orbit runs to the
// depth (a row would take minutes); args: kernel level (Plain, Scalar, SSE2,
// AVX2) and output (position in its list: "終点", "球" with hypot, "差分累積"
// with pow, "市松模様累積" with sin; the vector levels serve only "終点", the
// others run at Scalar). StopEffector: the plain effector workers on
// 7680 x 512 pixels with the differential along (0.3, 0.7), edge removal on,
// and "log(log(大きさ))" (five libm-heavy values per pixel).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>

#include "engine/QVEffector.h"
#include "engine/QVEffectorRows.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/kernels/QVGeneratorKernel.h"
#include "engine/methods/QVMethod.h"

namespace {

using Clock = std::chrono::steady_clock;
using qv::GeneratorKernelLevel;

constexpr GeneratorKernelLevel Levels[] = {GeneratorKernelLevel::Plain,
                                           GeneratorKernelLevel::Scalar, GeneratorKernelLevel::Sse2,
                                           GeneratorKernelLevel::Avx2};

// Renders, waits a random 15 to 35 ms, and times StopRender. change() makes
// the next render recompute the node under test.
template <class Change>
void TimeStops(benchmark::State& state, QVMain& main, Change change) {
  std::mt19937 random(7);
  double worst = 0, sum = 0;
  for (auto _ : state) {
    change();
    main.Render(nullptr, nullptr);
    std::this_thread::sleep_for(std::chrono::microseconds(15000 + random() % 20000));
    const auto start = Clock::now();
    main.StopRender();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds);
    worst = std::max(worst, seconds);
    sum += seconds;
  }
  state.counters["worst_ms"] = worst * 1e3;
  state.counters["mean_ms"] = sum * 1e3 / static_cast<double>(state.iterations());
}

void StopGenerator(benchmark::State& state) {
  const GeneratorKernelLevel level = Levels[state.range(0)];
  if (!qv::GeneratorKernelLevelSupported(level)) {
    state.SkipWithError("the processor lacks this level");
    return;
  }
  QVMain main;
  main.SetWorkers(2);
  main.Parameter.ChangeViewpoint({-0.1, 0});
  main.Parameter.ChangeScale(0.2);
  main.Parameter.ChangeWidth(7680);
  main.Parameter.ChangeHeight(2);
  QVGenerator& g = *main.Graph().Generators[0];
  g.SetOutputMethod(qv::CloneAs(*OutputMethods()[static_cast<size_t>(state.range(1))]));
  qv::ForceGeneratorKernelLevel(level);
  state.SetLabel(qv::GeneratorKernelLevelName(qv::GeneratorKernel(g).Level()));
  int32_t depth = 10000000;
  TimeStops(state, main, [&] { g.SetDepth(depth ^= 1); });
  qv::ForceGeneratorKernelLevel(GeneratorKernelLevel::Auto);
}
BENCHMARK(StopGenerator)
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1, 2, 3}})
    ->ArgNames({"level", "output"})
    ->Iterations(30)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void StopEffector(benchmark::State& state) {
  QVMain main;
  main.SetWorkers(2);
  main.Parameter.ChangeWidth(7680);
  main.Parameter.ChangeHeight(512);
  main.Graph().Generators[0]->SetDepth(50);
  QVEffector& e = *main.Graph().Effectors[0];
  e.SetRenderingMethod(qv::CloneAs(*FindMethod(RenderingMethods(), "log(log(大きさ))")));
  e.SetDifferential(true);
  e.SetDifferentialEdgeSW(true);
  main.PlainRows = true;
  if (!main.RunPass()) state.SkipWithError("the generator pass did not finish");
  double y = 0.7;
  TimeStops(state, main, [&] { e.SetDifferentialVector({0.3, y = 1.4 - y}); });
}
BENCHMARK(StopEffector)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
