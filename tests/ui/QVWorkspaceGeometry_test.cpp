#include "ui/QVWorkspaceGeometry.h"

#include <gtest/gtest.h>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"

namespace {

using qv::LineSegment;
using qv::NodeKind;
using qv::PanelRect;
using qv::WorkspaceGeometry;
using qv::WorkspaceLink;

TEST(WorkspaceGeometry, PanelsStandInColumnsAndRows) {
  const struct {
    NodeKind kind;
    int32_t row;
    PanelRect rect;
  } cases[] = {
      {NodeKind::Generator, 0, {4, 4, 108, 32}},
      {NodeKind::Effector, 2, {136, 76, 108, 32}},
      {NodeKind::Mixer, 9, {268, 328, 108, 32}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WorkspaceGeometry::Panel(c.kind, c.row), c.rect) << "row " << c.row;
  }
}

TEST(WorkspaceGeometry, LineRunsFromRightEdgeMiddleToLeftEdgeMiddle) {
  EXPECT_EQ(WorkspaceGeometry::Line({NodeKind::Generator, 1, 3}), (LineSegment{112, 56, 136, 128}));
  EXPECT_EQ(WorkspaceGeometry::Line({NodeKind::Effector, 0, 0}), (LineSegment{244, 20, 268, 20}));
}

TEST(WorkspaceGeometry, SurfaceGrowsPastEightRowsSoEveryPanelIsReached) {
  EXPECT_EQ(WorkspaceGeometry::SurfaceHeight(0), 320);
  EXPECT_EQ(WorkspaceGeometry::SurfaceHeight(8), 320);
  EXPECT_EQ(WorkspaceGeometry::SurfaceHeight(9), 328);
  for (int32_t rows = 1; rows <= 30; ++rows) {
    const PanelRect last = WorkspaceGeometry::Panel(NodeKind::Mixer, rows - 1);
    EXPECT_LE(last.Top + last.Height, WorkspaceGeometry::SurfaceHeight(rows)) << rows;
    EXPECT_LE(last.Left + last.Width, WorkspaceGeometry::SurfaceWidth()) << rows;
  }
}

// The project's graph: Generator1 -> Effector1 -> Mixer1, plus what a test adds.
class WorkspaceLinks : public ::testing::Test {
 protected:
  std::vector<WorkspaceLink> Links() const {
    return qv::GraphLinks(main_.Graph().Generators, main_.Graph().Effectors, main_.Graph().Mixers);
  }
  QVMain main_;
};

TEST_F(WorkspaceLinks, DefaultGraphHasOneLinePerLink) {
  EXPECT_EQ(Links(),
            (std::vector<WorkspaceLink>{{NodeKind::Generator, 0, 0}, {NodeKind::Effector, 0, 0}}));
}

TEST_F(WorkspaceLinks, SourcesThenTransparencesWithCoincidentLines) {
  auto* e2 = new QVEffector(main_.Graph(), main_.Graph().Generators[0]);
  auto* unlinked = new QVEffector(main_.Graph(), nullptr);
  auto* m2 = new QVMixer(main_.Graph());
  m2->AppendSource('+', main_.Graph().Effectors[0]);
  m2->AppendSource('*', e2);
  m2->AppendTransparence('+', main_.Graph().Effectors[0]);
  const std::vector<WorkspaceLink> expected = {
      {NodeKind::Generator, 0, 0}, {NodeKind::Generator, 0, 1},  // no line into row 2
      {NodeKind::Effector, 0, 0},  {NodeKind::Effector, 0, 1},
      {NodeKind::Effector, 1, 1},  {NodeKind::Effector, 0, 1}};
  EXPECT_EQ(Links(), expected);
  const auto lines = WorkspaceGeometry::Lines(Links());
  EXPECT_EQ(lines[3], lines[5]);
  EXPECT_EQ(lines[5], (LineSegment{244, 20, 268, 56}));
  EXPECT_EQ(unlinked->Generator(), nullptr);
}

}  // namespace
