#include "engine/QVGenerator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <mutex>
#include <set>

#include "engine/QVEffector.h"
#include "engine/QVMain.h"
#include "engine/QVRowWorkers.h"
#include "engine/methods/QVDivergenceMethods.h"
#include "engine/methods/QVOutputMethods.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

using qv::test::WorkersPass;

// Computes a generator with the given worker count and returns its records.
std::vector<FractalPixel> Records(QVGenerator& g, int workers = 1) {
  g.Update(WorkersPass(workers));
  std::vector<FractalPixel> out;
  for (int y = 0; y < g.FractalField.Height; ++y)
    for (int x = 0; x < g.FractalField.Width; ++x) out.push_back(g.FractalField.Pixel(x, y));
  return out;
}

bool SameBits(const std::vector<FractalPixel>& a, const std::vector<FractalPixel>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::memcmp(&a[i].Z, &b[i].Z, sizeof(QVComplex)) != 0 || a[i].Count != b[i].Count)
      return false;
  }
  return true;
}

TEST(QVGenerator, DefaultSettingsWorkedExamples) {
  QVMain main;
  QVGenerator& g = *main.Graph().Generators[0];
  EXPECT_EQ(g.Depth(), 100);
  EXPECT_EQ(g.Range(), 4.0);
  EXPECT_EQ(g.DivergenceMethod().Name(), "ノルム");
  EXPECT_EQ(g.OutputMethod().Name(), "終点");
  EXPECT_GT(g.SourceStamp(), g.ComputedFrom());  // a new generator is out of date
  EXPECT_TRUE(g.Update(qv::Pass{}));
  EXPECT_EQ(g.ComputedFrom(), g.SourceStamp());
  const FractalPixel centre = g.FractalField.Pixel(160, 160);
  EXPECT_EQ(centre.Z, (QVComplex{0, 0}));
  EXPECT_EQ(centre.Count, 100);
  const FractalPixel corner = g.FractalField.Pixel(0, 0);
  EXPECT_EQ(corner.Z, (QVComplex{-2, 2}));
  EXPECT_EQ(corner.Count, 1);
}

TEST(QVGenerator, JuliaUnitCirclePointStaysAndTheRangeTestIsStrict) {
  QVMain main;
  QVParameter& p = main.Parameter;
  p.ChangeFractalType(1);
  p.ChangeWidth(5);
  p.ChangeHeight(5);
  p.ChangeScale(5);  // pixel (x, y) is the point (x - 2, 2 - y)
  QVGenerator& g = *main.Graph().Generators[0];
  g.Update(qv::Pass{});
  EXPECT_EQ(g.FractalField.Pixel(3, 2).Count, 100);  // (1, 0) stays at 1
  EXPECT_EQ(g.FractalField.Pixel(3, 2).Z, (QVComplex{1, 0}));
  EXPECT_EQ(g.FractalField.Pixel(4, 2).Count, 1);  // (2, 0) -> 4: |z|^2 = 16 > 4
  // z^2 from sqrt(2) would land on |z| = 2 only approximately; use z+C with
  // C = (1, 0) from z0 = 0: 1, 2 -> |z|^2 = 4 is not beyond the range, 3 is.
  p.ChangeFractalMethod(qv::CloneAs(*FindMethod(FractalMethods(), "z+C")));
  p.ChangeFractalParameter({1, 0});
  g.Update(qv::Pass{});
  const FractalPixel& origin = g.FractalField.Pixel(2, 2);
  EXPECT_EQ(origin.Count, 3);
  EXPECT_EQ(origin.Z, (QVComplex{3, 0}));
}

TEST(QVGenerator, DivergenceStopsAfterTheOutputHasSeenTheStep) {
  QVMain main;
  QVParameter& p = main.Parameter;
  p.ChangeFractalType(1);
  p.ChangeFractalMethod(qv::CloneAs(*FindMethod(FractalMethods(), "z+C")));
  p.ChangeFractalParameter({0.1, 0});  // z walks along the real axis by 0.1
  p.ChangeWidth(1);
  p.ChangeHeight(1);
  p.ChangeViewpoint({0, 0.5});
  QVGenerator& g = *main.Graph().Generators[0];
  auto cross = qv::CloneAs(*FindMethod(DivergenceMethods(), "十字"));
  cross->SetParamValue(0, {0.45, 0.6});  // stops once |re| > 0.45 and |im| > 0.6
  g.SetDivergenceMethod(std::move(cross));
  p.ChangeViewpoint({0, 0.7});
  g.Update(qv::Pass{});
  // z0 = (0, 0.7): steps give re = 0.1, 0.2, 0.3, 0.4, 0.5 -> stop at step 5.
  EXPECT_EQ(g.FractalField.Pixel(0, 0).Count, 5);
  EXPECT_DOUBLE_EQ(g.FractalField.Pixel(0, 0).Z.re, 0.1 + 0.1 + 0.1 + 0.1 + 0.1);
}

