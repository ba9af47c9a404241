// A whole render as qvell render makes it, in bands whose encoding overlaps
// the computing of the next band, against the generator's own time for the
// same picture, in one run: view centre (-0.5, 0), scale 3, 1024 x 1024,
// depth 1000, default effector and mixer, PNG with its project, on 1 and on 2
// workers (with 1 worker a core is left for the encoder on a 2-core machine).
// Times are wall-clock, the fastest of the iterations.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <limits>
#include <string>

#include "engine/QVGenerator.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "render/QVRenderToFile.h"

namespace {

double SecondsOf(const auto& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BandsWholeRenderToPng(benchmark::State& state) {
  QVMain main;
  main.SetWorkers(static_cast<int32_t>(state.range(0)));
  main.Parameter.ChangeViewpoint({-0.5, 0.0});
  main.Parameter.ChangeScale(3.0);
  main.Parameter.ChangeWidth(1024);
  main.Parameter.ChangeHeight(1024);
  QVGenerator& generator = *main.Graph().Generators.front();
  generator.SetDepth(1000);
  qv::PictureRenderOptions options;
  options.Format = qv::PictureFormat::Png;
  const std::string path =
      (std::filesystem::temp_directory_path() / "qvell_bands_bench.png").string();
  double generatorSeconds = std::numeric_limits<double>::max();
  double renderSeconds = std::numeric_limits<double>::max();
  std::string error;
  qv::Pass pass;
  pass.Workers = main.Workers();
  for (auto _ : state) {
    generatorSeconds = std::min(generatorSeconds, SecondsOf([&] { generator.Compute(pass); }));
    renderSeconds = std::min(
        renderSeconds, SecondsOf([&] { error = qv::RenderToFile(main, options, path, {}, {}); }));
    if (!error.empty()) state.SkipWithError(error.c_str());
  }
  std::filesystem::remove(path);
  state.counters["generator s"] = generatorSeconds;
  state.counters["render s"] = renderSeconds;
  state.counters["render/generator"] = renderSeconds / generatorSeconds;
}
BENCHMARK(BandsWholeRenderToPng)
    ->ArgName("workers")
    ->Arg(1)
    ->Arg(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(7);

}  // namespace
