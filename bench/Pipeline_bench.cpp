// Pipeline benchmarks: every node kind of the default graph at 1920 x 1080,
// the fast effector and mixer rows against the plain workers, and a whole
// render to PNG split into the generator and everything after it.
//
// The nodes live in a graph of this file's own, outside any project; the pass
// handed to them carries the worker count and the choice of plain workers.
// Times are wall-clock (the workers run on threads of their own).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>

#include "engine/QVEffector.h"
#include "engine/QVEffectorRows.h"
#include "engine/QVGenerator.h"
#include "engine/QVGraph.h"
#include "engine/QVMixer.h"
#include "engine/QVObject.h"
#include "engine/QVParameter.h"
#include "engine/QVPass.h"
#include "image/QVPictureFile.h"

namespace {

// The default graph: one generator, its effector, one mixer with that effector
// as its only source, all with default settings.
struct Pipeline {
  QVNodeGraph Graph;
  QVParameter Parameter;
  QVGenerator* Generator = nullptr;
  QVEffector* Effector = nullptr;
  QVMixer* Mixer = nullptr;
  // What every Compute of the nodes is given: workers, plain or fast rows.
  qv::Pass Pass;
  // The settings the generator's field was last computed with.
  int32_t Width = 0, Height = 0, Depth = 0;
  QVComplex View;
  double Scale = 0.0;

  Pipeline() {
    Generator = Graph.AddGenerator(&Parameter);
    Effector = Graph.AddEffector(Generator);
    Mixer = Graph.AddMixer();
    Mixer->AppendSource('+', Effector);
  }

  // Sets the view (computing the generator when it changed), gives the
  // effector back its default settings and computes the effector and the mixer.
  void Prepare(int32_t w, int32_t h, QVComplex view, double scale, int32_t depth) {
    Effector->SetDifferential(false);
    Effector->SetDifferentialVector({1.0, -1.0});
    Effector->SetDifferentialEdgeSW(false);
    Pass.PlainRows = false;
    Pass.Workers = 2;
    if (w != Width || h != Height || view != View || scale != Scale || depth != Depth) {
      Parameter.ChangeWidth(w);
      Parameter.ChangeHeight(h);
      Parameter.ChangeViewpoint(view);
      Parameter.ChangeScale(scale);
      Generator->SetDepth(depth);
      Generator->Compute(Pass);
      Width = w, Height = h, View = view, Scale = scale, Depth = depth;
    }
    Effector->Compute(Pass);
    Mixer->Compute(Pass);
  }

  void PrepareDefault() { Prepare(1920, 1080, {0.0, 0.0}, 4.0, 100); }

  int64_t Pixels() const { return int64_t{Width} * Height; }