TEST(QVGenerator, DepthBelowOneRecordsTheStartResult) {
  QVMain main;
  main.Parameter.ChangeWidth(2);
  main.Parameter.ChangeHeight(2);
  QVGenerator& g = *main.Graph().Generators[0];
  g.SetDepth(0);
  for (const FractalPixel& p : Records(g)) {
    EXPECT_EQ(p.Z, (QVComplex{0, 0}));
    EXPECT_EQ(p.Count, 0);
  }
}

TEST(QVGenerator, SameRecordsForEveryWorkerCount) {
  QVMain main;
  main.Parameter.ChangeWidth(13);
  main.Parameter.ChangeHeight(11);
  main.Parameter.ChangeViewpoint({-0.7, 0.2});
  main.Parameter.ChangeScale(2.2);
  QVGenerator& g = *main.Graph().Generators[0];
  g.SetOutputMethod(qv::CloneAs(*FindMethod(OutputMethods(), "差分累積")));
  std::vector<FractalPixel> reference;
  reference = Records(g, 1);
  for (int workers : {2, 3, 4, 7, 0, -2}) {
    g.SetDepth(g.Depth());  // force a recomputation
    EXPECT_TRUE(SameBits(Records(g, workers), reference)) << workers << " workers";
  }
}

TEST(QVGenerator, ProgressReportsEveryRowOnce) {
  QVMain main;
  main.Parameter.ChangeWidth(4);
  main.Parameter.ChangeHeight(10);
  std::mutex lock;
  std::multiset<int> rows;
  QVGenerator& g = *main.Graph().Generators[0];
  qv::Pass pass = WorkersPass(3);
  pass.Progress = [&](const std::string& name, int row, int height) {
    std::lock_guard<std::mutex> guard(lock);
    EXPECT_EQ(height, 10);
    if (name == g.Name()) rows.insert(row);
  };
  g.Update(pass);
  EXPECT_EQ(rows, (std::multiset<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(QVGenerator, AStoppedComputationStaysOutOfDate) {
  QVMain main;
  main.Parameter.ChangeWidth(6);
  main.Parameter.ChangeHeight(6);
  QVGenerator& g = *main.Graph().Generators[0];
  std::stop_source stop;
  stop.request_stop();
  qv::Pass stopped;
  stopped.Stop = stop.get_token();
  EXPECT_FALSE(g.Update(stopped));
  EXPECT_EQ(g.ComputedFrom(), 0u);
  EXPECT_EQ(g.ResultStamp(), 0u);
  EXPECT_TRUE(g.Update(qv::Pass{}));  // the next pass computes it
  const uint64_t computed = g.ResultStamp();
  EXPECT_GT(computed, 0u);
  EXPECT_TRUE(g.Update(qv::Pass{}));
  EXPECT_EQ(g.ResultStamp(), computed) << "an up to date generator is not computed again";
}

TEST(QVGenerator, CopyClonesMethodsAndSharesParameters) {
  QVMain main;
  QVGenerator& g = *main.Graph().Generators[0];
  auto ball = qv::CloneAs(*FindMethod(OutputMethods(), "球"));
  ball->SetParamValue(0, {0.25, -0.5});
  g.SetOutputMethod(std::move(ball));
  g.SetDepth(37);
  g.SetRange(9);
  QVNodeGraph& graph = main.Graph();
  QVGenerator* copy = graph.CopyGenerator(g);
  ASSERT_EQ(graph.Generators.size(), 2u);
  EXPECT_EQ(graph.Generators[1], copy);
  EXPECT_NE(copy->Name(), g.Name());
  EXPECT_EQ(&copy->Parameter(), &main.Parameter);
  EXPECT_NE(&copy->OutputMethod(), &g.OutputMethod());
  EXPECT_EQ(copy->OutputMethod().Name(), "球");
  EXPECT_EQ(copy->OutputMethod().ParamValue(0), (QVComplex{0.25, -0.5}));
  EXPECT_EQ(copy->Depth(), 37);
  EXPECT_EQ(copy->Range(), 9.0);
  EXPECT_EQ(copy->FractalField.Width, 0);
  EXPECT_GT(copy->SourceStamp(), copy->ComputedFrom());
  EXPECT_EQ(graph.Effectors[0]->Generator(), &g);
}

}  // namespace
