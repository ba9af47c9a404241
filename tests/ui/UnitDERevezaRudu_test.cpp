#include "ui/UnitDERevezaRudu.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "UiTestSupport.h"
#include "engine/QVMain.h"
#include "source/QVProjectFile.h"
#include "source/QVSourceWriter.h"
#include "ui/QVText.h"
#include "ui/UnitParameter.h"
#include "ui/UnitViewer.h"

namespace {

// The editor's two windows, as the program creates them (viewer first).
struct Editor {
  qv::test::ErrorRecorder errors;
  TFormViewer viewer;
  TForm1 form{&viewer};
  std::vector<QString> captions;
  Editor() {
    QObject::connect(&viewer, &QWidget::windowTitleChanged,
                     [this](const QString& t) { captions.push_back(t); });
  }
  ~Editor() { Finish(); }
  // Runs the event loop until the render ended and its posts were handled.
  bool Finish() {
    const bool ended = qv::test::WaitFor([this] { return !form.Main().Rendering(); });
    QApplication::sendPostedEvents();  // the render's last posts
    QApplication::processEvents();
    return ended && viewer.windowTitle() == "Q-Vell Viewer";
  }
  bool Render() {
    form.Button2Click();
    return Finish() && !viewer.Picture().isNull();
  }
};

QString Path(const QTemporaryDir& dir, const char* name) { return dir.filePath(name); }

}  // namespace

