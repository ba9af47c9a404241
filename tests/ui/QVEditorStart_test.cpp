// The editor as it starts: the first picture comes without a click.
#include "app/editor/QVEditorStart.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "UiTestSupport.h"
#include "engine/QVMain.h"
#include "source/QVProjectFile.h"
#include "source/QVSourceWriter.h"
#include "ui/QVText.h"
#include "ui/UnitDERevezaRudu.h"
#include "ui/UnitViewer.h"

namespace {

// Starts the editor on project and waits for its first render to end.
QImage FirstPicture(const std::string& project, std::string* shownProject = nullptr) {
  std::unique_ptr<qv::EditorWindows> windows = qv::StartEditor(project);
  TForm1& form = *windows->Form1;
  TFormViewer& viewer = *windows->Viewer;
  EXPECT_TRUE(viewer.isVisible());
  EXPECT_TRUE(
      qv::test::WaitFor([&] { return !form.Main().Rendering() && !viewer.Picture().isNull(); }));
  QApplication::sendPostedEvents();
  if (shownProject) *shownProject = qv::WriteProject(form.Main());
  return viewer.Picture().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

TEST(QVEditorStart, TheFirstPictureComesWithoutAClick) {
  qv::test::ErrorRecorder errors;
  QTemporaryDir dir;
  const std::string path = qv::FromQString(dir.filePath("small.qvl"));
  std::string text;
  const QImage standard = FirstPicture("", &text);
  EXPECT_EQ(standard.size(), QSize(320, 320));  // the default project's picture
  // A project given on the command line shows its own picture.
  QVMain small;
  small.Parameter.ChangeWidth(48);
  small.Parameter.ChangeHeight(36);
  qv::SaveProjectFile(small, path);
  std::string shown;
  EXPECT_EQ(FirstPicture(path, &shown).size(), QSize(48, 36));
  EXPECT_EQ(shown, qv::WriteProject(small));
  // One that cannot be loaded is told, and the default project's picture comes.
  EXPECT_EQ(FirstPicture(path + ".missing", &shown), standard);
  EXPECT_EQ(shown, text);
  ASSERT_EQ(errors.Messages.size(), 1u);
  EXPECT_NE(errors.Messages[0].find("small.qvl.missing"), std::string::npos);
}
