#include "ui/UnitDERevezaRudu.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QDropEvent>
#include <QFont>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>

#include "UiTestSupport.h"
#include "base/QVProjectText.h"
#include "engine/QVGenerator.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "engine/QVParameter.h"
#include "source/QVProjectFile.h"
#include "source/QVProjectInput.h"
#include "source/QVSourceWriter.h"
#include "ui/QVEditSession.h"
#include "ui/QVExamples.h"
#include "ui/QVStatusLine.h"
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
    // Loads over edits go on without the question (its paths are tested apart).
    form.Session().AskSave = [](const std::string&) { return QVEditSession::Answer::Discard; };
    QObject::connect(&viewer, &QWidget::windowTitleChanged,
                     [this](const QString& t) { captions.push_back(t); });
  }
  ~Editor() { Finish(); }
  // Runs the event loop until the render ended and its posts were handled.
  // The caption shows the final count for a moment, then the base caption.
  bool Finish() {
    const bool ended = qv::test::WaitFor([this] { return !form.Main().Rendering(); });
    QApplication::sendPostedEvents();  // the render's last posts
    QApplication::processEvents();
    return ended && qv::test::WaitFor([this] {
             return viewer.windowTitle() == qv::ToQString(viewer.BaseCaption);
           });
  }
  bool Render() {
    form.Button2Click();
    return Finish() && !viewer.Picture().isNull();
  }
  // Saves in the background and waits until the save has ended.
  bool Save(const QString& path, int samples = 1) {
    form.SaveToFile(qv::FromQString(path), samples);
    return qv::test::WaitFor([this] { return !form.Saving(); });
  }
};

QString Path(const QTemporaryDir& dir, const char* name) { return dir.filePath(name); }

// Runs the built qvell; returns "" when it succeeded, else its exit code and
// standard error.
std::string RunQvell(const QStringList& arguments) {
  QProcess qvell;
  qvell.start(QStringLiteral(QVELL_BINARY), arguments);
  const bool ended = qvell.waitForFinished(120000);
  if (ended && qvell.exitStatus() == QProcess::NormalExit && qvell.exitCode() == 0) return "";
  return "exit " + std::to_string(qvell.exitCode()) + ": " +
         qvell.readAllStandardError().toStdString();
}

void WriteText(const QString& path, const std::string& text) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QByteArray::fromStdString(text));
}

QImage Pixels(const QString& path) { return QImage(path).convertToFormat(QImage::Format_RGB32); }