  // The sum of the recorded counts: the orbit steps taken, with "終点".
  int64_t Steps() const {
    int64_t steps = 0;
    for (int32_t y = 0; y < Height; ++y) {
      const FractalPixel* row = Generator->FractalField.Row(y);
      for (int32_t x = 0; x < Width; ++x) steps += row[x].Count;
    }
    return steps;
  }
};

Pipeline& Shared() {
  static Pipeline pipeline;
  return pipeline;
}

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// Wall-clock seconds of one call.
template <typename F>
double Time(F f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return Seconds(std::chrono::steady_clock::now() - start);
}

// The shortest of several timings: the least disturbed by other processes.
struct Fastest {
  double Seconds = std::numeric_limits<double>::infinity();
  void Add(double s) { Seconds = std::min(Seconds, s); }
};

void SetPixelRate(benchmark::State& state, int64_t pixels) {
  state.counters["pixels/s"] =
      benchmark::Counter(static_cast<double>(pixels) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}

// --- Each node kind of the default graph at 1920 x 1080; argument: workers.

void PipelineGenerator(benchmark::State& state) {
  Pipeline& p = Shared();
  p.PrepareDefault();
  p.Pass.Workers = static_cast<int32_t>(state.range(0));
  for (auto _ : state) p.Generator->Compute(p.Pass);
  SetPixelRate(state, p.Pixels());
  state.counters["iterations/s"] =
      benchmark::Counter(static_cast<double>(p.Steps()) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
  state.counters["iterations/pixel"] =
      static_cast<double>(p.Steps()) / static_cast<double>(p.Pixels());
}
BENCHMARK(PipelineGenerator)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("workers")
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// Repeats compute on a node of the default graph. Argument 0: workers;
// argument 1: 1 forces the plain workers.
template <typename Compute>
void RunNode(benchmark::State& state, Compute compute) {
  Pipeline& p = Shared();
  p.PrepareDefault();
  p.Pass.Workers = static_cast<int32_t>(state.range(0));
  p.Pass.PlainRows = state.range(1) != 0;
  for (auto _ : state) compute(p);
  p.Pass.PlainRows = false;
  SetPixelRate(state, p.Pixels());
}

void PipelineEffector(benchmark::State& state) {
  RunNode(state, [](Pipeline& p) { p.Effector->Compute(p.Pass); });
}
void PipelineMixer(benchmark::State& state) {
  RunNode(state, [](Pipeline& p) { p.Mixer->Compute(p.Pass); });
}
BENCHMARK(PipelineEffector)
    ->ArgsProduct({{1, 2}, {0, 1}})
    ->ArgNames({"workers", "plain"})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PipelineMixer)
    ->ArgsProduct({{1, 2}, {0, 1}})
    ->ArgNames({"workers", "plain"})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// --- Ratios on one worker, every variant timed in each iteration and the
// fastest time of each compared:
// differential (default vector (1, -1), and (0.3, 0.7) with edge removal)
// against the non-differential effector, and the fast rows against the plain
// workers.

void PipelineEffectorRatios(benchmark::State& state) {
  Pipeline& p = Shared();
  p.PrepareDefault();
  p.Pass.Workers = 1;
  QVEffector& e = *p.Effector;
  auto run = [&e, &p](bool plain, bool differential, QVComplex vector, bool edge) {
    p.Pass.PlainRows = plain;
    e.SetDifferential(differential);
    e.SetDifferentialVector(vector);
    e.SetDifferentialEdgeSW(edge);
    return Time([&e, &p] { e.Compute(p.Pass); });
  };
  Fastest fast, fastDiff, fastAxisEdge, plain, plainDiff, plainAxisEdge;
  for (auto _ : state) {
    fast.Add(run(false, false, {1, -1}, false));
    fastDiff.Add(run(false, true, {1, -1}, false));
    fastAxisEdge.Add(run(false, true, {0.3, 0.7}, true));
    plain.Add(run(true, false, {1, -1}, false));
    plainDiff.Add(run(true, true, {1, -1}, false));
    plainAxisEdge.Add(run(true, true, {0.3, 0.7}, true));
  }
  p.PrepareDefault();
  state.counters["fast Mpx/s"] = static_cast<double>(p.Pixels()) / fast.Seconds / 1e6;
  state.counters["diff/nondiff"] = fastDiff.Seconds / fast.Seconds;
  state.counters["axisEdge/nondiff"] = fastAxisEdge.Seconds / fast.Seconds;
  state.counters["plain/fast"] = plain.Seconds / fast.Seconds;
  state.counters["plain/fast diff"] = plainDiff.Seconds / fastDiff.Seconds;
  state.counters["plain/fast axisEdge"] = plainAxisEdge.Seconds / fastAxisEdge.Seconds;
}
BENCHMARK(PipelineEffectorRatios)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void PipelineMixerRatios(benchmark::State& state) {
  Pipeline& p = Shared();
  p.PrepareDefault();
  p.Pass.Workers = 1;
  Fastest fast, plain;
  for (auto _ : state) {
    p.Pass.PlainRows = false;
    fast.Add(Time([&p] { p.Mixer->Compute(p.Pass); }));
    p.Pass.PlainRows = true;
    plain.Add(Time([&p] { p.Mixer->Compute(p.Pass); }));
  }
  p.Pass.PlainRows = false;
  const double n = static_cast<double>(p.Pixels());
  state.counters["fast Mpx/s"] = n / fast.Seconds / 1e6;
  state.counters["plain Mpx/s"] = n / plain.Seconds / 1e6;
  state.counters["plain/fast"] = plain.Seconds / fast.Seconds;
}
BENCHMARK(PipelineMixerRatios)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// --- A whole render: view centre (-0.5, 0), scale 3, 1024 x 1024, depth 1000,
// default effector and mixer, 2 workers, written as PNG. Reports the fastest
// time of each phase and the share of the time spent outside the generator.
// Argument fresh: 1 releases the fields before every render, so that each
// phase also pays for first touching its new field, as a one-shot render does.

void PipelineWholeRenderToPng(benchmark::State& state) {
  Pipeline& p = Shared();
  p.Prepare(1024, 1024, {-0.5, 0.0}, 3.0, 1000);
  p.Pass.Workers = 2;
  const std::string path =
      (std::filesystem::temp_directory_path() / "qvell_pipeline_bench.png").string();
  Fastest generator, effector, mixer, png;
  for (auto _ : state) {
    if (state.range(0) != 0) {
      p.Generator->FractalField.Resize(0, 0);
      p.Effector->RGBField.Resize(0, 0);
      p.Mixer->RGBField.Resize(0, 0);
    }
    generator.Add(Time([&p] { p.Generator->Compute(p.Pass); }));
    effector.Add(Time([&p] { p.Effector->Compute(p.Pass); }));
    mixer.Add(Time([&p] { p.Mixer->Compute(p.Pass); }));
    png.Add(Time([&] {
      qv::WritePicture(path, *qv::PictureOf(p.Mixer->RGBField), qv::PictureFormat::Png);
    }));
  }
  std::filesystem::remove(path);
  const double outside = effector.Seconds + mixer.Seconds + png.Seconds;
  state.counters["generator s"] = generator.Seconds;
  state.counters["effector s"] = effector.Seconds;
  state.counters["mixer s"] = mixer.Seconds;
  state.counters["png s"] = png.Seconds;
  state.counters["outside share"] = outside / (outside + generator.Seconds);
  state.counters["iterations/pixel"] =
      static_cast<double>(p.Steps()) / static_cast<double>(p.Pixels());
}
BENCHMARK(PipelineWholeRenderToPng)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("fresh")
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace
