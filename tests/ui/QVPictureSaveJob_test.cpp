#include "ui/QVPictureSaveJob.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QObject>
#include <QTemporaryDir>

#include "UiTestSupport.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "ui/QVQtHost.h"
#include "ui/QVText.h"

namespace {

// A finished 40 x 30 picture and the frozen copy it was rendered from.
QVPictureSaveJob::Request SmallPicture(const std::string& path, int32_t samples) {
  QVMain main;
  main.Parameter.ChangeWidth(40);
  main.Parameter.ChangeHeight(30);
  EXPECT_TRUE(main.RunPass());
  QVPictureSaveJob::Request request;
  request.Path = path;
  request.Supersample = samples;
  request.Picture = qv::PictureOf(main.Graph().Mixers.back()->RGBField);
  request.Snapshot = main.Snapshot(qv::FrozenCopy{false});
  return request;
}

}  // namespace

TEST(QVPictureSaveJob, ReportsOnceOnTheUiThreadAndNeverAfterStop) {
  QTemporaryDir dir;
  QObject receiver;
  QVQtPoster poster(&receiver);
  QVPictureSaveJob job(poster);
  std::vector<std::string> reports;
  std::vector<qv::PictureWriteStage> stages;
  const auto report = [&](const qv::PictureWriteFailure& f) {
    reports.push_back(f.Message);
    stages.push_back(f.Stage);
  };
  for (const int32_t samples : {1, 2}) {
    // A folder in place of the file: the save fails and says why.
    const std::string folder = qv::FromQString(dir.path());
    job.Start(SmallPicture(folder, samples), report);
    EXPECT_TRUE(job.Running());
    ASSERT_TRUE(qv::test::WaitFor([&] { return !job.Running(); }));
    ASSERT_EQ(reports.size(), 1u) << samples;
    EXPECT_NE(reports[0].find(folder), std::string::npos) << reports[0];
    EXPECT_EQ(stages[0], qv::PictureWriteStage::Open) << samples;
    reports.clear();
    stages.clear();
    job.Start(SmallPicture(qv::FromQString(dir.filePath("a.png")), samples), report);
    job.Stop();
    EXPECT_FALSE(job.Running());
    QApplication::processEvents();
    EXPECT_TRUE(reports.empty()) << samples;
    job.Start(SmallPicture(qv::FromQString(dir.filePath("b.png")), samples), report);
    ASSERT_TRUE(qv::test::WaitFor([&] { return !job.Running(); }));
    EXPECT_EQ(reports, std::vector<std::string>{""}) << samples;
    EXPECT_EQ(stages, std::vector{qv::PictureWriteStage::None}) << samples;
    EXPECT_EQ(job.Done(), 30) << samples;
    reports.clear();
    stages.clear();
  }
}
