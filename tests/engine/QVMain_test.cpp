#include "engine/QVMain.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <random>
#include <set>
#include <stop_token>
#include <thread>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMixer.h"
#include "engine/methods/QVOutputMethods.h"
#include "engine/methods/QVRenderingMethods.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

using qv::test::HoldingPoster;
using qv::test::MixerPixels;
using qv::test::RecordingCanvas;

TEST(QVMain, BuildsTheDefaultGraph) {
  QVMain main;
  const QVNodeGraph& graph = main.Graph();
  ASSERT_EQ(graph.Generators.size(), 1u);
  ASSERT_EQ(graph.Effectors.size(), 1u);
  ASSERT_EQ(graph.Mixers.size(), 1u);
  EXPECT_EQ(graph.Effectors[0]->Generator(), graph.Generators[0]);
  EXPECT_EQ(&graph.Generators[0]->Parameter(), &main.Parameter);
  const QVMixer& mixer = *graph.Mixers[0];
  EXPECT_EQ(mixer.BaseMixer(), nullptr);
  ASSERT_EQ(mixer.SourceList().size(), 1u);
  EXPECT_EQ(mixer.SourceList()[0].Operator, '+');
  EXPECT_EQ(mixer.SourceList()[0].Effector, graph.Effectors[0]);
  EXPECT_TRUE(mixer.TransparenceList().empty());
}

TEST(QVMain, SecondPassWithoutEditsComputesNothing) {
  QVMain main;
  main.Parameter.ChangeWidth(16);
  main.Parameter.ChangeHeight(12);
  std::mutex lock;
  std::multiset<std::string> rows;
  const QVProgressFunction progress = [&](const std::string& name, int, int) {
    std::lock_guard<std::mutex> g(lock);
    rows.insert(name);
  };
  const QVNodeGraph& graph = main.Graph();
  ASSERT_TRUE(main.RunPass({}, progress));
  EXPECT_EQ(rows.count(graph.Generators[0]->Name()), 12u);
  EXPECT_EQ(rows.count(graph.Effectors[0]->Name()), 12u);
  EXPECT_EQ(rows.count(graph.Mixers[0]->Name()), 12u);
  const auto first = MixerPixels(*graph.Mixers[0]);
  rows.clear();
  ASSERT_TRUE(main.RunPass({}, progress));
  EXPECT_TRUE(rows.empty());
  EXPECT_EQ(MixerPixels(*graph.Mixers[0]), first);
}

// A stop that ends the pass inside an upstream node leaves the nodes after it
// with nothing new to compute; the pass must still report that it was stopped
// (the render thread then draws nothing), and the next pass finishes the work.
TEST(QVMain, PassStoppedInsideAnUpstreamNodeReportsTheStop) {
  QVMain main;
  main.SetWorkers(1);
  main.Parameter.ChangeWidth(8);
  main.Parameter.ChangeHeight(8);
  const QVMixer& mixer = *main.Graph().Mixers[0];
  QVGenerator& generator = *main.Graph().Generators[0];
  ASSERT_TRUE(main.RunPass());
  const auto before = MixerPixels(mixer);
  generator.SetDepth(30);
  std::stop_source stop;
  EXPECT_FALSE(main.RunPass(stop.get_token(), [&](const std::string& name, int, int) {
    if (name == generator.Name()) stop.request_stop();
  }));
  EXPECT_EQ(MixerPixels(mixer), before);
  ASSERT_TRUE(main.RunPass());
  EXPECT_NE(MixerPixels(mixer), before);
}

TEST(QVMain, WorkerCountFromEnvironment) {
  const char* old = std::getenv("NUMBER_OF_PROCESSORS");
  std::string saved = old ? old : "";
  setenv("NUMBER_OF_PROCESSORS", "4", 1);
  EXPECT_EQ(qv::WorkerCountFromEnvironment(), 4);
  setenv("NUMBER_OF_PROCESSORS", "  +12abc", 1);
  EXPECT_EQ(qv::WorkerCountFromEnvironment(), 12);
  setenv("NUMBER_OF_PROCESSORS", "100000000000000000000", 1);
  EXPECT_EQ(qv::WorkerCountFromEnvironment(), 256);
  const int hardware = std::max(1u, std::thread::hardware_concurrency());
  setenv("NUMBER_OF_PROCESSORS", "-3", 1);
  EXPECT_EQ(qv::WorkerCountFromEnvironment(), std::min(hardware, 256));
  setenv("NUMBER_OF_PROCESSORS", "abc", 1);
  EXPECT_EQ(qv::WorkerCountFromEnvironment(), std::min(hardware, 256));
  unsetenv("NUMBER_OF_PROCESSORS");
  EXPECT_EQ(qv::WorkerCountFromEnvironment(), std::min(hardware, 256));
  if (old) setenv("NUMBER_OF_PROCESSORS", saved.c_str(), 1);
}

