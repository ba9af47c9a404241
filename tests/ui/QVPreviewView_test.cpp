// The viewer shows the passes of a render that sharpens: previews of blocks
// first, then the exact picture, which replaces them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <vector>

#include "UiTestSupport.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "source/QVSourceReader.h"
#include "ui/QVText.h"
#include "ui/UnitDERevezaRudu.h"
#include "ui/UnitViewer.h"

namespace {

TEST(TFormViewer, PreviewsOfBlocksComeBeforeTheExactPicture) {
  qv::test::ErrorRecorder errors;
  TFormViewer viewer;
  TForm1 form{&viewer};
  std::vector<QImage> previews;
  viewer.OnPreviewShown = [&] { previews.push_back(viewer.Preview().copy()); };
  form.Main().Parameter.ChangeViewpoint({-0.5, 0.125});
  viewer.StartRender();
  ASSERT_TRUE(qv::test::WaitFor([&] { return !form.Main().Rendering(); }));
  QApplication::sendPostedEvents();
  QApplication::processEvents();
  ASSERT_FALSE(viewer.Picture().isNull());
  EXPECT_TRUE(viewer.Preview().isNull());
  ASSERT_EQ(previews.size(), 3u);
  const QImage exact = viewer.Picture();
  const int strides[] = {8, 4, 2};
  for (size_t i = 0; i < previews.size(); ++i) {
    const int s = strides[i];
    ASSERT_EQ(previews[i].size(), exact.size());
    for (int y = 0; y < exact.height(); ++y) {
      for (int x = 0; x < exact.width(); ++x) {
        ASSERT_EQ(previews[i].pixel(x, y), exact.pixel(x - x % s, y - y % s))
            << "stride " << s << ", pixel (" << x << ", " << y << ")";
      }
    }
  }
  // Nothing out of date: no previews, the picture at once.
  viewer.StartRender();
  ASSERT_TRUE(qv::test::WaitFor([&] { return !form.Main().Rendering(); }));
  QApplication::sendPostedEvents();
  QApplication::processEvents();
  EXPECT_EQ(previews.size(), 3u);
  EXPECT_TRUE(errors.Messages.empty());
}

// The picture of a project text, rendered in one pass in a fresh project.
QImage PlainPicture(const std::string& text) {
  QVMain main;
  EXPECT_TRUE(qv::ReadProject(main, text).Ok);
  EXPECT_TRUE(main.RunPass());
  const QVRGBField& f = main.Graph().Mixers.back()->RGBField;
  QImage image(f.Width, f.Height, QImage::Format_RGB32);
  for (int32_t y = 0; y < f.Height; ++y) {
    for (int32_t x = 0; x < f.Width; ++x)
      image.setPixel(x, y, QVPicture::FromEngineColor(f.Pixel(x, y)));
  }
  return image;
}

// Ctrl + left button held: frame after frame zooms in about the pointer, each
// the exact picture of its view (no previews), until the button is released.
TEST(TFormViewer, LiveZoomShowsExactFramesWhileTheButtonIsHeld) {
  qv::test::ErrorRecorder errors;
  TFormViewer viewer;
  TForm1 form{&viewer};
  form.Main().Parameter.ChangeWidth(64);
  form.Main().Parameter.ChangeHeight(48);
  form.Main().Parameter.ChangeViewpoint({-0.5, 0});
  form.Main().Parameter.ChangeScale(3);
  viewer.SetImageSize(64, 48);
  int previews = 0, pictures = 0, rateShown = 0;
  std::vector<std::pair<QImage, std::string>> frames;
  viewer.OnPreviewShown = [&] { ++previews; };
  viewer.OnPictureShown = [&] {
    if (viewer.LabelRender->text().contains(QStringLiteral(" fps"))) ++rateShown;
    if (++pictures % 3 == 0) frames.emplace_back(viewer.Picture().copy(), viewer.PictureProject());
  };
  QTest::mousePress(viewer.ImageViewer, Qt::LeftButton, Qt::ControlModifier, QPoint(10, 30));
  EXPECT_TRUE(viewer.LiveZoom.Active());
  ASSERT_TRUE(qv::test::WaitFor([&] { return pictures >= 12; }));
  QTest::mouseRelease(viewer.ImageViewer, Qt::LeftButton, Qt::ControlModifier, QPoint(10, 30));
  EXPECT_FALSE(viewer.LiveZoom.Active());
  ASSERT_TRUE(qv::test::WaitFor([&] { return !form.Main().Rendering(); }));
  QApplication::sendPostedEvents();
  QApplication::processEvents();
  EXPECT_EQ(previews, 0);
  EXPECT_GT(rateShown, 0) << "the status line shows the frame rate";
  EXPECT_LT(form.Main().Parameter.Scale(), 3.0);
  EXPECT_EQ(viewer.Gesture.State, QVViewerGesture::Idle);
  ASSERT_GE(frames.size(), 4u);
  for (const auto& [picture, project] : frames) {
    EXPECT_EQ(picture.convertToFormat(QImage::Format_RGB32), PlainPicture(project));
  }
  EXPECT_TRUE(errors.Messages.empty());
}

}  // namespace
