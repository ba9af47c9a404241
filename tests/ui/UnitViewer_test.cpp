#include "ui/UnitViewer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QWheelEvent>

#include "UiTestSupport.h"
#include "engine/QVGenerator.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "engine/deep/QVDeepKernel.h"
#include "engine/methods/QVMethodLists.h"
#include "source/QVSourceWriter.h"
#include "tests/ui/DeepViews.h"
#include "ui/QVEditSession.h"
#include "ui/QVEditorSettings.h"
#include "ui/QVText.h"
#include "ui/UnitDERevezaRudu.h"
#include "ui/UnitParameter.h"

namespace {

// The viewer and the editing window, as the program creates them; each test
// starts from a finished render of the default project (320 x 320, scale 4,
// viewpoint 0).
struct Viewer {
  qv::test::ErrorRecorder errors;
  TFormViewer viewer;
  TForm1 form{&viewer};
  QVParameter& parameter = form.Main().Parameter;

  // Runs the event loop until the latest render has ended, its posts ran and
  // the caption's final count gave way to the ended caption.
  bool Settle() {
    const bool ended = qv::test::WaitFor([this] { return !form.Main().Rendering(); });
    QApplication::sendPostedEvents();
    QApplication::processEvents();
    return ended && qv::test::WaitFor([this] {
             return viewer.windowTitle() ==
                    qv::ToQString(viewer.Status.Caption(viewer.BaseCaption));
           });
  }
  bool Render() {
    form.Button2Click();
    return Settle() && viewer.Status.Current() == QVViewerStatus::State::Finished;
  }
  void Wheel(QPoint at, int angle) {
    QWheelEvent wheel(at, viewer.ImageViewer->mapToGlobal(at), QPoint(), QPoint(0, angle),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewer.ImageViewer, &wheel);
  }
  void Key(int key) { QTest::keyClick(viewer.ImageViewer, static_cast<Qt::Key>(key)); }
  std::string StatusText() const { return qv::FromQString(viewer.LabelRender->text()); }
  QVComplex PointAt(QPoint p) const {
    return qv::PointAt({parameter.Viewpoint(), parameter.Scale()}, parameter.Width(),
                       parameter.Height(), p.x(), p.y());
  }
};

}  // namespace

// A notch forward zooms in 2x about the pointer and renders; the frame shows
// the new view; the point under the pointer stays on its pixel.
TEST(TFormViewer, AWheelNotchZoomsTwiceAboutThePointer) {
  Viewer v;
  ASSERT_TRUE(v.Render());
  const QPoint at(250, 60);
  const QVComplex point = v.PointAt(at);
  const uint64_t before = v.viewer.RenderGeneration();
  v.Wheel(at, 120);
  EXPECT_EQ(v.parameter.Scale(), 2.0);
  EXPECT_GT(v.viewer.RenderGeneration(), before);
  const QVComplex after = v.PointAt(at);
  EXPECT_NEAR(after.re, point.re, 2.0 / 320 / 1000);
  EXPECT_NEAR(after.im, point.im, 2.0 / 320 / 1000);
  EXPECT_EQ(v.form.FrameParameter1->EditScale->text(), QStringLiteral("2"));
  v.Wheel(at, -60);  // half a notch back out
  EXPECT_DOUBLE_EQ(v.parameter.Scale(), 2.0 * std::sqrt(2.0));
  ASSERT_TRUE(v.Settle());
  EXPECT_EQ(v.viewer.Status.Current(), QVViewerStatus::State::Finished);
  EXPECT_EQ(v.StatusText().rfind("描画完了 ", 0), 0u) << v.StatusText();
}