TEST(QVMain, RenderPostsStartDrawingAndEndInOrder) {
  QVMain main;
  main.Parameter.ChangeWidth(9);
  main.Parameter.ChangeHeight(7);
  std::vector<std::string> events;
  main.OnRenderStart = [&] { events.push_back("start"); };
  main.OnRenderEnd = [&] { events.push_back("end"); };
  RecordingCanvas canvas;
  canvas.OnPicture = [&] { events.push_back("draw"); };
  QVInlinePoster poster;
  bool runningInHook = false;
  main.OnRenderEnd = [&] {
    events.push_back("end");
    runningInHook = main.Rendering();
  };
  EXPECT_FALSE(main.Rendering());
  main.Render(&canvas, &poster);
  main.WaitRender();
  EXPECT_TRUE(runningInHook);
  EXPECT_FALSE(main.Rendering());
  EXPECT_EQ(events, (std::vector<std::string>{"start", "draw", "end"}));
  ASSERT_EQ(canvas.Width, 9);
  ASSERT_EQ(canvas.Height, 7);
  EXPECT_EQ(canvas.Pixels, MixerPixels(*main.Graph().Mixers[0]));
  EXPECT_EQ(main.Progress().Name, "Draw");
  EXPECT_EQ(main.Progress().Row, 7);
}

TEST(QVMain, NullPosterRunsHooksInPlaceAndNullCanvasDrawsNothing) {
  QVMain main;
  main.Parameter.ChangeWidth(4);
  main.Parameter.ChangeHeight(3);
  int ends = 0;
  main.OnRenderEnd = [&] { ++ends; };
  main.Render(nullptr, nullptr);
  main.WaitRender();
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(main.Graph().Mixers[0]->RGBField.Width, 4);
}

TEST(QVMain, RenderWithoutMixerRunsStartAndEndHooks) {
  QVMain main;
  main.Graph().DeleteNode(main.Graph().Mixers.front());
  std::vector<std::string> events;
  main.OnRenderStart = [&] { events.push_back("start"); };
  main.OnRenderEnd = [&] { events.push_back("end"); };
  RecordingCanvas canvas;
  QVInlinePoster poster;
  main.Render(&canvas, &poster);
  main.WaitRender();
  EXPECT_EQ(events, (std::vector<std::string>{"start", "end"}));
  EXPECT_EQ(canvas.Width, -1);
}

TEST(QVMain, PictureTooLargeIsRefusedWithTheMemoryItNeeds) {
  QVMain main;
  main.Parameter.ChangeWidth(100000000);
  main.Parameter.ChangeHeight(100000000);
  std::string error;
  QVMain::RenderFailure failure;
  main.OnRenderError = [&](const QVMain::RenderFailure& f) { failure = f, error = f.Message; };
  bool ended = false;
  main.OnRenderEnd = [&] { ended = true; };
  RecordingCanvas canvas;
  QVInlinePoster poster;
  main.Render(&canvas, &poster);
  main.WaitRender();
  EXPECT_TRUE(ended);
  EXPECT_NE(error.find("100000000 x 100000000"), std::string::npos) << error;
  EXPECT_NE(error.find("MiB"), std::string::npos) << error;
  EXPECT_TRUE(failure.Memory);
  EXPECT_EQ(failure.Width, 100000000);
  EXPECT_GT(failure.Required, failure.Available);
  EXPECT_EQ(main.Graph().Generators[0]->FractalField.Width, 0);
  // The engine goes on: a sensible size renders again.
  main.Parameter.ChangeWidth(5);
  main.Parameter.ChangeHeight(5);
  error.clear();
  main.Render(&canvas, &poster);
  main.WaitRender();
  EXPECT_EQ(error, "");
  EXPECT_EQ(canvas.Width, 5);
}