QByteArray Bytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TEST(TForm1, SavesByExtensionInAnyCase) {
  Editor e;
  QTemporaryDir dir;
  e.form.RunSaveDialog = [&] {
    return TForm1::SaveChoice{qv::FromQString(Path(dir, "early.bmp"))};
  };
  e.form.Button3->click();  // no picture yet: refused with a message, no file
  ASSERT_EQ(e.errors.Messages.size(), 1u);
  EXPECT_NE(e.errors.Messages[0].find("描画"), std::string::npos);
  EXPECT_FALSE(QFile::exists(Path(dir, "early.bmp")));
  ASSERT_TRUE(e.Render());
  const QImage shown = e.viewer.Picture().convertToFormat(QImage::Format_RGB32);
  for (const char* name : {"a.bmp", "b.BMP", "c.png", "d.Png"}) {
    ASSERT_TRUE(e.Save(Path(dir, name)));
    EXPECT_EQ(QImage(Path(dir, name)).convertToFormat(QImage::Format_RGB32), shown) << name;
  }
  for (const char* name : {"e.jpg", "f.JPEG"}) {
    ASSERT_TRUE(e.Save(Path(dir, name)));
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

// Projects are written as UTF-8 with LF; the dialog's Shift-JIS type writes
// Shift-JIS with CR LF, and a plain save (上書き保存) keeps that encoding
// until another project is loaded.
TEST(TForm1, SavesProjectsAsUtf8OrOnRequestShiftJis) {
  Editor e;
  QTemporaryDir dir;
  const QString path = Path(dir, "p.qvl");
  const std::string text = qv::WriteProject(e.form.Main());
  const auto saveAs = [&](qv::ProjectEncoding encoding) {
    e.form.RunSaveDialog = [&] { return TForm1::SaveChoice{qv::FromQString(path), 1, encoding}; };
    e.form.Button3->click();
  };
  const auto bytes = [&] { return Bytes(path).toStdString(); };
  saveAs(qv::ProjectEncoding::Utf8);
  EXPECT_EQ(bytes(), text);  // no byte order mark, no CR
  saveAs(qv::ProjectEncoding::ShiftJis);
  const std::string sjis = qv::EncodeProjectText(text, qv::ProjectEncoding::ShiftJis);
  EXPECT_EQ(bytes(), sjis);
  EXPECT_NE(sjis.find("\r\n"), std::string::npos);
  EXPECT_FALSE(qv::IsValidUtf8(sjis));  // the default project names Japanese methods
  e.form.SaveToFile(qv::FromQString(path));
  EXPECT_EQ(bytes(), sjis);
  // The Shift-JIS file loads back to the same project, and is saved as UTF-8 then.
  qv::test::Commit(e.form.FrameParameter1->EditScale, "2.5");
  ASSERT_TRUE(e.form.LoadFile(qv::FromQString(path)));
  EXPECT_EQ(qv::WriteProject(e.form.Main()), text);
  e.form.SaveToFile(qv::FromQString(path));
  EXPECT_EQ(bytes(), text);
  // What Shift-JIS cannot hold is refused in Japanese, and the file stays.
  e.form.Main().Graph().Rename(*e.form.Main().Graph().Generators.front(), "Generator😀");
  saveAs(qv::ProjectEncoding::ShiftJis);
  ASSERT_EQ(e.errors.Messages.size(), 1u);
  EXPECT_NE(e.errors.Messages[0].find("Shift-JIS で表せない文字"), std::string::npos)
      << e.errors.Messages[0];
  EXPECT_NE(e.errors.Messages[0].find("前のファイルはそのままです"), std::string::npos);
  EXPECT_EQ(bytes(), text);
}

// "サンプル" lists the example projects; one chosen loads as a file does and
// shows its picture without a click. Without examples the menu says so.
TEST(TForm1, TheExamplesMenuLoadsAnExampleAndRendersIt) {
  Editor e;
  e.form.ExamplesDir = QV_EXAMPLES_DIR;
  emit e.form.MenuExamples->aboutToShow();
  const QList<QAction*> actions = e.form.MenuExamples->actions();
  ASSERT_EQ(actions.size(), static_cast<qsizetype>(qv::ExampleProjects(QV_EXAMPLES_DIR).size()));
  ASSERT_GE(actions.size(), 6);
  QAction* julia = nullptr;
  for (QAction* action : actions) {
    if (action->text() == QStringLiteral("julia")) julia = action;
  }
  ASSERT_NE(julia, nullptr);
  julia->trigger();
  QVMain expected;
  ASSERT_TRUE(qv::LoadProjectFile(expected, QV_EXAMPLES_DIR "/julia.qvl").Ok);
  EXPECT_EQ(qv::WriteProject(e.form.Main()), qv::WriteProject(expected));
  EXPECT_TRUE(e.form.Main().Rendering() || !e.viewer.Picture().isNull());
  ASSERT_TRUE(e.Finish());
  EXPECT_EQ(e.viewer.Picture().size(),
            QSize(expected.Parameter.Width(), expected.Parameter.Height()));
  EXPECT_TRUE(e.errors.Messages.empty());
  emit e.form.MenuExamples->aboutToShow();  // built again, not added to
  EXPECT_EQ(e.form.MenuExamples->actions().size(), actions.size());

  e.form.ExamplesDir = "";
  emit e.form.MenuExamples->aboutToShow();
  ASSERT_EQ(e.form.MenuExamples->actions().size(), 1);
  EXPECT_FALSE(e.form.MenuExamples->actions()[0]->isEnabled());
  EXPECT_TRUE(e.form.MenuExamples->actions()[0]->text().startsWith(
      QString::fromUtf8("サンプルが見つかりません")));
}

TEST(TForm1, CaptionsDuringARenderEndAtTheBaseCaption) {
  Editor e;
  qv::test::Commit(e.form.FrameParameter1->EditWidth, "640");
  qv::test::Commit(e.form.FrameParameter1->EditHeight, "480");
  e.form.Button2Click();
  e.form.Button2Click();  // a second request while the first may still run
  ASSERT_TRUE(e.Finish());
  ASSERT_GE(e.captions.size(), 2u);
  EXPECT_EQ(e.captions.front(), QString::fromUtf8("Q-Vell Viewer [描画中]"));
  EXPECT_EQ(e.captions.back(), QStringLiteral("Q-Vell Viewer"));
  const QRegularExpression progress(QStringLiteral("^Q-Vell Viewer \\[\\w+ (\\d+)/(480|1)\\]$"));
  QString finished;  // the last caption before the base one shows a full count
  for (const QString& c : e.captions) {
    const QRegularExpressionMatch match = progress.match(c);
    const bool known = c == QStringLiteral("Q-Vell Viewer") ||
                       c == QString::fromUtf8("Q-Vell Viewer [描画中]") || match.hasMatch();
    EXPECT_TRUE(known) << qv::FromQString(c);
    if (match.hasMatch() && match.captured(1) == match.captured(2)) finished = c;
  }
  ASSERT_GE(e.captions.size(), 3u);
  EXPECT_EQ(e.captions[e.captions.size() - 2], finished);
  EXPECT_TRUE(e.errors.Messages.empty());
}

TEST(TForm1, ViewerPictureEqualsTheCommandLineRender) {
  Editor e;
  QTest::keyClick(e.form.FrameParameter1->EditScale, Qt::Key_Return);  // the default button
  ASSERT_TRUE(e.Finish());
  ASSERT_FALSE(e.viewer.Picture().isNull());
  QTemporaryDir dir;
  WriteText(Path(dir, "p.qvl"), qv::WriteProject(e.form.Main()));
  ASSERT_EQ(RunQvell({"render", Path(dir, "p.qvl"), "-o", Path(dir, "cli.png"), "--quiet"}), "");
  EXPECT_EQ(e.viewer.Picture().convertToFormat(QImage::Format_RGB32), Pixels(Path(dir, "cli.png")));
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
  ASSERT_TRUE(qv::test::WaitFor([&] { return !e.form.Busy(); }));
  QString text = e.form.Memo1->toPlainText();
  text.replace(QStringLiteral("Scale: 4"), QStringLiteral("Scale: 2"));
  e.form.Memo1->setPlainText(text);
  e.form.Button4Click();
  EXPECT_EQ(e.form.Main().Parameter.Scale(), 2.0);
  EXPECT_EQ(e.form.FrameParameter1->EditScale->text(), QStringLiteral("2"));
}

TEST(TForm1, ARenderThatFailsShowsItsMessage) {
  Editor e;
  qv::test::Commit(e.form.FrameParameter1->EditWidth, "2000000000");
  qv::test::Commit(e.form.FrameParameter1->EditHeight, "2000000000");
  e.form.Button2Click();
  ASSERT_TRUE(e.Finish());
  ASSERT_EQ(e.errors.Messages.size(), 1u);
  const std::string& message = e.errors.Messages[0];
  EXPECT_EQ(
      message.rfind("描画できませんでした: 2000000000 × 2000000000 の画像の描画と保存には", 0), 0u)
      << message;
  EXPECT_NE(message.find("画像サイズ（幅と高さ）を小さくしてください。"), std::string::npos);
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
  EXPECT_EQ(e.form.Main().Parameter.Scale(), 4.0);
  QTest::mouseDClick(image, Qt::LeftButton, {}, QPoint(200, 100));
  EXPECT_EQ(e.form.Main().Parameter.Scale(), 4.0);
  QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(200, 100));
  ASSERT_TRUE(e.Finish());
  EXPECT_EQ(e.form.Main().Parameter.Scale(), 1.0);  // 80 of 320 pixels: a quarter
  EXPECT_EQ(e.form.Main().Parameter.Viewpoint().re, 1.0 * (200 - 160) * (4.0 / 320));
  EXPECT_EQ(e.form.FrameParameter1->EditScale->text(), QStringLiteral("1"));
  EXPECT_EQ(e.form.FrameParameter1->EditViewpointI->text(), QStringLiteral("0.75"));
  const QImage after = image->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(after, e.viewer.Picture().convertToFormat(QImage::Format_RGB32));  // no ghost
  EXPECT_NE(e.viewer.Picture(), picture);
}

TEST(TFormViewer, GesturesWaitForAPictureSize) {
  Editor e;
  e.form.Main().Parameter.ChangeWidth(0);  // as a project text may hold
  QTest::mouseClick(e.viewer.ImageViewer, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(e.viewer.Gesture.State, QVViewerGesture::Idle);
  EXPECT_EQ(e.form.Main().Parameter.Viewpoint().re, 0.0);
  EXPECT_FALSE(e.form.Main().Rendering());
}

namespace {

// The default project at 48 x 36 with a changed scale: small enough to
// supersample quickly.
std::string SmallProject(Editor& e) {
  qv::test::Commit(e.form.FrameParameter1->EditWidth, "48");
  qv::test::Commit(e.form.FrameParameter1->EditHeight, "36");
  qv::test::Commit(e.form.FrameParameter1->EditScale, "2.5");
  return qv::WriteProject(e.form.Main());
}

// Sends a drag enter and a drop of urls to target.
void DropOn(QWidget* target, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
}

}  // namespace

TEST(TForm1, LoadsThePngTheCommandLineWrote) {
  Editor e;
  QTemporaryDir dir;
  const std::string text = SmallProject(e);
  WriteText(Path(dir, "p.qvl"), text);
  ASSERT_EQ(RunQvell({"render", Path(dir, "p.qvl"), "-o", Path(dir, "cli.png"), "--quiet"}), "");
  qv::test::Commit(e.form.FrameParameter1->EditScale, "7");
  e.form.RunOpenDialog = [&] { return qv::FromQString(Path(dir, "cli.png")); };
  e.form.Button5->click();
  EXPECT_TRUE(e.errors.Messages.empty());
  EXPECT_EQ(qv::WriteProject(e.form.Main()), text);
  EXPECT_EQ(e.form.FrameParameter1->EditScale->text(), QStringLiteral("2.5"));
}

TEST(TForm1, ASavedPngCarriesTheProjectOfTheShownPicture) {
  Editor e;
  QTemporaryDir dir;
  const std::string rendered = SmallProject(e);
  ASSERT_TRUE(e.Render());
  qv::test::Commit(e.form.FrameParameter1->EditScale, "1");  // an edit after the render
  ASSERT_NE(qv::WriteProject(e.form.Main()), rendered);
  ASSERT_TRUE(e.Save(Path(dir, "s.png")));
  EXPECT_EQ(qv::ReadProjectOrPicture(qv::FromQString(Path(dir, "s.png"))), rendered);
  EXPECT_EQ(Pixels(Path(dir, "s.png")), e.viewer.Picture().convertToFormat(QImage::Format_RGB32));
  // Dropped on either window, the picture brings its project back.
  for (QWidget* target : {static_cast<QWidget*>(&e.viewer), static_cast<QWidget*>(&e.form),
                          e.form.Memo1->viewport()}) {
    qv::test::Commit(e.form.FrameParameter1->EditScale, "1");
    DropOn(target, {QUrl::fromLocalFile(Path(dir, "s.png"))});
    ASSERT_TRUE(qv::test::WaitFor([&] { return qv::WriteProject(e.form.Main()) == rendered; }));
  }
  EXPECT_TRUE(e.errors.Messages.empty());
}

TEST(TForm1, SupersampledSaveEqualsTheCommandLineByteForByte) {
  Editor e;
  QTemporaryDir dir;
  const std::string rendered = SmallProject(e);
  ASSERT_TRUE(e.Render());
  qv::test::Commit(e.form.FrameParameter1->EditScale, "1");  // not in the saved picture
  e.form.RunSaveDialog = [&] { return TForm1::SaveChoice{qv::FromQString(Path(dir, "s.png")), 2}; };
  e.form.Button3->click();
  ASSERT_TRUE(e.form.Saving());
  EXPECT_EQ(e.form.windowTitle(), QString::fromUtf8("DERevezaRudu [保存中… s.png]"));
  EXPECT_FALSE(e.form.Button6->isHidden());
  e.form.Button3->click();  // a second save while the first runs
  ASSERT_EQ(e.errors.Messages.size(), 1u);
  EXPECT_NE(e.errors.Messages[0].find("保存中です"), std::string::npos);
  ASSERT_TRUE(qv::test::WaitFor([&] { return !e.form.Saving(); }));
  EXPECT_EQ(e.errors.Messages.size(), 1u);
  EXPECT_EQ(e.form.windowTitle(), QStringLiteral("DERevezaRudu"));
  EXPECT_TRUE(e.form.Button6->isHidden());
  WriteText(Path(dir, "p.qvl"), rendered);
  ASSERT_EQ(
      RunQvell({"render", Path(dir, "p.qvl"), "-o", Path(dir, "cli.png"), "--supersample", "2"}),
      "");
  EXPECT_EQ(Bytes(Path(dir, "s.png")), Bytes(Path(dir, "cli.png")));
  EXPECT_EQ(Pixels(Path(dir, "s.png")).size(), QSize(48, 36));
}

// A failed save, of a picture at one sample or two or of a project, is told
// in Japanese, naming the file and the reason the system gave; "前のファイルは
// そのままです" only when there was a file before, and the old file stays.
TEST(TForm1, AFailedSaveNamesTheFileAndKeepsIt) {
  Editor e;
  QTemporaryDir dir;
  SmallProject(e);
  ASSERT_TRUE(e.Render());
  WriteText(Path(dir, "old.png"), "old");
  for (const char* folder : {"folder.png", "folder.qvl"}) {
    std::filesystem::create_directory(qv::FromQString(Path(dir, folder)));
  }
  const struct {
    QString path;
    const char* reason;
    bool stays;
  } cases[] = {
      {Path(dir, "old.png") + "/x.png", "保存先のフォルダの名前がファイルの名前になっています。",
       false},
      {Path(dir, "none/x.png"), "保存先のフォルダがありません。", false},
      {Path(dir, "folder.png"), "同じ名前のフォルダがあります。", true},
      {Path(dir, "none/new.qvl"), "保存先のフォルダがありません。", false},
      {Path(dir, "folder.qvl"), "同じ名前のフォルダがあります。", true},
  };
  // The message of a save: a project save throws it, a picture save shows it.
  const auto saved = [&e](const std::string& path, int samples) {
    e.errors.Messages.clear();
    try {
      if (path.ends_with(".qvl")) {
        e.form.SaveToFile(path);
        ADD_FAILURE() << path;
        return std::string();
      }
      EXPECT_TRUE(e.Save(qv::ToQString(path), samples)) << path;
    } catch (const std::exception& error) {
      return std::string(error.what());
    }
    EXPECT_EQ(e.errors.Messages.size(), 1u) << path;
    return e.errors.Messages.empty() ? std::string() : e.errors.Messages[0];
  };
  for (const auto& c : cases) {
    for (const int samples : {1, 2}) {
      const std::string path = qv::FromQString(c.path), message = saved(path, samples);
      EXPECT_EQ(message.rfind("「" + path + "」を保存できませんでした。", 0), 0u) << message;
      EXPECT_NE(message.find(c.reason), std::string::npos) << message;
      EXPECT_EQ(message.find("前のファイルはそのままです") != std::string::npos, c.stays)
          << message;
      // Nothing English besides the file's name.
      std::string rest = message;
      rest.erase(0, rest.find(path) + path.size());
      EXPECT_TRUE(std::none_of(rest.begin(), rest.end(), [](char ch) {
        return std::isalpha(static_cast<unsigned char>(ch));
      })) << message;
    }
  }
  EXPECT_EQ(e.form.windowTitle(), QStringLiteral("DERevezaRudu"));
  EXPECT_EQ(Bytes(Path(dir, "old.png")), QByteArray("old"));
}

// A save at 8 x 8 samples of a picture at depth 50000 on one worker takes
// seconds; closing the editor, the stop button and Esc each end it at once.
TEST(TForm1, AStoppedSaveEndsAtOnceAndKeepsTheOldFile) {
  for (const std::string how : {"close", "button", "Esc"}) {
    QTemporaryDir dir;
    WriteText(Path(dir, "s.png"), "old");
    auto e = std::make_unique<Editor>();
    std::string text = qv::WriteProject(e->form.Main());
    for (const auto& [from, to] : {std::pair{"Width: 320", "Width: 200"},
                                   {"Height: 320", "Height: 200"},
                                   {"Depth: 100\n", "Depth: 50000\n"}}) {
      ASSERT_NE(text.find(from), std::string::npos) << from;
      text.replace(text.find(from), std::string(from).size(), to);
    }
    ASSERT_TRUE(e->form.ApplyProject(text));
    e->form.Main().SetWorkers(1);
    ASSERT_TRUE(e->Render());
    e->form.SaveToFile(qv::FromQString(Path(dir, "s.png")), 8);
    // The new file, still without a name or hidden, is open: the save renders.
    const std::string inside = dir.path().toStdString() + "/";
    ASSERT_TRUE(qv::test::WaitFor([&] {
      std::error_code error;
      for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        const std::string target = std::filesystem::read_symlink(fd.path(), error).string();
        if (target.starts_with(inside) && target != inside + "s.png") return true;
      }
      return false;
    })) << how;
    const auto start = std::chrono::steady_clock::now();
    if (how == "close") e.reset();
    if (how == "button") e->form.Button6->click();
    if (how == "Esc") QTest::keyClick(&e->form, Qt::Key_Escape);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::seconds(1)) << how;  // a save left to run takes seconds
    if (e) {
      EXPECT_FALSE(e->form.Saving()) << how;
      EXPECT_EQ(e->form.windowTitle(), qv::ToQString(e->form.BaseCaption)) << how;  // no "保存中"
      QApplication::processEvents();
      EXPECT_TRUE(e->errors.Messages.empty()) << how;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::Files | QDir::Hidden),
              QStringList{"s.png"})
        << how;
    EXPECT_EQ(Bytes(Path(dir, "s.png")), QByteArray("old")) << how;
  }
}

