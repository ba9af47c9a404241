#include "engine/QVAutoDepth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "engine/QVSnapshot.h"
#include "tests/engine/EngineTestSupport.h"

// 1000 steps per decade below scale 4, rounded to nearest; the set depth when higher.
TEST(QVAutoDepth, RaisesTheSetDepthByDecadesBelowTheDefaultScale) {
  // {set depth, scale, depth used}
  const std::tuple<int32_t, double, int32_t> rows[] = {
      {100, 4.0, 100},       {100, 8.0, 100},          {100, 0.4, 1000},      {100, 4e-20, 20000},
      {100, 1e-100, 100602}, {200000, 1e-100, 200000}, {100, 4e-300, 300000}, {100, 0.0, 100},
      {100, -1.0, 100},      {100, std::nan(""), 100}, {100, 5e-324, 323908},
  };
  for (const auto& [set, scale, depth] : rows) {
    EXPECT_EQ(qv::AutoDepth(set, scale), depth) << set << " at " << scale;
  }
}

// Applied again from the set depths, a shallower view gets its own depth
// back: the rule never compounds.
TEST(QVAutoDepth, AppliesFromTheSetDepthsEachTime) {
  QVMain main;
  ASSERT_FALSE(main.Graph().Generators.empty());
  const std::vector<int32_t> set = qv::GeneratorDepths(main);
  main.Parameter.ChangeScale(4e-30);
  qv::ApplyAutoDepth(main, set);
  EXPECT_EQ(main.Graph().Generators.front()->Depth(), std::max(set.front(), 30000));
  main.Parameter.ChangeScale(4.0);
  qv::ApplyAutoDepth(main, set);
  EXPECT_EQ(qv::GeneratorDepths(main), set);
}

// A render with the depth following the zoom computes the very picture of
// the project with that depth set, and leaves the project's depth alone.
TEST(QVAutoDepth, ARenderComputesAtTheRaisedDepthAndKeepsTheProjects) {
  const auto setUp = [](QVMain& main) {
    main.Parameter.ChangeWidth(16);
    main.Parameter.ChangeHeight(12);
    main.Parameter.ChangeViewpoint({-0.7453, 0.1127});
    main.Parameter.ChangeScale(4e-3);  // 3000 steps
  };
  QVMain automatic, set, shallow;
  for (QVMain* m : {&automatic, &set, &shallow}) setUp(*m);
  automatic.AutoDepth = true;
  set.Graph().Generators.front()->SetDepth(3000);
  automatic.Render(nullptr, nullptr);
  automatic.WaitRender();
  ASSERT_TRUE(set.RunPass());
  ASSERT_TRUE(shallow.RunPass());
  const std::shared_ptr<const QVSnapshot> done = automatic.LatestSnapshot();
  ASSERT_TRUE(done && done->Output());
  EXPECT_EQ(done->Graph().Generators.front()->Depth(), 3000);
  EXPECT_EQ(automatic.Graph().Generators.front()->Depth(),
            shallow.Graph().Generators.front()->Depth());
  EXPECT_EQ(qv::test::MixerPixels(*done->Output()), qv::test::MixerPixels(*set.Graph().Mixers[0]));
  // The depth tells in this view: the set depth gives another picture.
  EXPECT_NE(qv::test::MixerPixels(*set.Graph().Mixers[0]),
            qv::test::MixerPixels(*shallow.Graph().Mixers[0]));
}