TEST(QVMain, EmptySizeRendersAnEmptyPicture) {
  QVMain main;
  main.Parameter.ChangeWidth(0);
  main.Parameter.ChangeHeight(-4);
  ASSERT_TRUE(main.RunPass());
  EXPECT_EQ(main.Graph().Mixers[0]->RGBField.Width, 0);
  EXPECT_EQ(main.Graph().Mixers[0]->RGBField.Height, 0);
}

// Starts, stops and restarts renders at random moments; the engine must never
// deadlock or crash, and the final uninterrupted render must equal a render
// made from scratch with the same settings.
TEST(QVMain, StopAndRestartStressEndsWithTheUninterruptedPicture) {
  std::vector<int32_t> expected;
  {
    QVMain reference;
    reference.SetWorkers(3);
    reference.Parameter.ChangeWidth(23);
    reference.Parameter.ChangeHeight(17);
    reference.Parameter.ChangeViewpoint({-0.6, 0.1});
    reference.Parameter.ChangeScale(2.5);
    reference.Graph().Effectors[0]->SetDifferential(true);
    ASSERT_TRUE(reference.RunPass());
    expected = MixerPixels(*reference.Graph().Mixers[0]);
  }
  QVMain main;
  main.SetWorkers(3);
  main.Parameter.ChangeWidth(23);
  main.Parameter.ChangeHeight(17);
  QVGenerator& generator = *main.Graph().Generators[0];
  main.Graph().Effectors[0]->SetDifferential(true);
  RecordingCanvas canvas;
  int draws = 0;
  canvas.OnPicture = [&] { ++draws; };
  QVInlinePoster poster;
  std::mt19937 random(12345);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  int rounds = 0;
  for (; rounds < 3000 && std::chrono::steady_clock::now() < deadline; ++rounds) {
    // Edits happen while a render may be running: it computes a frozen copy.
    if (random() % 2 == 0) main.StopRender();
    switch (random() % 4) {
      case 0: main.Parameter.ChangeViewpoint({-0.6 + (random() % 3) * 0.1, 0.1}); break;
      case 1: main.Parameter.ChangeScale(2.0 + (random() % 3) * 0.25); break;
      case 2: generator.SetDepth(50 + static_cast<int32_t>(random() % 100)); break;
      default: break;
    }
    main.Render(&canvas, &poster);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 400));
  }
  main.Parameter.ChangeViewpoint({-0.6, 0.1});
  main.Parameter.ChangeScale(2.5);
  generator.SetDepth(100);
  // A stopped pass may leave nodes half done; one more stop must not make
  // them look finished.
  main.Render(&canvas, &poster);
  main.StopRender();
  main.Render(&canvas, &poster);
  main.WaitRender();
  EXPECT_GT(rounds, 100);
  EXPECT_LT(draws, rounds) << "no render was ever stopped part-way";
  EXPECT_EQ(MixerPixels(*main.Graph().Mixers[0]), expected);
  EXPECT_EQ(canvas.Pixels, expected);
}

// "終点" that, when armed, asks the pass to stop at step 5000 of the third
// orbit it watches, that is, in the middle of the first row. An output class
// the kernels do not know makes the generator use the plain loop.
class StopOnceOutput : public QVOutputMethod {
 public:
  struct Trigger {
    std::stop_source Stop;
    std::atomic<bool> Armed{true};
    std::atomic<int> Orbits{0};
  };
  explicit StopOnceOutput(std::shared_ptr<Trigger> trigger)
      : QVOutputMethod("stop once", 0, {}, {}), trigger_(std::move(trigger)) {}
  std::unique_ptr<QVMethod> Clone() const override {
    return std::make_unique<StopOnceOutput>(trigger_);
  }
  void Start() override {
    record_ = {};
    ++trigger_->Orbits;
  }
  FractalPixel Result() const override { return record_; }
  void Step(int32_t j, QVComplex z) override {
    record_ = {z, j};
    if (j == 5000 && trigger_->Orbits == 3 && trigger_->Armed.exchange(false)) {
      trigger_->Stop.request_stop();
    }
  }