// The window keeps the size it opens at: neither the first message nor a
// message of any length in the status line moves it.
TEST(TForm1, OpensAtItsSizeAndAMessageNeverGrowsIt) {
  const QFont font = QApplication::font();
  QFont programs(QStringLiteral("Noto Sans CJK JP"));  // the program's font
  programs.setPixelSize(12);
  QApplication::setFont(programs);
  Editor e;
  e.form.show();
  QApplication::processEvents();
  const QSize opened = e.form.size();
  EXPECT_EQ(opened, QSize(467, 443));
  QLineEdit* scale = e.form.FrameParameter1->EditScale;
  for (const int length : {1, 300, 3000}) {
    scale->setText(QString(length, QLatin1Char('x')));
    QApplication::processEvents();
    EXPECT_EQ(e.form.size(), opened) << length;
    EXPECT_LE(e.form.minimumSizeHint().width(), opened.width()) << length;
  }
  // While a picture is saved, "保存を中止" takes the place of "保存".
  QTemporaryDir dir;
  ASSERT_TRUE(e.Render());
  e.form.RunSaveDialog = [&] { return TForm1::SaveChoice{qv::FromQString(Path(dir, "s.png")), 3}; };
  e.form.Button3->click();
  ASSERT_TRUE(e.form.Saving());
  QApplication::processEvents();
  EXPECT_EQ(e.form.size(), opened);
  EXPECT_LE(e.form.minimumSizeHint().width(), opened.width());
  ASSERT_TRUE(qv::test::WaitFor([&] { return !e.form.Saving(); }));
  const QVStatusLine* status = e.form.FrameParameter1->LabelStatus;
  EXPECT_EQ(status->Message().size(), 3017);  // "'xx…x' は浮動小数点数ではありません"
  EXPECT_LT(status->text().size(), 200);      // shown cut to the window's width
  EXPECT_TRUE(status->text().endsWith(QChar(0x2026)));
  QApplication::setFont(font);
}

