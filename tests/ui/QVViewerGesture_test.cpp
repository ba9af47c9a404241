#include "ui/QVViewerGesture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/QVScan.h"
#include "tests/ui/DeepViews.h"
#include "ui/QVViewZoom.h"

namespace {

using G = QVViewerGesture;
using B = G::Button;
using A = G::Action;

// A rectangle centred at (400, 120), half sizes 80 x 60, in the given state.
G Placed(int32_t state = G::Placed) {
  G g;
  g.State = state, g.CenterX = 400, g.CenterY = 120, g.HalfWidth = 80, g.HalfHeight = 60;
  return g;
}

const QVView kView{{-0.5, 0.0}, 4.0};

}  // namespace

TEST(QVViewerGesture, WorkedZoomExample) {
  const G g = Placed();
  const std::optional<QVView> in = g.Zoom(400, 120, 640, 480, kView);
  ASSERT_TRUE(in);
  EXPECT_EQ(in->Viewpoint.re, 0.0);
  EXPECT_EQ(in->Viewpoint.im, 0.75);
  EXPECT_EQ(in->Scale, 1.0);
  const std::optional<QVView> out = g.Zoom(10, 10, 640, 480, kView);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->Viewpoint.re, 0.0);
  EXPECT_EQ(out->Scale, 16.0);
}

// A selection in a deep view moves the viewpoint from its every digit: the
// rectangle's centre (80 pixels right, 120 up of the picture's) becomes it.
TEST(QVViewerGesture, ADeepZoomKeepsEveryDigit) {
  const QVView view = qv::test::DeepTestView(40);
  const std::optional<QVView> in = Placed().Zoom(400, 120, 640, 480, view);
  ASSERT_TRUE(in);
  EXPECT_EQ(in->Scale, qv::KeptNumber(view.Scale / 4));
  const double pixel = view.Scale / 640;
  const qv::DecimalComplex moved = qv::PreciseViewpointOf(*in);
  EXPECT_NEAR(qv::test::DecimalDifference(moved.re, view.Precise.re), 80 * pixel, 1e-3 * pixel);
  EXPECT_NEAR(qv::test::DecimalDifference(moved.im, view.Precise.im), 120 * pixel, 1e-3 * pixel);
  // The digits beyond the double's are the point's, not rounding: the
  // viewpoint has more than 40 of them.
  EXPECT_GT(qv::SignificantDigits(moved.re), 40);
}

// Every row of the state table: state, event, condition -> effect, next state.
TEST(QVViewerGesture, StateTable) {
  struct Row {
    const char* name;
    int32_t state;
    char event;  // p press, m move, d double-click, r release
    B button;
    int32_t x, y;
    bool doubleClicked;
    int32_t next;
    A action;
  };
  const Row rows[] = {
      {"idle press", G::Idle, 'p', B::Left, 10, 20, false, G::Sizing, A::None},
      {"placed press near corner", G::Placed, 'p', B::Left, 325, 65, false, G::Sizing, A::None},
      {"sizing press near corner", G::Sizing, 'p', B::Left, 475, 175, false, G::Sizing, A::None},
      {"moving press near corner", G::Moving, 'p', B::Left, 480, 60, false, G::Sizing, A::None},
      {"placed press inside", G::Placed, 'p', B::Left, 400, 120, false, G::Moving, A::None},
      {"sizing press inside", G::Sizing, 'p', B::Left, 400, 120, false, G::Moving, A::None},
      {"placed press elsewhere", G::Placed, 'p', B::Left, 10, 10, false, G::Placed, A::None},
      {"moving press elsewhere", G::Moving, 'p', B::Left, 10, 10, false, G::Moving, A::None},
      {"right press ignored", G::Idle, 'p', B::Right, 10, 10, false, G::Idle, A::None},
      {"sizing move", G::Sizing, 'm', B::Left, 500, 0, false, G::Sizing, A::Redraw},
      {"moving move", G::Moving, 'm', B::Left, 5, 5, false, G::Moving, A::Redraw},
      {"placed move", G::Placed, 'm', B::Left, 5, 5, false, G::Placed, A::None},
      {"idle move", G::Idle, 'm', B::Left, 5, 5, false, G::Idle, A::None},
      {"double-click", G::Placed, 'd', B::Left, 400, 120, false, G::Moving, A::None},
      {"release after double-click", G::Moving, 'r', B::Left, 1, 1, true, G::Moving, A::Apply},
      {"release with a rectangle", G::Sizing, 'r', B::Left, 1, 1, false, G::Placed, A::None},
      {"right release placed", G::Placed, 'r', B::Right, 1, 1, false, G::Idle, A::Redraw},
      {"right release idle", G::Idle, 'r', B::Right, 1, 1, false, G::Idle, A::None},
      {"other release", G::Placed, 'r', B::Other, 1, 1, false, G::Placed, A::None},
      {"middle press keeps the rectangle", G::Placed, 'p', B::Middle, 1, 1, false, G::Placed,
       A::None},
  };
  for (const Row& row : rows) {
    G g = Placed(row.state);
    g.LastX = 0, g.LastY = 0;
    g.DoubleClicked = row.doubleClicked;
    A action = A::None;
    switch (row.event) {
      case 'p':
        action = g.Press(row.x, row.y, row.button);
        break;
      case 'm':
        action = g.Move(row.x, row.y, 640, 480);
        break;
      case 'd':
        action = g.DoubleClick(row.x, row.y);
        break;
      default:
        action = g.Release(row.x, row.y, row.button);
        break;
    }
    EXPECT_EQ(g.State, row.next) << row.name;
    EXPECT_EQ(action, row.action) << row.name;
  }
}

