#include "ui/QVExamples.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "ui/QVText.h"

namespace {

void Touch(const QString& path) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
}

}  // namespace

// The build folder's examples beside the program win over an installed
// prefix's; an installed program finds PREFIX/share/qvell/examples; a
// program with neither gets "".
TEST(QVExamples, FolderBesideTheProgramThenUnderShare) {
  QTemporaryDir dir;
  const std::string root = qv::FromQString(dir.path());
  QDir().mkpath(dir.filePath("usr/bin"));
  QDir().mkpath(dir.filePath("build"));
  EXPECT_EQ(qv::ExamplesFolder(root + "/usr/bin"), "");
  QDir().mkpath(dir.filePath("usr/share/qvell/examples"));
  const struct {
    std::string ProgramDir, Folder;
  } rows[] = {
      {root + "/usr/bin", root + "/usr/share/qvell/examples"},
      {root + "/usr/bin/", root + "/usr/share/qvell/examples"},
      {root + "/usr/bin/../bin", root + "/usr/share/qvell/examples"},
      {root + "/build", ""},
  };
  for (const auto& row : rows)
    EXPECT_EQ(qv::ExamplesFolder(row.ProgramDir), row.Folder) << row.ProgramDir;
  Touch(dir.filePath("usr/bin/examples"));  // a file of that name is not the folder
  EXPECT_EQ(qv::ExamplesFolder(root + "/usr/bin"), root + "/usr/share/qvell/examples");
  QDir().mkpath(dir.filePath("build/examples"));
  EXPECT_EQ(qv::ExamplesFolder(root + "/build"), root + "/build/examples");
  EXPECT_EQ(
      qv::ExampleFolderCandidates(root + "/usr/bin"),
      (std::vector<std::string>{root + "/usr/bin/examples", root + "/usr/share/qvell/examples"}));
}

TEST(QVExamples, ProjectsAreTheQvlFilesSortedByName) {
  QTemporaryDir dir;
  for (const char* name : {"zoom.qvl", "a.qvl", "notes.txt", "b.QVL.png", "m.qvl"}) {
    Touch(dir.filePath(name));
  }
  QDir().mkpath(dir.filePath("folder.qvl"));
  const std::string root = qv::FromQString(dir.path());
  EXPECT_EQ(qv::ExampleProjects(root),
            (std::vector<std::string>{root + "/a.qvl", root + "/m.qvl", root + "/zoom.qvl"}));
  EXPECT_TRUE(qv::ExampleProjects(root + "/missing").empty());
  EXPECT_TRUE(qv::ExampleProjects("").empty());
}
