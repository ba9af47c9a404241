// A render to a picture file stopped through its stop token: it ends within
// the node being computed and leaves no file, not even a temporary one.
#include "render/QVRenderToFile.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stop_token>
#include <string>

#include "engine/QVMain.h"
#include "image/ImageTestSupport.h"
#include "render/RenderTestPictures.h"
#include "source/QVSourceReader.h"
#include "source/QVSourceWriter.h"

namespace qv::test {
namespace {

TEST(RenderToFile, AStopEndsTheRenderWithinANodeAndWritesNothing) {
  ScratchDir dir;
  QVMain main;
  // Every pixel inside the main cardioid at a deep depth: seconds of work on
  // one worker, so the render is still computing when the stop comes.
  std::string text = ReplaceFirst(WriteProject(main), "Viewpoint: (0, 0)", "Viewpoint: (-0.25, 0)");
  text = ReplaceFirst(ReplaceFirst(text, "Scale: 4", "Scale: 0.5"), "Depth: 100", "Depth: 50000");
  text = ReplaceFirst(ReplaceFirst(text, "Width: 320", "Width: 200"), "Height: 320", "Height: 200");
  ASSERT_TRUE(ReadProject(main, text).Ok);
  main.SetWorkers(1);
  for (const PictureFormat format : {PictureFormat::Png, PictureFormat::Bmp}) {
    std::stop_source stop;
    std::atomic<int> reports{0};
    std::atomic<int64_t> done{0}, total{0};
    BandProgress progress;
    progress.Sink = [&](const std::string&, int64_t rows, int64_t of) {
      ++reports;
      done = rows, total = of;
      stop.request_stop();  // from the render's own thread, as a host's sink may
    };
    PictureRenderOptions options;
    options.Format = format;
    EXPECT_EQ(RenderToFile(main, options, dir.File("a.pic"), stop.get_token(), progress),
              kStoppedMessage);
    EXPECT_EQ(reports.load(), 1);  // no report after the stop, not even the final one
    EXPECT_LT(done.load(), total.load());
    EXPECT_TRUE(dir.Entries().empty());
    EXPECT_EQ(main.Parameter.Width, 200);  // the project is as it was
  }
}

}  // namespace
}  // namespace qv::test