TEST(QVViewerGesture, EffectsOfPressAndMove) {
  G g;
  g.Press(100, 50, B::Left);
  EXPECT_EQ(g.CenterX, 100);
  EXPECT_EQ(g.CenterY, 50);
  EXPECT_EQ(g.HalfWidth, 0);
  g.Move(180, 999, 640, 480);  // the height follows the width's proportions
  EXPECT_EQ(g.HalfWidth, 80);
  EXPECT_EQ(g.HalfHeight, 60);
  g = Placed();
  g.Press(410, 130, B::Left);
  g.Move(420, 110, 640, 480);
  EXPECT_EQ(g.CenterX, 410);
  EXPECT_EQ(g.CenterY, 100);
  EXPECT_EQ(g.LastX, 420);
  EXPECT_EQ(g.LastY, 110);
}

TEST(QVViewerGesture, CornerWithin15PixelsResizesAt16Moves) {
  G g = Placed();  // corners at x 320, 480 and y 60, 180
  g.Press(320 + 15, 60 + 15, B::Left);
  EXPECT_EQ(g.State, G::Sizing);
  g = Placed();
  g.Press(320 + 16, 60 + 16, B::Left);
  EXPECT_EQ(g.State, G::Moving);
  g = Placed();
  g.Press(320 - 16, 60 - 16, B::Left);  // outside and not near: nothing
  EXPECT_EQ(g.State, G::Placed);
}

TEST(QVViewerGesture, VerticalDragAndFlatRectangleActAsAClickAtThePress) {
  G g;
  g.Press(100, 100, B::Left);
  g.Move(100, 300, 640, 480);
  EXPECT_EQ(g.HalfWidth, 0);
  EXPECT_EQ(g.Release(100, 300, B::Left), A::Apply);
  const std::optional<QVView> v = g.Zoom(100, 300, 640, 480, kView);
  EXPECT_EQ(v->Scale, 4.0);
  EXPECT_EQ(v->Viewpoint.re, -0.5 + (100 - 320) * (4.0 / 640));

  g = G();
  g.Press(100, 100, B::Left);
  g.Move(103, 100, 640, 160);  // 3 x 160 < 640: half height 0
  EXPECT_EQ(g.HalfHeight, 0);
  EXPECT_EQ(g.Release(103, 100, B::Left), A::Apply);
  EXPECT_EQ(g.Zoom(103, 100, 640, 160, kView)->Scale, 640 * 4.0 / 6);  // widened
}

// Moves of at most kClickSlop pixels from the press, in any direction and
// any order, leave a click: the view is recentred, never widened.
TEST(QVViewerGesture, AWobbleOfTwoPixelsIsAClick) {
  const int32_t wobbles[][2] = {{1, 0}, {-2, 1}, {2, -2}, {0, 2}, {-1, -1}};
  for (const auto& last : wobbles) {
    G g;
    g.Press(300, 200, B::Left);
    for (const auto& w : wobbles) g.Move(300 + w[0], 200 + w[1], 640, 480);
    g.Move(300 + last[0], 200 + last[1], 640, 480);
    EXPECT_EQ(g.HalfWidth, 0) << last[0] << "," << last[1];
    ASSERT_EQ(g.Release(300 + last[0], 200 + last[1], B::Left), A::Apply);
    EXPECT_EQ(g.Zoom(300 + last[0], 200 + last[1], 640, 480, kView)->Scale, 4.0);
  }
  G g;
  g.Press(300, 200, B::Left);
  g.Move(303, 200, 640, 480);  // three pixels: a drag
  EXPECT_EQ(g.HalfWidth, 3);
}