// The point under a pointer at rest follows every change of the view: a
// zoom, and its undo.
TEST(TFormViewer, ThePointUnderARestingPointerFollowsTheView) {
  Viewer v;
  ASSERT_TRUE(v.Render());
  QMouseEvent move(QEvent::MouseMove, QPointF(250, 60), QPointF(250, 60), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(v.viewer.ImageViewer, &move);
  const QString before = v.viewer.LabelPoint->text();
  ASSERT_FALSE(before.isEmpty());
  v.Key(Qt::Key_Plus);
  v.form.Session().Checkpoint();
  const QString zoomed = v.viewer.LabelPoint->text();
  EXPECT_NE(zoomed, before);
  v.form.Session().Undo();
  EXPECT_EQ(v.viewer.LabelPoint->text(), before);
}

TEST(TFormViewer, KeysZoomAboutTheCentrePanRenderAndStop) {
  Viewer v;
  ASSERT_TRUE(v.Render());
  v.Key(Qt::Key_Plus);
  EXPECT_EQ(v.parameter.Scale(), 2.0);
  EXPECT_EQ(v.parameter.Viewpoint().re, 0.0);
  v.Key(Qt::Key_Minus);
  EXPECT_EQ(v.parameter.Scale(), 4.0);
  v.Key(Qt::Key_Left);  // the view moves left by an eighth of the picture
  EXPECT_EQ(v.parameter.Viewpoint().re, -0.5);
  v.Key(Qt::Key_Up);
  EXPECT_EQ(v.parameter.Viewpoint().im, 0.5);
  // Esc stops the running render: the caption and the status line say so.
  v.Key(Qt::Key_Escape);
  ASSERT_TRUE(v.Settle());
  EXPECT_EQ(v.viewer.windowTitle(), qv::ToQString(v.viewer.BaseCaption + " [中断]"));
  EXPECT_EQ(v.viewer.Status.Current(), QVViewerStatus::State::Stopped);
  EXPECT_NE(v.StatusText().find("中断"), std::string::npos);
  // F5 renders it.
  v.Key(Qt::Key_F5);
  ASSERT_TRUE(v.Settle());
  EXPECT_EQ(v.viewer.Status.Current(), QVViewerStatus::State::Finished);
  EXPECT_EQ(v.viewer.windowTitle(), qv::ToQString(v.viewer.BaseCaption));
}

// 描画 again, or a box that stores its value again, does not restart the
// render of the same project, running or finished; a change does.
TEST(TFormViewer, AnUnchangedProjectIsNotRenderedAgain) {
  Viewer v;
  ASSERT_TRUE(v.Render());
  const uint64_t finished = v.viewer.RenderGeneration();
  v.form.Button2Click();
  v.parameter.ChangeScale(v.parameter.Scale());  // touched, not changed
  v.form.Button2Click();
  EXPECT_EQ(v.viewer.RenderGeneration(), finished);
  v.parameter.ChangeScale(3.0);
  v.form.Button2Click();
  const uint64_t running = v.viewer.RenderGeneration();
  EXPECT_GT(running, finished);
  v.form.Button2Click();  // while it runs, or before its end arrived
  EXPECT_EQ(v.viewer.RenderGeneration(), running);
  ASSERT_TRUE(v.Settle());
}

TEST(TFormViewer, AProjectWithoutAMixerSaysWhyNothingIsDrawn) {
  Viewer v;
  ASSERT_TRUE(v.Render());
  const uint64_t before = v.viewer.RenderGeneration();
  v.form.Main().Graph().DeleteNode(v.form.Main().Graph().Mixers.back());
  v.form.Button2Click();
  EXPECT_EQ(v.viewer.RenderGeneration(), before);
  EXPECT_EQ(v.viewer.Status.Current(), QVViewerStatus::State::NothingToDraw);
  EXPECT_NE(v.StatusText().find("ミキサーがない"), std::string::npos) << v.StatusText();
  ASSERT_TRUE(v.Settle());
  EXPECT_EQ(v.viewer.windowTitle(), qv::ToQString(v.viewer.BaseCaption));
}

// A picture of a new size, here after a zoom by the wheel, resizes the
// picture surface, so nothing of it is cut off.
TEST(TFormViewer, TheViewerFollowsThePictureSize) {
  Viewer v;
  ASSERT_TRUE(v.Render());
  v.parameter.ChangeWidth(400);
  v.parameter.ChangeHeight(200);
  v.Wheel(QPoint(10, 10), 120);
  ASSERT_TRUE(v.Settle());
  EXPECT_EQ(v.viewer.Picture().size(), QSize(400, 200));
  EXPECT_EQ(v.viewer.ImageViewer->size(), QSize(400, 200));
}

// The middle button drags the view; a right click in the middle of a left
// drag drops it, and the next click recentres as a click does.
TEST(TFormViewer, MiddleDragPansAndRightClickCancelsADrag) {
  Viewer v;
  ASSERT_TRUE(v.Render());
  QWidget* image = v.viewer.ImageViewer;
  QTest::mousePress(image, Qt::MiddleButton, {}, QPoint(100, 100));
  QTest::mouseMove(image, QPoint(140, 100));
  EXPECT_EQ(v.viewer.PictureShift(), QPoint(40, 0));
  QTest::mouseRelease(image, Qt::MiddleButton, {}, QPoint(140, 100));
  EXPECT_EQ(v.parameter.Viewpoint().re, -0.5);        // 40 of 320 pixels at scale 4
  EXPECT_EQ(v.viewer.PictureShift(), QPoint(40, 0));  // until the new picture
  ASSERT_TRUE(v.Settle());
  EXPECT_EQ(v.viewer.PictureShift(), QPoint(0, 0));

  QTest::mousePress(image, Qt::LeftButton, {}, QPoint(100, 100));
  QTest::mouseMove(image, QPoint(180, 100));
  QTest::mousePress(image, Qt::RightButton, Qt::KeyboardModifiers(), QPoint(180, 100));
  QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(180, 100));
  QTest::mouseRelease(image, Qt::RightButton, {}, QPoint(180, 100));
  EXPECT_EQ(v.viewer.Gesture.State, QVViewerGesture::Idle);
  EXPECT_EQ(v.parameter.Viewpoint().re, -0.5);
  EXPECT_EQ(v.parameter.Scale(), 4.0);
  QTest::mouseClick(image, Qt::LeftButton, {}, QPoint(200, 160));
  EXPECT_EQ(v.parameter.Viewpoint().re, -0.5 + 40 * (4.0 / 320));
  EXPECT_EQ(v.parameter.Scale(), 4.0);
  ASSERT_TRUE(v.Settle());
}

