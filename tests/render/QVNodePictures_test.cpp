// Node pictures: the thumbnail size, and every effector's and mixer's
// thumbnail equal to the node's picture in a render of the project itself
// written at that size and read back.
#include "render/QVNodePictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "engine/QVSnapshot.h"
#include "source/QVSourceReader.h"
#include "source/QVSourceWriter.h"

namespace {

using qv::NodeKind;

TEST(ThumbnailSize, FitsTheBoxWithTheProportionsKept) {
  struct Case {
    int32_t W, H;
    qv::PictureSize Expected;
  } cases[] = {
      {640, 480, {36, 27}}, {320, 240, {36, 27}}, {1000, 100, {36, 4}}, {100, 1000, {3, 27}},
      {1, 1, {27, 27}},     {4, 3, {36, 27}},     {100000, 1, {36, 1}}, {1, 100000, {1, 27}},
      {720, 480, {36, 24}}, {0, 480, {0, 0}},     {640, -1, {0, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(qv::ThumbnailSize(c.W, c.H), c.Expected) << c.W << " x " << c.H;
  }
}

// Generator1 -> Effector1 and Generator2 -> Effector2 (differential); Mixer1
// lays +Effector1, Mixer2 (on Mixer1) *Effector2 under a transparence of
// Effector1: every node reaches the output, so one plain pass of the project
// read back at the thumbnail size computes each of them.
void BuildTwoLayers(QVMain& main) {
  QVNodeGraph& graph = main.Graph();
  QVGenerator* g2 = graph.AddGenerator(&main.Parameter);
  g2->SetDepth(40);
  QVEffector* e2 = graph.AddEffector(g2);
  e2->SetDifferential(true);
  QVMixer* m2 = graph.AddMixer();
  m2->AppendSource('+', graph.Effectors[0]);
  m2->AppendSource('*', e2);
  m2->AppendTransparence('+', graph.Effectors[0]);
  m2->SetTransparenceType(1);
}

std::vector<int32_t> Pixels(const QVPictureRef& picture) {
  std::vector<int32_t> out;
  for (int32_t y = 0; picture && y < picture->Height(); ++y) {
    for (int32_t x = 0; x < picture->Width(); ++x) out.push_back(picture->Color(x, y));
  }
  return out;
}

std::vector<int32_t> Pixels(const QVRGBField& field) {
  std::vector<int32_t> out;
  for (int32_t y = 0; y < field.Height; ++y)
    out.insert(out.end(), field.Row(y), field.Row(y) + field.Width);
  return out;
}

TEST(RenderNodePictures, ThumbnailsEqualTheProjectRenderedAtThumbnailSize) {
  for (const auto& [w, h] : {std::pair{64, 48}, std::pair{50, 90}, std::pair{97, 13}}) {
    QVMain main;
    main.Parameter.ChangeWidth(w);
    main.Parameter.ChangeHeight(h);
    BuildTwoLayers(main);
    const qv::PictureSize size = qv::ThumbnailSize(w, h);

    QVSnapshot snapshot(main.Parameter, main.Graph(), qv::FrozenCopy{false});
    snapshot.SetSize(size.Width, size.Height);
    std::vector<qv::NodePicture> pictures;
    ASSERT_TRUE(qv::RenderNodePictures(snapshot, qv::Pass{}, {}, pictures));

    QVMain reference;
    ASSERT_TRUE(qv::ReadProject(reference, qv::WriteProject(main)).Ok);
    reference.Parameter.ChangeWidth(size.Width);
    reference.Parameter.ChangeHeight(size.Height);
    ASSERT_TRUE(reference.RunPass());
    const QVNodeGraph& graph = reference.Graph();
    ASSERT_EQ(pictures.size(), graph.Effectors.size() + graph.Mixers.size());
    for (const qv::NodePicture& p : pictures) {
      const QVRGBField& field = p.Kind == NodeKind::Effector ? graph.Effectors[p.Row]->RGBField
                                                             : graph.Mixers[p.Row]->RGBField;
      ASSERT_TRUE(p.Picture);
      EXPECT_EQ(p.Picture->Width(), size.Width);
      EXPECT_EQ(p.Picture->Height(), size.Height);
      EXPECT_EQ(Pixels(p.Picture), Pixels(field))
          << w << " x " << h << ", " << (p.Kind == NodeKind::Effector ? "effector " : "mixer ")
          << p.Row;
    }
    const std::vector<int32_t> output = Pixels(pictures.back().Picture);
    EXPECT_NE(std::count(output.begin(), output.end(), output[0]), static_cast<long>(output.size()))
        << "a picture of one colour compares nothing";
  }
}

TEST(RenderNodePictures, OneChosenNodeAndAnEffectorWithoutGenerator) {
  QVMain main;
  main.Parameter.ChangeWidth(30);
  main.Parameter.ChangeHeight(20);
  main.Graph().AddEffector(nullptr);
  QVSnapshot snapshot(main.Parameter, main.Graph(), qv::FrozenCopy{false});
  std::vector<qv::NodePicture> pictures;
  ASSERT_TRUE(qv::RenderNodePictures(snapshot, qv::Pass{}, {NodeKind::Effector, 1}, pictures));
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_EQ(pictures[0].Row, 1);
  EXPECT_FALSE(pictures[0].Picture);  // no generator: no picture

  pictures.clear();
  ASSERT_TRUE(qv::RenderNodePictures(snapshot, qv::Pass{}, {NodeKind::Mixer, 0}, pictures));
  ASSERT_EQ(pictures.size(), 1u);
  ASSERT_TRUE(pictures[0].Picture);
  EXPECT_EQ(pictures[0].Picture->Width(), 30);
}

TEST(RenderNodePictures, AStoppedPassGivesUp) {
  QVMain main;
  QVSnapshot snapshot(main.Parameter, main.Graph(), qv::FrozenCopy{false});
  std::stop_source stop;
  stop.request_stop();
  qv::Pass pass;
  pass.Stop = stop.get_token();
  std::vector<qv::NodePicture> pictures;
  EXPECT_FALSE(qv::RenderNodePictures(snapshot, pass, {}, pictures));
}

}  // namespace
