// A render to a picture file stopped through its stop token: it ends within
// the node being computed, or before the file is put in place, and leaves the
// old file, not even a temporary one. A finished picture written through the
// same service is the picture writer's file, byte for byte.
#include "render/QVRenderToFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <set>
#include <stop_token>
#include <string>

#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "engine/QVSnapshot.h"
#include "image/ImageTestSupport.h"
#include "image/QVProjectPicture.h"
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
    EXPECT_EQ(main.Parameter.Width(), 200);  // the project is as it was
  }
}

// A stop that comes after the last row was encoded (the final report) still
// replaces nothing: the file is put in place only after a last look.
TEST(RenderToFile, AStopAfterTheLastRowKeepsTheOldFile) {
  ScratchDir dir;
  QVMain main;
  WriteBytes(dir.File("a.png"), "old");
  std::stop_source stop;
  BandProgress progress;
  progress.Sink = [&](const std::string&, int64_t done, int64_t total) {
    if (done == total) stop.request_stop();
  };
  EXPECT_EQ(RenderToFile(main, {}, dir.File("a.png"), stop.get_token(), progress), kStoppedMessage);
  EXPECT_EQ(ReadBytes(dir.File("a.png")), "old");
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"a.png"});
}

// A failed render to a file reports the stage that failed and its details as
// data, with the same English text it returns: at one sample and at two
// (where the encoder runs beside the render), for each format.
TEST(RenderToFile, FailuresCrossAsAStageWithTheirDetails) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.File("folder.png"));
  const struct {
    const char* name;
    std::string path;
    PictureWriteStage stage;
    int err = 0;
    int32_t width = 320;  // the picture's width; 0: no mixer
    PictureFormat format = PictureFormat::Png;
    rlim_t limit = RLIM_INFINITY;
    int64_t memory = 0;  // the allowance in bytes; 0: the memory available
  } cases[] = {
      {"missing folder", dir.File("none/a.png"), PictureWriteStage::Open, ENOENT},
      {"folder in place", dir.File("folder.png"), PictureWriteStage::Open, EISDIR},
      {"file too large", dir.File("a.png"), PictureWriteStage::Write, EFBIG, 320,
       PictureFormat::Png, 4000},
      {"bitmap too large", dir.File("a.bmp"), PictureWriteStage::Write, EFBIG, 320,
       PictureFormat::Bmp, 4000},
      {"jpeg too large", dir.File("a.jpg"), PictureWriteStage::Write, EFBIG, 320,
       PictureFormat::Jpeg, 4000},
      {"jpeg too wide", dir.File("a.jpg"), PictureWriteStage::Size, 0, 70000, PictureFormat::Jpeg},
      {"no mixer", dir.File("a.png"), PictureWriteStage::Nothing, 0, 0},
      {"short of memory", dir.File("a.png"), PictureWriteStage::Memory, 0, 320, PictureFormat::Png,
       RLIM_INFINITY, 1 << 20},
  };
  for (const auto& c : cases) {
    for (const int32_t samples : {1, 2}) {
      QVMain main;
      if (c.width == 0) {
        while (!main.Graph().Mixers.empty()) main.Graph().DeleteNode(main.Graph().Mixers.back());
      } else {
        main.Parameter.ChangeWidth(c.width);
        main.Parameter.ChangeHeight(c.width > 320 ? 4 : 320);
      }
      PictureRenderOptions options;
      options.Format = c.format;
      options.Supersample = samples;
      options.MemoryAllowance = c.memory;
      PictureWriteFailure failure;
      std::string message;
      {
        FileSizeLimit limit(c.limit);
        message = RenderToFile(main, options, c.path, {}, {}, &failure);
      }
      const std::string where = std::string(c.name) + " at " + std::to_string(samples);
      EXPECT_EQ(failure.Stage, c.stage) << where << ": " << message;
      EXPECT_EQ(failure.Errno, c.err) << where << ": " << message;
      EXPECT_EQ(failure.Message, message) << where;
      EXPECT_FALSE(message.empty()) << where;
      if (c.stage == PictureWriteStage::Size) {
        EXPECT_EQ(failure.Width, c.width) << where;
      }
    }
  }
}

TEST(WritePictureToFile, WritesThePictureWritersFileOrStopsKeepingTheOldOne) {
  ScratchDir dir;
  QVMain main;
  main.Parameter.ChangeWidth(300);
  main.Parameter.ChangeHeight(1000);  // more than one slice of rows
  ASSERT_TRUE(main.RunPass());
  const QVPictureRef picture = PictureOf(main.Graph().Mixers.back()->RGBField);
  const std::shared_ptr<QVSnapshot> snapshot = main.Snapshot(FrozenCopy{false});
  for (const PictureFormat format : {PictureFormat::Png, PictureFormat::Jpeg, PictureFormat::Bmp}) {
    PictureRenderOptions options;
    options.Format = format;
    WritePictureWithProject(dir.File("expected"), *picture, format, WriteProject(main));
    EXPECT_EQ(WritePictureToFile(*picture, *snapshot, options, dir.File("a"), {}, {}), "");
    EXPECT_TRUE(ReadBytes(dir.File("a")) == ReadBytes(dir.File("expected")))
        << static_cast<int>(format);
    WriteBytes(dir.File("a"), "old");
    std::stop_source stop;
    BandProgress progress;
    int64_t reported = 0;  // the writing thread reports
    progress.Sink = [&](const std::string&, int64_t done, int64_t) {
      reported = done;
      stop.request_stop();
    };
    EXPECT_EQ(
        WritePictureToFile(*picture, *snapshot, options, dir.File("a"), stop.get_token(), progress),
        kStoppedMessage);
    EXPECT_LT(reported, 1000);
    EXPECT_EQ(ReadBytes(dir.File("a")), "old");
    EXPECT_EQ(dir.Entries(), (std::set<std::string>{"a", "expected"}));
  }
}

}  // namespace
}  // namespace qv::test
