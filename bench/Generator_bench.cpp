// Generator speed: the plain loop against each kernel level.
//
// Counters: "iter/s" is orbit steps per second (the sum of the step counts of
// all pixels, taken from a "終点" field of the same view); "vs_plain" is that
// rate over the plain loop's on the same work and worker count; "vs_1_worker"
// (two-worker runs) is the rate over the same level's on one worker.
//
//   build/bench/qvell_bench --benchmark_filter=GeneratorDefault
//   build/bench/qvell_bench --benchmark_filter='GeneratorFormula|GeneratorLibmOutput'
#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <string>
#include <tuple>

#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/QVObject.h"
#include "engine/kernels/QVGeneratorKernel.h"
#include "engine/methods/QVMethod.h"

namespace {

using qv::GeneratorKernelLevel;

struct View {
  int32_t type;
  QVComplex c, centre;
  double scale;
  int32_t width, height, depth;
};

// The default combination's view: centre (-0.5, 0), scale 3, 1024 x 1024,
// depth 1000.
constexpr View DefaultView{0, {0, 0}, {-0.5, 0}, 3.0, 1024, 1024, 1000};
// Per formula, in list order, a view with escaping and bounded orbits: 50 to
// 270 steps per pixel on average at depth 500 with each divergence test.
constexpr View FormulaViews[] = {
    {0, {0, 0}, {-0.5, 0}, 3.0, 256, 256, 500},      // z^2+C: Mandelbrot
    {0, {0, 0}, {0, 0}, 3.0, 256, 256, 500},         // z^3+C: Mandelbrot
    {1, {0.01, 0.005}, {0, 0}, 4.0, 256, 256, 500},  // z+C: slow drift
    {1, {1.1, 0.1}, {0, 0}, 3.0, 256, 256, 500},     // z^-1+C: Julia
    {1, {1.1, 0.1}, {0, 0}, 3.0, 256, 256, 500},     // z^-2+C: Julia
    {1, {1.1, 0.1}, {0, 0}, 3.0, 256, 256, 500},     // z^-3+C: Julia
    {0, {0, 0}, {-0.5, 0}, 3.0, 256, 256, 500},      // z^-2-z^2: Mandelbrot
};

// One generator with a chosen view and methods (by position in their lists).
class Setup {
 public:
  Setup(const View& v, int32_t fractal, int32_t divergence, int32_t output)
      : generator_(*main_.Graph().Generators[0]) {
    QVParameter& p = main_.Parameter;
    p.ChangeFractalType(v.type);
    p.ChangeFractalParameter(v.c);
    p.ChangeViewpoint(v.centre);
    p.ChangeScale(v.scale);
    p.ChangeWidth(v.width);
    p.ChangeHeight(v.height);
    p.ChangeFractalMethod(qv::CloneAs(*FractalMethods()[static_cast<size_t>(fractal)]));
    generator_.SetDepth(v.depth);
    generator_.SetDivergenceMethod(
        qv::CloneAs(*DivergenceMethods()[static_cast<size_t>(divergence)]));
    generator_.SetOutputMethod(qv::CloneAs(*OutputMethods()[static_cast<size_t>(output)]));
  }

  // Computes once at the level with the given workers; the level stays forced.
  void Compute(GeneratorKernelLevel level, int workers) {
    qv::ForceGeneratorKernelLevel(level);
    qv::Pass pass;
    pass.Workers = workers;
    generator_.Compute(pass);
  }

  // The sum of the step counts (meaningful for "終点").
  double Steps() const {
    double sum = 0;
    const QVFractalField& f = generator_.FractalField;
    for (int32_t y = 0; y < f.Height; ++y)
      for (int32_t x = 0; x < f.Width; ++x) sum += f.Pixel(x, y).Count;
    return sum;
  }

