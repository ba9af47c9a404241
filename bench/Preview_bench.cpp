// What the editor's eye sees after a change of view: how soon the first
// preview is there, and how many exact frames a live zoom shows per second.
//
//   build/bench/qvell_bench --benchmark_filter='PreviewFirst|LiveZoom'
//
// PreviewFirstPicture: the default project at 640 x 480 on two workers. Each
// iteration moves the view (so the generator is out of date, as after a wheel
// notch) and times QVMain::Render with the sharpening runner up to the
// moment the first preview reaches the canvas (manual time): the frozen copy,
// the render thread's start, the first pass (every 8th pixel) and its
// colouring, and the picture of blocks. The rest of the render is stopped.
//
// LiveZoomFrames: 640 x 480, depth 1000, starting at the view centred at
// (-0.5, 0) with width 3; each frame zooms in by 2^(1/25) about a fixed plane
// point (the first argument picks it) and is an exact, complete render
// (QVMain::Render without previews, picture handed to the canvas), the next
// frame starting once the last one arrived. An iteration is 50 frames (two
// seconds of zoom at 2x per second, at 25 frames per second); "fps" is frames
// per second of wall time. "cpu_ms" is the processor time of the whole
// process (every thread) per frame, which a loaded machine does not inflate
// as it does the wall time: on an idle machine with two cores a frame
// takes at least cpu_ms / 2.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>

#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "render/QVPreview.h"

namespace {

using Clock = std::chrono::steady_clock;

// Processor seconds of the whole process so far, every thread counted.
double ProcessSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Wakes the benchmark when the first preview or the picture arrives.
class WaitingCanvas : public QVCanvas {
 public:
  void SetPicture(QVPictureRef) override { Signal(pictures_); }
  void SetPreview(QVPictureRef) override { Signal(previews_); }
  void WaitPreview(int n) { Wait(previews_, n); }
  int Previews() {
    std::lock_guard<std::mutex> guard(lock_);
    return previews_;
  }

 private:
  void Signal(int& counter) {
    std::lock_guard<std::mutex> guard(lock_);
    ++counter;
    arrived_.notify_all();
  }
  void Wait(int& counter, int n) {
    std::unique_lock<std::mutex> guard(lock_);
    arrived_.wait(guard, [&] { return counter >= n; });
  }
  std::mutex lock_;
  std::condition_variable arrived_;
  int previews_ = 0;
  int pictures_ = 0;
};

void PreviewFirstPicture(benchmark::State& state) {
  QVMain main;
  main.SetWorkers(2);
  main.Parameter.ChangeWidth(640);
  main.Parameter.ChangeHeight(480);
  WaitingCanvas canvas;
  int n = 0;
  for (auto _ : state) {
    // A new view each time, as a wheel notch gives.
    main.Parameter.ChangeViewpoint({(n % 2 == 0 ? 0.001 : -0.001) * (1 + n % 7), 0});
    const auto start = Clock::now();
    main.Render(&canvas, nullptr, nullptr, qv::RunPreviewPasses);
    canvas.WaitPreview(++n);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    main.StopRender();
  }
}
BENCHMARK(PreviewFirstPicture)->UseManualTime()->Unit(benchmark::kMillisecond);

// Points zoomed into: 0 a point of the boundary at the left of the view
// (-1.2535, 0.3823), 1 the seahorse valley (-0.7453, 0.1127), 2 the
// screen's centre (-0.5, 0), inside the set (every pixel runs to the depth
// sooner or later).
constexpr QVComplex kZoomPoints[] = {{-1.2535, 0.3823}, {-0.7453, 0.1127}, {-0.5, 0}};

void LiveZoomFrames(benchmark::State& state) {
  const QVComplex point = kZoomPoints[state.range(0)];
  constexpr int kFrames = 50;
  const double step = std::pow(2.0, -1.0 / 25.0);
  QVMain main;
  main.SetWorkers(2);
  main.Parameter.ChangeWidth(640);
  main.Parameter.ChangeHeight(480);
  main.Graph().Generators[0]->SetDepth(1000);
  WaitingCanvas canvas;
  double frames = 0, seconds = 0;
  const double cpuBefore = ProcessSeconds();
  for (auto _ : state) {
    QVComplex v{-0.5, 0};
    double scale = 3;
    const auto start = Clock::now();
    for (int k = 0; k < kFrames; ++k) {
      // The point stays where it is on the screen: the view shrinks about it.
      v = {point.re + (v.re - point.re) * step, point.im + (v.im - point.im) * step};
      scale *= step;
      main.Parameter.ChangeViewpoint(v);
      main.Parameter.ChangeScale(scale);
      main.Render(&canvas, nullptr);
      main.WaitRender();
    }
    const double s = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(s);
    frames += kFrames;
    seconds += s;
  }
  state.counters["fps"] = frames / seconds;
  state.counters["cpu_ms"] = (ProcessSeconds() - cpuBefore) * 1e3 / frames;
}
BENCHMARK(LiveZoomFrames)->Arg(0)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