TEST(TForm1, SavesByExtensionInAnyCase) {
  Editor e;
  QTemporaryDir dir;
  e.form.RunSaveDialog = [&] { return qv::FromQString(Path(dir, "early.bmp")); };
  e.form.Button3->click();  // no picture yet: refused with a message, no file
  ASSERT_EQ(e.errors.Messages.size(), 1u);
  EXPECT_NE(e.errors.Messages[0].find("描画"), std::string::npos);
  EXPECT_FALSE(QFile::exists(Path(dir, "early.bmp")));
  ASSERT_TRUE(e.Render());
  const QImage shown = e.viewer.Picture().convertToFormat(QImage::Format_RGB32);
  for (const char* name : {"a.bmp", "b.BMP", "c.png", "d.Png"}) {
    e.form.SaveToFile(qv::FromQString(Path(dir, name)));
    EXPECT_EQ(QImage(Path(dir, name)).convertToFormat(QImage::Format_RGB32), shown) << name;
  }
  for (const char* name : {"e.jpg", "f.JPEG"}) {
    e.form.SaveToFile(qv::FromQString(Path(dir, name)));
    QFile file(Path(dir, name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    EXPECT_TRUE(file.read(3) == QByteArray("\xFF\xD8\xFF", 3)) << name;
    EXPECT_EQ(QImage(Path(dir, name)).size(), shown.size()) << name;
  }
  for (const char* name : {"g.qvl", "h.txt", "noextension", "dir.bmp/../i.qvl"}) {
    QDir().mkpath(Path(dir, "dir.bmp"));
    e.form.SaveToFile(qv::FromQString(Path(dir, name)));
    EXPECT_EQ(qv::ReadProjectFile(qv::FromQString(Path(dir, name))),
              qv::WriteProject(e.form.Main()))
        << name;
  }
}

TEST(TForm1, CaptionsDuringARenderEndAtTheBaseCaption) {
  Editor e;
  e.form.FrameParameter1->EditWidth->setText("640");
  e.form.FrameParameter1->EditHeight->setText("480");
  e.form.Button2Click();
  e.form.Button2Click();  // a second request while the first may still run
  ASSERT_TRUE(e.Finish());
  ASSERT_GE(e.captions.size(), 2u);
  EXPECT_EQ(e.captions.front(), QString::fromUtf8("Q-Vell Viewer [描画中]"));
  EXPECT_EQ(e.captions.back(), QStringLiteral("Q-Vell Viewer"));
  const QRegularExpression progress(QStringLiteral("^Q-Vell Viewer \\[\\w+ (\\d+)/(480|1)\\]$"));
  for (const QString& c : e.captions) {
    const bool known = c == QStringLiteral("Q-Vell Viewer") ||
                       c == QString::fromUtf8("Q-Vell Viewer [描画中]") ||
                       progress.match(c).hasMatch();
    EXPECT_TRUE(known) << qv::FromQString(c);
  }
  EXPECT_TRUE(e.errors.Messages.empty());
}

TEST(TForm1, ViewerPictureEqualsTheCommandLineRender) {
  Editor e;
  QTest::keyClick(e.form.FrameParameter1->EditScale, Qt::Key_Return);  // the default button
  ASSERT_TRUE(e.Finish());
  ASSERT_FALSE(e.viewer.Picture().isNull());
  QTemporaryDir dir;
  QFile project(Path(dir, "p.qvl"));
  ASSERT_TRUE(project.open(QIODevice::WriteOnly));
  project.write(QByteArray::fromStdString(qv::WriteProject(e.form.Main())));
  project.close();
  QProcess qvell;
  qvell.start(QStringLiteral(QVELL_BINARY),
              {"render", project.fileName(), "-o", Path(dir, "cli.png"), "--quiet"});
  ASSERT_TRUE(qvell.waitForFinished(120000));
  ASSERT_EQ(qvell.exitCode(), 0) << qvell.readAllStandardError().toStdString();
  const QImage cli = QImage(Path(dir, "cli.png")).convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(e.viewer.Picture().convertToFormat(QImage::Format_RGB32), cli);
}

TEST(TForm1, AProjectThatDoesNotReadChangesNothingAndSaysWhere) {
  Editor e;
  const std::string before = qv::WriteProject(e.form.Main());
  e.form.Memo1->setPlainText("Parameter: \n{\n\tFractalType: ?\n");
  e.form.Button4Click();
  ASSERT_EQ(e.errors.Messages.size(), 1u);
  EXPECT_NE(e.errors.Messages[0].find("3 行"), std::string::npos) << e.errors.Messages[0];
  EXPECT_EQ(qv::WriteProject(e.form.Main()), before);

  e.form.Button1Click();  // extract, change the scale in the text, write back
  QString text = e.form.Memo1->toPlainText();
  text.replace(QStringLiteral("Scale: 4"), QStringLiteral("Scale: 2"));
  e.form.Memo1->setPlainText(text);
  e.form.Button4Click();
  EXPECT_EQ(e.form.Main().Parameter.Scale, 2.0);
  EXPECT_EQ(e.form.FrameParameter1->EditScale->text(), QStringLiteral("2"));
}

TEST(TForm1, ARenderThatFailsShowsItsMessage) {
  Editor e;
  e.form.FrameParameter1->EditWidth->setText("2000000000");
  e.form.FrameParameter1->EditHeight->setText("2000000000");
  e.form.Button2Click();
  ASSERT_TRUE(e.Finish());
  ASSERT_EQ(e.errors.Messages.size(), 1u);
  EXPECT_EQ(e.errors.Messages[0].rfind("描画できませんでした: ", 0), 0u) << e.errors.Messages[0];
  EXPECT_TRUE(e.viewer.Picture().isNull());
}

TEST(TFormViewer, DragThenDoubleClickZoomsAndRefreshesTheFrame) {
  Editor e;
  ASSERT_TRUE(e.Render());  // 320 x 320, scale 4, viewpoint (0, 0)
  QWidget* image = e.viewer.ImageViewer;
  QTest::mousePress(image, Qt::LeftButton, {}, QPoint(200, 100));
  QTest::mouseMove(image, QPoint(240, 100));
  QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(240, 100));
  EXPECT_EQ(e.viewer.Gesture.State, QVViewerGesture::Placed);
  const QImage withOutline = image->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QImage picture = e.viewer.Picture().convertToFormat(QImage::Format_RGB32);
  EXPECT_NE(withOutline.pixel(160, 60), picture.pixel(160, 60));  // inverted on screen only
  EXPECT_EQ(withOutline.pixel(5, 5), picture.pixel(5, 5));
  // A double-click as Qt delivers it: press, release, double-click, release.
  QTest::mouseClick(image, Qt::LeftButton, {}, QPoint(200, 100));
  EXPECT_EQ(e.form.Main().Parameter.Scale, 4.0);
  QTest::mouseDClick(image, Qt::LeftButton, {}, QPoint(200, 100));
  EXPECT_EQ(e.form.Main().Parameter.Scale, 4.0);
  QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(200, 100));
  ASSERT_TRUE(e.Finish());
  EXPECT_EQ(e.form.Main().Parameter.Scale, 1.0);  // 80 of 320 pixels: a quarter
  EXPECT_EQ(e.form.Main().Parameter.Viewpoint.re, 1.0 * (200 - 160) * (4.0 / 320));
  EXPECT_EQ(e.form.FrameParameter1->EditScale->text(), QStringLiteral("1"));
  EXPECT_EQ(e.form.FrameParameter1->EditViewpointI->text(), QStringLiteral("0.75"));
  const QImage after = image->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(after, e.viewer.Picture().convertToFormat(QImage::Format_RGB32));  // no ghost
  EXPECT_NE(e.viewer.Picture(), picture);
}

TEST(TFormViewer, GesturesWaitForAPictureSize) {
  Editor e;
  e.form.FrameParameter1->EditWidth->setText("0");
  QTest::mouseClick(e.viewer.ImageViewer, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(e.viewer.Gesture.State, QVViewerGesture::Idle);
  EXPECT_EQ(e.form.Main().Parameter.Viewpoint.re, 0.0);
  EXPECT_FALSE(e.form.Main().Rendering());
}
