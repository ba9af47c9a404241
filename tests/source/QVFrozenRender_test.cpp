// Renders compute a frozen copy of their project: projects render side by
// side, edits during a render neither reach it nor wait for it, and a render
// cut at any moment leaves results the next render can build on. The
// reference picture is always a fresh project read from the text, rendered
// in one uninterrupted pass on the calling thread.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVHost.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "source/QVSourceReader.h"
#include "source/QVSourceWriter.h"
#include "tests/source/SourceTestSupport.h"

namespace {

using qv::test::BuildProject;
using qv::test::ProjectCount;
using qv::test::RenderPicture;

// The pictures a render hands over, as RenderPicture gives them.
class Canvas : public QVCanvas {
 public:
  void SetPicture(QVPictureRef picture) override {
    std::vector<int32_t> out = {picture->Width(), picture->Height()};
    for (int32_t y = 0; y < picture->Height(); ++y) {
      for (int32_t x = 0; x < picture->Width(); ++x) out.push_back(picture->Color(x, y));
    }
    std::lock_guard<std::mutex> guard(lock_);
    last_ = std::move(out);
    ++count_;
  }
  std::vector<int32_t> Last() const {
    std::lock_guard<std::mutex> guard(lock_);
    return last_;
  }
  int Count() const {
    std::lock_guard<std::mutex> guard(lock_);
    return count_;
  }

 private:
  mutable std::mutex lock_;
  std::vector<int32_t> last_;
  int count_ = 0;
};

std::vector<int32_t> ReferencePicture(const std::string& text) {
  QVMain fresh;
  fresh.SetWorkers(1);
  EXPECT_TRUE(qv::ReadProject(fresh, text).Ok);
  return RenderPicture(fresh);
}

// Larger and deeper than BuildProject's, so that a render lasts milliseconds.
void Enlarge(QVMain& main, int32_t depth) {
  main.Parameter.ChangeWidth(96);
  main.Parameter.ChangeHeight(72);
  for (QVGenerator* g : main.Graph().Generators) g->SetDepth(depth);
}

TEST(FrozenRender, ProjectsRenderSideBySideEachToItsOwnPicture) {
  for (int i = 0; i + 1 < ProjectCount; i += 2) {
    QVMain a, b;
    BuildProject(a, i);
    BuildProject(b, i + 1);
    Enlarge(a, 300);
    Enlarge(b, 200);
    const std::vector<int32_t> wantA = ReferencePicture(qv::WriteProject(a));
    const std::vector<int32_t> wantB = ReferencePicture(qv::WriteProject(b));
    Canvas canvasA, canvasB;
    a.Render(&canvasA, nullptr);
    b.Render(&canvasB, nullptr);
    a.WaitRender();
    b.WaitRender();
    EXPECT_EQ(canvasA.Last(), wantA) << "project " << i;
    EXPECT_EQ(canvasB.Last(), wantB) << "project " << i + 1;
  }
}

// A random edit of one kind: parameters, a generator, an effector's bar or
// settings, a mixer's type or lists (transparence lists included).
void RandomEdit(QVMain& main, std::mt19937& random) {
  QVNodeGraph& graph = main.Graph();
  const auto pick = [&](auto& nodes) {
    return nodes[std::uniform_int_distribution<size_t>(0, nodes.size() - 1)(random)];
  };
  const auto small = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  switch (small(6)) {
    case 0:
      main.Parameter.ChangeScale(main.Parameter.Scale() * 0.75);
      break;
    case 1:
      pick(graph.Generators)->SetDepth(50 + small(400));
      break;
    case 2: {
      QVEffector* e = pick(graph.Effectors);
      e->InsertEntry(small(0x1000000), small(40) * 0.25);
      break;
    }
    case 3:
      pick(graph.Effectors)->SetDifferential(small(2) == 1);
      break;
    case 4:
      graph.Mixers.back()->SetTransparenceType(small(5));
      break;
    default: {
      QVMixer* m = pick(graph.Mixers);
      m->AppendTransparence(small(2) ? '*' : '+', pick(graph.Effectors));
      break;
    }
  }
}

TEST(FrozenRender, EditsAndStopsAtRandomMomentsLeaveTheUninterruptedPicture) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 24; ++round) {
    QVMain main;
    main.SetWorkers(2);
    BuildProject(main, round % ProjectCount);
    Enlarge(main, 400);
    Canvas canvas;
    for (int step = 0; step < 4; ++step) {
      main.Render(&canvas, nullptr);
      // The edit lands at a random moment of the render: before its first
      // node, part-way through one, or after its end.
      std::this_thread::sleep_for(
          std::chrono::microseconds(std::uniform_int_distribution<int>(0, 4000)(random)));
      RandomEdit(main, random);
    }
    main.Render(&canvas, nullptr);
    main.WaitRender();
    EXPECT_EQ(canvas.Last(), ReferencePicture(qv::WriteProject(main))) << "round " << round;
  }
}

TEST(FrozenRender, ARenderComputesTheProjectAsItWasWhenItStarted) {
  QVMain main;
  BuildProject(main, 4);
  Enlarge(main, 20000);
  const std::string before = qv::WriteProject(main);
  Canvas canvas;
  main.Render(&canvas, nullptr);
  main.Parameter.ChangeViewpoint({0.25, 0.5});  // while the render runs
  main.Graph().Effectors.front()->InsertEntry(0xFFFFFF, 0.5);
  main.WaitRender();
  ASSERT_EQ(canvas.Count(), 1);
  EXPECT_EQ(canvas.Last(), ReferencePicture(before));
  main.Render(&canvas, nullptr);
  main.WaitRender();
  EXPECT_EQ(canvas.Last(), ReferencePicture(qv::WriteProject(main)));
}

TEST(FrozenRender, ResultsStillValidAreReused) {
  QVMain main;
  BuildProject(main, 2);
  Canvas canvas;
  main.Render(&canvas, nullptr);
  main.WaitRender();
  std::vector<uint64_t> generators;
  for (const QVGenerator* g : main.Graph().Generators) generators.push_back(g->ResultStamp());
  const uint64_t mixer = main.Graph().Mixers.back()->ResultStamp();
  main.Graph().Mixers.back()->SetTransparenceType(
      (main.Graph().Mixers.back()->TransparenceType() + 1) % 5);
  main.Render(&canvas, nullptr);
  main.WaitRender();
  for (size_t i = 0; i < generators.size(); ++i) {
    EXPECT_EQ(main.Graph().Generators[i]->ResultStamp(), generators[i]) << "generator " << i;
  }
  EXPECT_GT(main.Graph().Mixers.back()->ResultStamp(), mixer);
  EXPECT_EQ(canvas.Last(), ReferencePicture(qv::WriteProject(main)));
}

}  // namespace
