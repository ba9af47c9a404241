// The viewer shows the passes of a render that sharpens: previews of blocks
// first, then the exact picture, which replaces them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <vector>

#include "UiTestSupport.h"
#include "engine/QVMain.h"
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

}  // namespace