 private:
  QVMain main_;
  QVGenerator& generator_;
};

using Key = std::tuple<const View*, int32_t, int32_t, int32_t, GeneratorKernelLevel, int>;

// Steps of a view and combination (the output does not change the orbits).
double StepsOf(const View& v, int32_t fractal, int32_t divergence) {
  static std::map<Key, double> cache;
  const Key key{&v, fractal, divergence, 0, GeneratorKernelLevel::Auto, 0};
  if (!cache.count(key)) {
    Setup s(v, fractal, divergence, 0);
    s.Compute(GeneratorKernelLevel::Auto, 2);
    cache[key] = s.Steps();
  }
  return cache[key];
}

// Steps per second of one untimed-by-the-library computation, cached.
double MeasuredRate(const View& v, int32_t fractal, int32_t divergence, int32_t output,
                    GeneratorKernelLevel level, int workers) {
  static std::map<Key, double> cache;
  const Key key{&v, fractal, divergence, output, level, workers};
  if (!cache.count(key)) {
    // The best of several runs (at least 3 and 0.5 s), as the library would
    // settle the timing of a benchmark of its own.
    Setup s(v, fractal, divergence, output);
    double best = 0, total = 0;
    for (int run = 0; run < 3 || total < 0.5; ++run) {
      const auto start = std::chrono::steady_clock::now();
      s.Compute(level, workers);
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      total += took.count();
      if (run == 0 || took.count() < best) best = took.count();
    }
    cache[key] = StepsOf(v, fractal, divergence) / best;
  }
  return cache[key];
}

// Times Compute of the combination at the level and sets the counters.
void Run(benchmark::State& state, const View& v, int32_t fractal, int32_t divergence,
         int32_t output, GeneratorKernelLevel level, int workers) {
  if (!qv::GeneratorKernelLevelSupported(level)) {
    state.SkipWithError("the processor lacks this level");
    return;
  }
  const double steps = StepsOf(v, fractal, divergence);
  const double plain =
      MeasuredRate(v, fractal, divergence, output, GeneratorKernelLevel::Plain, workers);
  const double oneWorker = workers > 1 ? MeasuredRate(v, fractal, divergence, output, level, 1) : 0;
  Setup s(v, fractal, divergence, output);
  std::chrono::duration<double> busy{0};
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    s.Compute(level, workers);
    busy += std::chrono::steady_clock::now() - start;
  }
  qv::ForceGeneratorKernelLevel(GeneratorKernelLevel::Auto);

  const double rate = steps * static_cast<double>(state.iterations()) / busy.count();
  state.counters["iter/s"] = rate;
  state.counters["steps/px"] = steps / (static_cast<double>(v.width) * v.height);
  state.counters["vs_plain"] = rate / plain;
  if (workers > 1) state.counters["vs_1_worker"] = rate / oneWorker;
  state.SetLabel(qv::GeneratorKernelLevelName(level));
}

constexpr GeneratorKernelLevel Levels[] = {
    GeneratorKernelLevel::Plain, GeneratorKernelLevel::Scalar, GeneratorKernelLevel::Sse2,
    GeneratorKernelLevel::Avx2, GeneratorKernelLevel::Avx512};

// "z^2+C", "ノルム", "終点" on the default view; args: level index, workers.
void GeneratorDefault(benchmark::State& state) {
  Run(state, DefaultView, 0, 0, 0, Levels[state.range(0)], static_cast<int>(state.range(1)));
}
BENCHMARK(GeneratorDefault)
    ->ArgsProduct({{0, 1, 2, 3, 4}, {1, 2}})
    ->ArgNames({"level", "workers"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(1.0);

// Every formula with every divergence test and "終点", best level, one
// worker; args: formula, divergence (positions in their lists).
void GeneratorFormula(benchmark::State& state) {
  const auto f = static_cast<int32_t>(state.range(0));
  Run(state, FormulaViews[f], f, static_cast<int32_t>(state.range(1)), 0,
      qv::BestGeneratorKernelLevel(), 1);
}
BENCHMARK(GeneratorFormula)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5, 6}, {0, 1, 2}})
    ->ArgNames({"formula", "divergence"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// "球", "差分累積" and "市松模様累積" with "z^2+C" and "ノルム": the
// specialised scalar loop, one worker; arg: output (position in its list).
void GeneratorLibmOutput(benchmark::State& state) {
  Run(state, FormulaViews[0], 0, 0, static_cast<int32_t>(state.range(0)),
      GeneratorKernelLevel::Scalar, 1);
}
BENCHMARK(GeneratorLibmOutput)
    ->DenseRange(1, 3)
    ->ArgName("output")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