 private:
  std::shared_ptr<Trigger> trigger_;
  FractalPixel record_;
};

void DeepScene(QVMain& main, std::shared_ptr<StopOnceOutput::Trigger> trigger) {
  main.Parameter.ChangeViewpoint({-0.1, 0});
  main.Parameter.ChangeScale(0.2);  // every point stays: every orbit runs to the depth
  main.Parameter.ChangeWidth(12);
  main.Parameter.ChangeHeight(3);
  QVGenerator& generator = *main.Graph().Generators[0];
  generator.SetDepth(100000);
  if (!trigger) trigger = std::make_shared<StopOnceOutput::Trigger>();
  generator.SetOutputMethod(std::make_unique<StopOnceOutput>(std::move(trigger)));
}

// A pass stopped in the middle of a row (two pixels of it already written)
// leaves the generator out of date; the next pass gives exactly the picture
// of a pass that was never stopped.
TEST(QVMain, PassStoppedMidRowIsFinishedExactlyByTheNextPass) {
  std::vector<int32_t> expected;
  {
    QVMain reference;
    auto disarmed = std::make_shared<StopOnceOutput::Trigger>();
    disarmed->Armed = false;
    DeepScene(reference, disarmed);
    ASSERT_TRUE(reference.RunPass());
    expected = MixerPixels(*reference.Graph().Mixers[0]);
  }
  QVMain main;
  main.SetWorkers(1);
  DeepScene(main, nullptr);
  main.Graph().Generators[0]->SetDepth(10);
  ASSERT_TRUE(main.RunPass());  // every record now counts 10
  auto trigger = std::make_shared<StopOnceOutput::Trigger>();
  DeepScene(main, trigger);
  EXPECT_FALSE(main.RunPass(trigger->Stop.get_token()));
  EXPECT_FALSE(trigger->Armed);
  const QVFractalField& field = main.Graph().Generators[0]->FractalField;
  EXPECT_EQ(field.Pixel(1, 0).Count, 100000);  // written before the stop
  EXPECT_EQ(field.Pixel(2, 0).Count, 10);      // the orbit given up part-way
  EXPECT_EQ(field.Pixel(11, 0).Count, 10);
  ASSERT_TRUE(main.RunPass());
  EXPECT_EQ(MixerPixels(*main.Graph().Mixers[0]), expected);
}

TEST(QVMain, PictureIsOpaqueRgb32OfTheLastMixer) {
  QVMain main;
  main.Parameter.ChangeWidth(3);
  main.Parameter.ChangeHeight(2);
  RecordingCanvas canvas;
  main.Render(&canvas, nullptr);
  main.WaitRender();
  ASSERT_TRUE(canvas.Last);
  const QVRGBField& field = main.Graph().Mixers[0]->RGBField;
  for (int32_t y = 0; y < 2; ++y) {
    for (int32_t x = 0; x < 3; ++x) {
      int32_t r, g, b;
      UnpackRGB(field.Pixel(x, y), r, g, b);
      const uint32_t expected = 0xFF000000u | static_cast<uint32_t>(r << 16 | g << 8 | b);
      EXPECT_EQ(canvas.Last->Pixels()[y * 3 + x], expected);
    }
  }
}

TEST(QVMain, RenderReturnsGenerationsAndProgressCarriesTheLatest) {
  QVMain main;
  main.Parameter.ChangeWidth(4);
  main.Parameter.ChangeHeight(4);
  EXPECT_EQ(main.Progress().Generation, 0u);
  EXPECT_EQ(main.Render(nullptr, nullptr), 1u);
  main.WaitRender();
  EXPECT_EQ(main.Progress().Generation, 1u);
  QVGenerator& generator = *main.Graph().Generators[0];
  EXPECT_EQ(main.Progress().Name, main.Graph().Mixers[0]->Name());
  main.Parameter.ChangeWidth(1000);  // never finishes before the next Render
  generator.SetDepth(1000000);
  EXPECT_EQ(main.Render(nullptr, nullptr), 2u);
  main.StopRender();
  EXPECT_EQ(main.Progress().Generation, 2u);
  main.Parameter.ChangeWidth(4);
  generator.SetDepth(5);
  const uint64_t third = main.Render(nullptr, nullptr);
  EXPECT_EQ(third, 3u);
  EXPECT_EQ(main.Progress().Generation, 3u);
  main.WaitRender();
  EXPECT_EQ(main.Progress().Generation, 3u);
}

