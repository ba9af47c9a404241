#include "ui/QVPictureSaveJob.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "UiTestSupport.h"
#include "ui/QVText.h"

TEST(QVPictureSaveJob, NeverTakesTheFileForAnOptionAndReportsTheProcessWords) {
  EXPECT_EQ(qv::SaveRenderArguments("-o.png", 2)[3], "./-o.png");
  EXPECT_EQ(qv::SaveRenderFailure(false, 3, "qvell: error: no room\r\n\n"),
            "qvell: error: no room");
}

TEST(QVPictureSaveJob, ReportsOnceAfterStartAndNeverAfterStop) {
  QTemporaryDir dir;
  const std::string path = qv::FromQString(dir.filePath("a.png"));
  QVPictureSaveJob job;
  std::vector<std::string> reports;
  job.Start(QVELL_BINARY, "not a project", path, 2,
            [&](const std::string& e) { reports.push_back(e); });
  EXPECT_TRUE(job.Running());
  EXPECT_TRUE(reports.empty());
  ASSERT_TRUE(qv::test::WaitFor([&] { return !job.Running(); }));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("<stdin>:1:"), std::string::npos) << reports[0];
  job.Start(QVELL_BINARY, "", path, 2, [&](const std::string& e) { reports.push_back(e); });
  job.Stop();
  EXPECT_FALSE(job.Running());
  EXPECT_EQ(reports.size(), 1u);
}