// A notch deeper than the viewpoint's digits can hold the point changes
// nothing, and the status line says why.
TEST(TFormViewer, ARefusedZoomSaysWhy) {
  Viewer v;
  v.parameter.ChangeViewpoint({0.5, 0.25});
  v.parameter.ChangeScale(1e305);
  ASSERT_TRUE(v.Render());
  const uint64_t before = v.viewer.RenderGeneration();
  v.Wheel(QPoint(10, 10), -2400);  // twenty notches out: beyond the largest double
  EXPECT_EQ(v.parameter.Scale(), 1e305);
  EXPECT_EQ(v.viewer.RenderGeneration(), before);
  EXPECT_EQ(v.StatusText().rfind("これ以上縮小できません", 0), 0u) << v.StatusText();
  v.Wheel(QPoint(10, 10), 120);  // in is fine
  EXPECT_EQ(v.parameter.Scale(), 5e304);
  ASSERT_TRUE(v.Settle());
}

// 深さ自動 raises the depth of the renders (the status line says which) and
// changes nothing of the project; it is remembered as an editor setting.
TEST(TFormViewer, AutoDepthRaisesTheRendersDepthNotTheProjects) {
  Viewer v;
  const QVView start = qv::test::DeepTestView(30);
  v.parameter.ChangePreciseViewpoint(start.Precise);
  v.parameter.ChangeScale(start.Scale);
  ASSERT_TRUE(v.Render());
  const std::string project = qv::WriteProject(v.form.Main());
  QCheckBox* box = v.form.FrameParameter1->CheckBoxAutoDepth;
  ASSERT_FALSE(box->isChecked());
  box->click();
  ASSERT_TRUE(v.Settle());
  EXPECT_TRUE(v.form.Main().AutoDepth);
  EXPECT_TRUE(qv::EditorSettings::AutoDepth());
  // 1000 log10(4 / 1E-30) = 30602.06
  EXPECT_NE(v.StatusText().find("深さ 30602"), std::string::npos) << v.StatusText();
  EXPECT_EQ(v.form.Main().LatestSnapshot()->Graph().Generators.front()->Depth(), 30602);
  EXPECT_EQ(qv::WriteProject(v.form.Main()), project);
  box->click();
  ASSERT_TRUE(v.Settle());
  EXPECT_FALSE(v.form.Main().AutoDepth);
  EXPECT_FALSE(qv::EditorSettings::AutoDepth());
}

