// Edits made in the editor while a render runs: they neither stop the render
// nor reach it, and the render's picture is the project as it was when the
// render started. Run under ThreadSanitizer with the other ui tests, this also
// checks that the UI thread and the render share no unguarded data.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>

#include "UiTestSupport.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "source/QVSourceReader.h"
#include "source/QVSourceWriter.h"
#include "ui/UnitDERevezaRudu.h"
#include "ui/UnitParameter.h"
#include "ui/UnitViewer.h"

namespace {

// The picture one uninterrupted pass gives for text, in the viewer's colours.
std::vector<int32_t> Reference(const std::string& text) {
  QVMain main;
  EXPECT_TRUE(qv::ReadProject(main, text).Ok);
  EXPECT_TRUE(main.RunPass());
  const QVRGBField& f = main.Graph().Mixers.back()->RGBField;
  std::vector<int32_t> out;
  for (int32_t y = 0; y < f.Height; ++y) {
    for (int32_t x = 0; x < f.Width; ++x) out.push_back(f.Pixel(x, y));
  }
  return out;
}

std::vector<int32_t> Shown(const TFormViewer& viewer) {
  std::vector<int32_t> out;
  const QVPictureRef& p = viewer.PictureRef();
  for (int32_t y = 0; p && y < p->Height(); ++y) {
    for (int32_t x = 0; x < p->Width(); ++x) out.push_back(p->Color(x, y));
  }
  return out;
}

TEST(EditDuringRender, EditsNeitherStopTheRenderNorReachIt) {
  qv::test::ErrorRecorder errors;
  TFormViewer viewer;
  TForm1 form{&viewer};
  TFrameParameter& frame = *form.FrameParameter1;
  qv::test::Commit(frame.EditWidth, "96");
  qv::test::Commit(frame.EditHeight, "72");
  qv::test::Commit(frame.EditViewpointR, "-0.2");
  qv::test::Commit(frame.EditScale, "0.3");
  form.Main().Graph().Generators.front()->SetDepth(50000);
  const std::string started = qv::WriteProject(form.Main());
  form.Button2Click();
  ASSERT_TRUE(form.Main().Rendering());
  const uint64_t generation = viewer.RenderGeneration();
  // Edits as the user makes them, on the UI thread, while the workers run.
  qv::test::Commit(frame.EditScale, "0.25");
  qv::test::Commit(frame.EditViewpointI, "0.125");
  qv::test::Commit(frame.EditWidth, "40");
  form.Main().Graph().Generators.front()->SetDepth(64);
  EXPECT_TRUE(form.Main().Rendering()) << "an edit stopped the render";
  EXPECT_EQ(viewer.RenderGeneration(), generation);
  ASSERT_TRUE(qv::test::WaitFor([&] { return !form.Main().Rendering(); }));
  QApplication::sendPostedEvents();
  QApplication::processEvents();
  EXPECT_EQ(viewer.PictureProject(), started);
  EXPECT_EQ(Shown(viewer), Reference(started));
  // The next render shows the edits.
  const std::string edited = qv::WriteProject(form.Main());
  form.Button2Click();
  ASSERT_TRUE(qv::test::WaitFor([&] { return !form.Main().Rendering(); }));
  QApplication::sendPostedEvents();
  QApplication::processEvents();
  EXPECT_EQ(Shown(viewer), Reference(edited));
  EXPECT_TRUE(errors.Messages.empty());
}

}  // namespace