// A recentring that would carry the viewpoint past the number range.
TEST(TFormViewer, ARefusedZoomSaysWhyAndKeepsTheView) {
  Editor e;
  QVParameter& p = e.form.Main().Parameter;
  p.ChangeViewpoint({-1.7e308, 0.0});
  p.ChangeScale(1e308);
  e.viewer.ApplySelection(0, 0);  // a click at the left edge
  EXPECT_EQ(p.Viewpoint().re, -1.7e308);
  EXPECT_EQ(p.Scale(), 1e308);
  EXPECT_FALSE(e.form.Main().Rendering());
  EXPECT_EQ(e.form.FrameParameter1->LabelStatus->Message(),
            QString::fromUtf8(QVViewerGesture::RefusedMessage));
}

// Each file that does not load is told in Japanese, with its name, from the
// problem the reader reports; nothing changes. A PNG without a project and a
// damaged PNG are refused the same way.
TEST(TForm1, FilesThatDoNotLoadAreToldInJapaneseWithTheirName) {
  Editor e;
  QTemporaryDir dir;
  QByteArray plainPng;
  QBuffer buffer(&plainPng);
  QImage plain(4, 3, QImage::Format_RGB32);
  plain.fill(Qt::red);
  ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && plain.save(&buffer, "PNG"));
  const struct {
    const char* name;
    std::string bytes;  // empty: no such file
    const char* reason;
    const char* from = nullptr;  // else the current project with from replaced by to
    const char* to = nullptr;
    const char* heading = "」を読み込めませんでした。何も変更していません。\n";
  } cases[] = {
      {"binary.qvl", std::string("\xFF\xFE\xFD\x00", 4),
       "UTF-8 でも Shift-JIS でもないファイルです。プロジェクトはどちらかの文字コードのテキストで"
       "保存してください。"},
      {"missing.qvl", "", "ファイルがありません。名前と場所を確かめてください。"},
      {"plain.png", plainPng.toStdString(), "Q-Vell で保存した PNG か、ソース（*.qvl）を選んで",
       nullptr, nullptr, "」はプロジェクトを含まない PNG です。"},
      {"broken.png", std::string("\x89PNG\r\n\x1a\n", 8) + "not a picture", ""},
      {"nul.qvl", std::string("Parameter: {\n a\0b", 17),
       "2 行 3 列に、プロジェクトに書けない制御文字（NUL）があります。取り除いてください。"},
      {"short.qvl", "Parameter: {\n",
       "2 行 1 列: 「{」があるはずですが、テキストが終わっています。"},
      {"range.qvl", "", "'1e400' は範囲外です（数は -1.79E308 から 1.79E308 までです）。",
       "Scale: 4", "Scale: 1e400"},
      {"key.qvl", "", "「Width:」があるはずの所に「Widht:」があります。", "Width:", "Widht:"},
      {"switch.qvl", "", "「on」か「off」があるはずの所に「maybe」があります。",
       "Differential: off", "Differential: maybe"},
      {"type.qvl", "",
       "「FractalType:」に「X」という名前はありません。「マンデルブロ」「ジュリア」",
       "FractalType: マンデルブロ", "FractalType: X"},
      {"node.qvl", "", "「G9」という名前のジェネレータがありません。", "\tGenerator: Generator1",
       "\tGenerator: G9"},
      {"effector.qvl", "", "「E9」という名前のエフェクタがありません。", "+Effector1", "+E9"},
      {"colour.qvl", "", "色の成分 300 が 0～255 の範囲にありません。", "1 255 255 255",
       "1 300 255 255"},
  };
  const std::string before = qv::WriteProject(e.form.Main());
  auto edited = [&before](const char* from, const char* to) {
    std::string text = before;
    return text.replace(text.find(from), std::strlen(from), to);
  };
  for (const auto& c : cases) {
    const QString path = Path(dir, c.name);
    const std::string bytes = c.from ? edited(c.from, c.to) : c.bytes;
    if (!bytes.empty()) WriteText(path, bytes);
    e.errors.Messages.clear();
    EXPECT_FALSE(e.form.LoadFile(qv::FromQString(path))) << c.name;
    ASSERT_EQ(e.errors.Messages.size(), 1u) << c.name;
    const std::string& message = e.errors.Messages[0];
    EXPECT_EQ(message.rfind("「" + qv::FromQString(path) + c.heading, 0), 0u) << message;
    EXPECT_NE(message.find(c.reason), std::string::npos) << message;
  }
  EXPECT_EQ(qv::WriteProject(e.form.Main()), before);
}