// Calls held by the poster run after a newer render started: only the newest
// render's start, picture and end reach the host.
TEST(QVMain, CallsOfASupersededRenderAreDropped) {
  QVMain main;
  main.Parameter.ChangeWidth(5);
  main.Parameter.ChangeHeight(4);
  RecordingCanvas canvas;
  HoldingPoster poster;
  std::vector<std::string> events;
  main.OnRenderStart = [&] { events.push_back("start"); };
  main.OnRenderEnd = [&] { events.push_back("end"); };
  main.Render(&canvas, &poster);
  main.WaitRender();
  main.Parameter.ChangeWidth(6);
  main.Render(&canvas, &poster);
  main.WaitRender();
  ASSERT_EQ(poster.Calls.size(), 6u);  // two renders posted start, picture, end
  poster.RunAll();
  EXPECT_EQ(events, (std::vector<std::string>{"start", "end"}));
  EXPECT_EQ(canvas.Pictures, 1);
  EXPECT_EQ(canvas.Width, 6);
  EXPECT_EQ(canvas.Pixels, MixerPixels(*main.Graph().Mixers[0]));
}

// After StopRender the canvas may go away: a picture still queued is dropped,
// the end hook still runs.
TEST(QVMain, StopRenderDropsAQueuedPictureButNotTheEnd) {
  QVMain main;
  main.Parameter.ChangeWidth(5);
  main.Parameter.ChangeHeight(4);
  RecordingCanvas canvas;
  HoldingPoster poster;
  int ends = 0;
  main.OnRenderEnd = [&] { ++ends; };
  main.Render(&canvas, &poster);
  main.WaitRender();
  main.StopRender();
  poster.RunAll();
  EXPECT_EQ(canvas.Pictures, 0);
  EXPECT_EQ(ends, 1);
}

// Posts still queued when the QVMain is destroyed do nothing (run under ASan:
// they must not touch the freed object).
TEST(QVMain, PostsQueuedPastTheEngineDoNothing) {
  RecordingCanvas canvas;
  HoldingPoster poster;
  int hooks = 0;
  {
    QVMain main;
    main.Parameter.ChangeWidth(5);
    main.Parameter.ChangeHeight(4);
    main.OnRenderStart = [&] { ++hooks; };
    main.OnRenderEnd = [&] { ++hooks; };
    main.Render(&canvas, &poster);
    main.WaitRender();
  }
  ASSERT_EQ(poster.Calls.size(), 3u);
  poster.RunAll();
  EXPECT_EQ(hooks, 0);
  EXPECT_EQ(canvas.Pictures, 0);
}

}  // namespace

namespace {

TEST(QVMain, RequiredBytesCountsEverythingARenderHoldsAtOnce) {
  QVMain main;
  main.SetWorkers(2);
  const struct { int32_t w, h; } sizes[] = {{2000, 2000}, {7680, 4320}, {5000000, 1}};
  for (const auto& s : sizes) {
    main.Parameter.ChangeWidth(s.w);
    main.Parameter.ChangeHeight(s.h);
    const int64_t pixels = int64_t{s.w} * s.h;
    // Generator records, effector and mixer colours, the picture handed to
    // the host; 64 bytes per column for each worker's row buffers.
    const int64_t render =
        pixels * (int64_t{sizeof(FractalPixel)} + 4 + 4 + 4) + int64_t{s.w} * 2 * 64;
    main.HostBytes = 0;
    EXPECT_EQ(main.RequiredBytes(), render) << s.w << " x " << s.h;
    main.HostBytes = 12345;
    EXPECT_EQ(main.RequiredBytes(), render + 12345) << s.w << " x " << s.h;
  }
  main.Parameter.ChangeWidth(2000000000);
  main.Parameter.ChangeHeight(2000000000);
  EXPECT_EQ(main.RequiredBytes(), INT64_MAX);
  EXPECT_NE(main.MemoryMessage().find("needs more memory than can be addressed"),
            std::string::npos);
}

}  // namespace