// The wheel and the arrow keys move a deep project's viewpoint from its every
// digit: the pointer's point stays under it, a pan moves by its pixels.
TEST(TFormViewer, DeepZoomsAndPansKeepEveryDigit) {
  Viewer v;
  const QVView start = qv::test::DeepTestView(30);
  v.parameter.ChangePreciseViewpoint(start.Precise);
  v.parameter.ChangeScale(start.Scale);
  v.Wheel(QPoint(160 + 32, 160), 120);  // in about a point 32 pixels right of the centre
  ASSERT_TRUE(v.Settle());
  EXPECT_EQ(v.parameter.Scale(), 5e-31);
  const double pixel = 1e-30 / 320;
  const qv::DecimalComplex zoomed = v.parameter.PreciseViewpoint();
  EXPECT_NEAR(qv::test::DecimalDifference(zoomed.re, start.Precise.re), 16 * pixel, 1e-3 * pixel);
  EXPECT_NEAR(qv::test::DecimalDifference(zoomed.im, start.Precise.im), 0.0, 1e-3 * pixel);
  v.Key(Qt::Key_Right);  // the view moves right by an eighth of the picture, 40 pixels
  ASSERT_TRUE(v.Settle());
  const qv::DecimalComplex panned = v.parameter.PreciseViewpoint();
  EXPECT_NEAR(qv::test::DecimalDifference(panned.re, zoomed.re), 40 * pixel / 2, 1e-3 * pixel);
  EXPECT_GT(qv::SignificantDigits(panned.re), 33);
  // The status line tells the deep path and its depth; zoomed out to an
  // ordinary view, it says nothing of it.
  const std::string depth = std::to_string(v.form.Main().Graph().Generators.front()->Depth());
  EXPECT_NE(v.StatusText().find("深い視点（摂動計算）深さ " + depth), std::string::npos)
      << v.StatusText();
  v.parameter.ChangeScale(4.0);
  ASSERT_TRUE(v.Render());
  EXPECT_EQ(v.StatusText().find("深い視点"), std::string::npos) << v.StatusText();
}

// A deep view of a formula without a deep path is told on the status line
// (its picture is blocks of equal pixels), and only at a deep view.
TEST(TFormViewer, ADeepViewOfAFormulaWithoutADeepPathIsTold) {
  Viewer v;
  const QVView start = qv::test::DeepTestView(30);
  v.parameter.ChangePreciseViewpoint(start.Precise);
  v.parameter.ChangeScale(start.Scale);
  for (const QVFractalMethod* f : FractalMethods()) {
    v.parameter.ChangeFractalMethod(qv::CloneAs(*f));
    ASSERT_TRUE(v.Render());
    const bool told =
        v.StatusText().find("」は深い視点（摂動計算）に対応していません") != std::string::npos;
    const bool deep = v.StatusText().find("深い視点（摂動計算）深さ") != std::string::npos;
    EXPECT_EQ(told, qv::DeepFormulaKind(*f) < 0) << f->Name() << ": " << v.StatusText();
    EXPECT_NE(told, deep) << f->Name() << ": " << v.StatusText();
    if (told) {
      EXPECT_EQ(v.StatusText().rfind("式「" + f->Name() + "」", 0), 0u) << v.StatusText();
      EXPECT_NE(v.StatusText().find("1E-30"), std::string::npos) << v.StatusText();
    }
  }
  v.parameter.ChangeScale(1e-6);
  ASSERT_TRUE(v.Render());
  EXPECT_EQ(v.StatusText().find("深い視点"), std::string::npos) << v.StatusText();
}