// A right click while the left button drags drops the whole gesture: no
// outline, and neither the left release nor the next click is lost or placed.
TEST(QVViewerGesture, ARightClickDuringADragCancelsTheGesture) {
  struct Row {
    const char* name;
    bool rightReleaseFirst;  // else the left button is released first
    bool placedBefore;       // the drag resizes a placed rectangle
  };
  const Row rows[] = {{"right up, then left up", true, false},
                      {"left up, then right up", false, false},
                      {"resizing a placed rectangle", true, true}};
  for (const Row& row : rows) {
    G g = row.placedBefore ? Placed() : G();
    g.Press(row.placedBefore ? 325 : 100, row.placedBefore ? 65 : 100, B::Left);
    g.Move(200, 100, 640, 480);
    ASSERT_TRUE(g.OutlineShown()) << row.name;
    EXPECT_EQ(g.Press(200, 100, B::Right), A::Redraw) << row.name;
    EXPECT_FALSE(g.OutlineShown()) << row.name;
    EXPECT_EQ(g.Move(250, 120, 640, 480), A::None) << row.name;
    const A first =
        row.rightReleaseFirst ? g.Release(250, 120, B::Right) : g.Release(250, 120, B::Left);
    const A second =
        row.rightReleaseFirst ? g.Release(250, 120, B::Left) : g.Release(250, 120, B::Right);
    EXPECT_EQ(first, A::None) << row.name;
    EXPECT_EQ(second, A::None) << row.name;
    EXPECT_EQ(g.State, G::Idle) << row.name;
    EXPECT_FALSE(g.OutlineShown()) << row.name;
    // The next click is a click.
    g.Press(40, 30, B::Left);
    EXPECT_EQ(g.Release(40, 30, B::Left), A::Apply) << row.name;
    EXPECT_EQ(g.Zoom(40, 30, 640, 480, kView)->Viewpoint.re, -0.5 + (40 - 320) * (4.0 / 640))
        << row.name;
  }
}

// The middle button shifts the shown picture while it drags; its release
// pans by the shift, or, after at most kClickSlop pixels, does nothing.
TEST(QVViewerGesture, TheMiddleButtonDragsTheView) {
  G g;
  EXPECT_EQ(g.Press(100, 100, B::Middle), A::None);
  EXPECT_EQ(g.Move(130, 90, 640, 480), A::Redraw);
  EXPECT_EQ(g.ShownShiftX(), 30);
  EXPECT_EQ(g.ShownShiftY(), -10);
  EXPECT_EQ(g.Release(130, 90, B::Middle), A::Pan);
  EXPECT_EQ(g.PanX, 30);
  EXPECT_EQ(g.PanY, -10);
  EXPECT_EQ(g.ShownShiftX(), 0);
  EXPECT_EQ(g.State, G::Idle);

  g.Press(100, 100, B::Middle);
  g.Move(102, 98, 640, 480);
  EXPECT_EQ(g.Release(102, 98, B::Middle), A::Redraw);  // a click: back in place

  g.Press(100, 100, B::Middle);
  g.Move(200, 100, 640, 480);
  EXPECT_EQ(g.Press(200, 100, B::Right), A::Redraw);  // cancelled
  EXPECT_EQ(g.ShownShiftX(), 0);
  EXPECT_EQ(g.Release(200, 100, B::Middle), A::None);
}

TEST(QVViewerGesture, DoubleClickWithoutRectangleAppliesTwice) {
  // Qt: press, release, double-click (in place of the second press), release.
  G g;
  QVView view = kView;
  g.Press(480, 240, B::Left);
  ASSERT_EQ(g.Release(480, 240, B::Left), A::Apply);
  view = *g.Zoom(480, 240, 640, 480, view);
  g.Finish();
  g.DoubleClick(480, 240);
  ASSERT_EQ(g.Release(480, 240, B::Left), A::Apply);
  view = *g.Zoom(480, 240, 640, 480, view);
  g.Finish();
  EXPECT_DOUBLE_EQ(view.Viewpoint.re, 1.5);  // moved by twice the point's offset
  EXPECT_EQ(view.Scale, 4.0);
  EXPECT_EQ(g.State, G::Idle);
  EXPECT_FALSE(g.DoubleClicked);
}

TEST(QVViewerGesture, DoubleClickInsidePlacedRectangleAppliesOnceAtSecondRelease) {
  G g = Placed();
  EXPECT_EQ(g.DoubleClick(400, 120), A::None);
  EXPECT_EQ(g.Release(400, 120, B::Left), A::Apply);
  EXPECT_EQ(g.Zoom(400, 120, 640, 480, kView)->Scale, 1.0);
}

TEST(QVViewerGesture, ZoomsThatLeaveThePlaneAreRefused) {
  const double max = std::numeric_limits<double>::max();
  G g = Placed();
  EXPECT_FALSE(g.Zoom(1, 1, 0, 480, kView));                    // no width
  EXPECT_FALSE(g.Zoom(1, 1, 640, 0, kView));                    // no height
  EXPECT_FALSE(g.Zoom(1, 1, 640, 480, {{0, 0}, max}));          // zoom out overflows
  EXPECT_FALSE(g.Zoom(400, 120, 640, 480, {{max, 0}, 1e300}));  // the viewpoint overflows
  g.HalfWidth = 1;
  EXPECT_FALSE(g.Zoom(400, 120, 640, 480, {{0, 0}, 4.9e-324}));  // scale underflows to 0
}

TEST(QVViewerGesture, ExtremeCoordinatesSaturate) {
  G g;
  g.Press(INT32_MIN, 0, B::Left);
  g.Move(INT32_MAX, 0, 1, INT32_MAX);
  EXPECT_EQ(g.HalfWidth, INT32_MAX);
  EXPECT_EQ(g.HalfHeight, INT32_MAX);
  g.State = G::Moving, g.LastX = INT32_MIN;
  g.Move(INT32_MAX, 0, 1, 1);
  EXPECT_EQ(g.CenterX, INT32_MAX);
}