namespace {

// The default project with a colour bar of entries entries: about 20 bytes
// of text each.
std::string BigProject(int entries) {
  QVMain main;
  std::string text = qv::WriteProject(main);
  const std::string last = "\tConvertData: 1 255 255 255\n";
  std::string more;
  for (int i = 2; i < entries; ++i) {
    more += "\tConvertData: " + std::to_string(i) + " " + std::to_string(i % 256) + " 7 9\n";
  }
  text.insert(text.find(last) + last.size(), more);
  return text;
}

}  // namespace

// Long reads and writes of the project run in the background: the event loop
// goes on meanwhile, the result equals the one done at once, a failure names
// the file and changes nothing, and a stop changes nothing.
TEST(TForm1, LongProjectReadsAndWritesRunInTheBackground) {
  Editor e;
  QTemporaryDir dir;
  const std::string big = BigProject(300000), before = qv::WriteProject(e.form.Main());
  ASSERT_GT(big.size(), static_cast<size_t>(e.form.BackgroundBytes));
  WriteText(Path(dir, "big.qvl"), big);
  int turns = 0;  // turns of the event loop while a job runs
  QTimer ticks;
  QObject::connect(&ticks, &QTimer::timeout, [&] { ++turns; });
  ticks.start(0);
  const auto idle = [&] { return qv::test::WaitFor([&] { return !e.form.Busy(); }); };

  EXPECT_FALSE(e.form.LoadFile(qv::FromQString(Path(dir, "big.qvl"))));  // started
  EXPECT_TRUE(e.form.Busy());
  EXPECT_EQ(qv::WriteProject(e.form.Main()), before);
  ASSERT_TRUE(idle());
  EXPECT_EQ(qv::WriteProject(e.form.Main()), big);
  EXPECT_EQ(e.form.Session().File(), qv::FromQString(Path(dir, "big.qvl")));

  turns = 0;
  e.form.Button1Click();  // the text is put in a slice at a time
  ASSERT_TRUE(idle());
  EXPECT_GT(turns, 3);
  EXPECT_EQ(qv::FromQString(e.form.Memo1->toPlainText()), big);
  EXPECT_FALSE(e.form.Memo1->isReadOnly());
  e.form.SaveToFile(qv::FromQString(Path(dir, "copy.qvl")), 1, std::nullopt, true);
  EXPECT_TRUE(e.form.Busy());
  ASSERT_TRUE(idle());
  EXPECT_EQ(qv::ReadProjectFile(qv::FromQString(Path(dir, "copy.qvl"))), big);
  EXPECT_FALSE(e.form.Session().Modified());
  std::string edited = big;
  edited.replace(edited.find("Scale: 4"), 8, "Scale: 2");
  e.form.Memo1->setPlainText(qv::ToQString(edited));
  e.form.Button4Click();
  EXPECT_TRUE(e.form.Busy());
  ASSERT_TRUE(idle());
  EXPECT_EQ(qv::WriteProject(e.form.Main()), edited);

  e.form.BackgroundBytes = 0;  // the small ones too, below
  const std::string small = BigProject(2);
  e.form.ApplyProject(small);
  ASSERT_TRUE(idle());
  EXPECT_EQ(qv::WriteProject(e.form.Main()), small);
  WriteText(Path(dir, "bad.qvl"), "Parameter: \n{\n\tWidth: ?\n");
  for (const char* name : {"bad.qvl", "missing.qvl"}) {
    e.errors.Messages.clear();
    e.form.LoadFile(qv::FromQString(Path(dir, name)));
    ASSERT_TRUE(idle()) << name;
    ASSERT_EQ(e.errors.Messages.size(), 1u) << name;
    EXPECT_NE(e.errors.Messages[0].find(name), std::string::npos) << e.errors.Messages[0];
    EXPECT_EQ(qv::WriteProject(e.form.Main()), small) << name;
  }
  e.errors.Messages.clear();
  e.form.LoadFile(qv::FromQString(Path(dir, "big.qvl")));
  e.form.StopJob();
  EXPECT_FALSE(e.form.Busy());
  QTest::qWait(500);  // a stopped read that ended meanwhile is dropped
  EXPECT_EQ(qv::WriteProject(e.form.Main()), small);
  EXPECT_TRUE(e.errors.Messages.empty());
}
