// The cost of frozen copies, as the editor meets them.
//
//   build/bench/qvell_bench --benchmark_filter=Snapshot
//
// SnapshotColorBar: taking the frozen copy a render computes, of the default
// project whose effector has a colour bar of 100,000 entries (the bar is
// shared, not copied). SnapshotBarEdit: one colour-bar edit on that project
// (an edit copies the bar once). EditDuringRender: the time an edit takes on
// the calling (UI) thread while a render of depth 10^7 runs (640 x 480
// pixels inside the main cardioid, so every orbit runs to the depth): a
// parameter change, a depth change and a colour-bar insert, each timed
// alone; "worst_us" is the longest of all.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/QVSnapshot.h"

namespace {

using Clock = std::chrono::steady_clock;

void FillBar(QVMain& main, int32_t entries) {
  std::vector<ConvertData> bar;
  bar.reserve(static_cast<size_t>(entries));
  for (int32_t i = 0; i < entries; ++i) {
    bar.push_back({static_cast<double>(i) / entries, PackRGB(i & 255, (i >> 8) & 255, 7)});
  }
  main.Graph().Effectors.front()->SetColorBar(qv::ColorBar(std::move(bar)));
}

void SnapshotColorBar(benchmark::State& state) {
  QVMain main;
  FillBar(main, 100000);
  for (auto _ : state) benchmark::DoNotOptimize(main.Snapshot());
}
BENCHMARK(SnapshotColorBar)->Unit(benchmark::kMicrosecond);

void SnapshotBarEdit(benchmark::State& state) {
  QVMain main;
  FillBar(main, 100000);
  QVEffector& effector = *main.Graph().Effectors.front();
  int32_t color = 0;
  for (auto _ : state) effector.SetEntryColor(50000, ++color & 0xFFFFFF);
}
BENCHMARK(SnapshotBarEdit)->Unit(benchmark::kMicrosecond);

void EditDuringRender(benchmark::State& state) {
  QVMain main;
  main.SetWorkers(2);
  main.Parameter.ChangeWidth(640);
  main.Parameter.ChangeHeight(480);
  main.Parameter.ChangeViewpoint({-0.2, 0.0});
  main.Parameter.ChangeScale(0.2);
  QVGenerator& generator = *main.Graph().Generators.front();
  QVEffector& effector = *main.Graph().Effectors.front();
  generator.SetDepth(10000000);
  main.Render(nullptr, nullptr);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the workers are in their rows
  double worst = 0;
  int32_t step = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    switch (step++ % 3) {
      case 0:
        main.Parameter.ChangeScale(0.2 + 1e-3 * (step % 7));
        break;
      case 1:
        generator.SetDepth(10000000 - step % 5);
        break;
      default:
        effector.InsertEntry(PackRGB(step & 255, 0, 0), 0.25 + 1e-6 * step);
        break;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds);
    worst = std::max(worst, seconds);
  }
  state.counters["worst_us"] = worst * 1e6;
  state.counters["still_rendering"] = main.Rendering() ? 1 : 0;
  main.StopRender();
}
BENCHMARK(EditDuringRender)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(3000);

}  // namespace
