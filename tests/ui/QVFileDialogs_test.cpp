#include "ui/QVFileDialogs.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include "ui/QVEditorSettings.h"
#include "ui/QVText.h"

namespace {

// Runs dialog through RunInLastFolder; while it is open, chooses the type at
// filter (when >= 0), types name and confirms. What the dialog showed first
// is kept in folder.
std::string Choose(QFileDialog& dialog, int filter, const QString& name,
                   QString* folder = nullptr) {
  QTimer::singleShot(0, &dialog, [&] {
    if (folder) *folder = dialog.directory().absolutePath();
    if (filter >= 0) {
      auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
      ASSERT_NE(types, nullptr);
      types->setCurrentIndex(filter);  // as the user's choice
    }
    dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
    static_cast<QDialog&>(dialog).accept();  // as the dialog's own button
  });
  return qv::RunInLastFolder(dialog);
}

}  // namespace

TEST(QVFileDialogs, SuffixOfNameFilter) {
  const std::pair<const char*, const char*> rows[] = {
      {"ソース（*.qvl） (*.qvl)", "qvl"},
      {"ビットマップ (*.bmp) (*.bmp)", "bmp"},
      {"JPEG イメージファイル (*.jpg)", "jpg"},
      {"すべて (*)", ""},
      {"no pattern", ""},
  };
  for (const auto& [filter, suffix] : rows)
    EXPECT_EQ(qv::SuffixOfNameFilter(filter), suffix) << filter;
}

// The chosen type adds its extension to a name typed without one; a name
// with an extension keeps it. Only the Shift-JIS project type asks for
// Shift-JIS.
TEST(QVFileDialogs, TheChosenTypeAddsItsExtension) {
  QTemporaryDir dir;
  qv::EditorSettings::SetLastFolderOf(dir.filePath("x"));
  constexpr qv::ProjectEncoding utf8 = qv::ProjectEncoding::Utf8;
  const struct {
    int filter;
    const char* typed;
    const char* saved;
    qv::ProjectEncoding encoding;
  } rows[] = {
      {3, "myproj", "myproj.qvl", utf8}, {4, "old", "old.qvl", qv::ProjectEncoding::ShiftJis},
      {0, "pic", "pic.bmp", utf8},       {1, "pic", "pic.jpg", utf8},
      {2, "pic", "pic.png", utf8},       {-1, "first", "first.bmp", utf8},
      {3, "a.png", "a.png", utf8}};
  for (const auto& row : rows) {
    QFileDialog dialog;
    qv::SetUpSaveDialog(dialog, QImage());
    EXPECT_EQ(Choose(dialog, row.filter, QString::fromUtf8(row.typed)),
              qv::FromQString(dir.filePath(row.saved)))
        << row.typed << " " << row.filter;
    EXPECT_EQ(qv::ChosenProjectEncoding(dialog), row.encoding) << row.typed << " " << row.filter;
  }
}

// Every dialog opens in the folder of the last file chosen in any of them.
TEST(QVFileDialogs, OpensInTheLastFolderUsed) {
  QTemporaryDir first, second;
  qv::EditorSettings::SetLastFolderOf(first.filePath("x"));
  QFileDialog save;
  qv::SetUpSaveDialog(save, QImage());
  QString shown;
  Choose(save, 3, second.filePath("p"), &shown);
  EXPECT_EQ(shown, QDir(first.path()).absolutePath());
  QFileDialog open;
  qv::SetUpOpenDialog(open);
  QFile(second.filePath("p.qvl")).open(QIODevice::WriteOnly);
  EXPECT_EQ(Choose(open, -1, QStringLiteral("p.qvl"), &shown),
            qv::FromQString(second.filePath("p.qvl")));
  EXPECT_EQ(shown, QDir(second.path()).absolutePath());
}

// The preview shows the picture to save until a picture file is selected.
TEST(QVFileDialogs, SaveDialogPreviewsThePicture) {
  QTemporaryDir dir;
  QImage red(40, 20, QImage::Format_RGB32), blue(20, 40, QImage::Format_RGB32);
  red.fill(Qt::red);
  blue.fill(Qt::blue);
  ASSERT_TRUE(blue.save(dir.filePath("blue.png")));
  QFileDialog dialog;
  qv::SetUpSaveDialog(dialog, red);
  auto* preview = dialog.findChild<QLabel*>(QStringLiteral("PicturePreview"));
  ASSERT_NE(preview, nullptr);
  const auto color = [&] {
    return preview->pixmap().toImage().pixelColor(preview->pixmap().width() / 2,
                                                  preview->pixmap().height() / 2);
  };
  EXPECT_EQ(color(), QColor(Qt::red));
  emit dialog.currentChanged(dir.filePath("blue.png"));
  EXPECT_EQ(color(), QColor(Qt::blue));
  EXPECT_GT(preview->pixmap().height(), preview->pixmap().width());
  emit dialog.currentChanged(dir.filePath("none.qvl"));
  EXPECT_EQ(color(), QColor(Qt::red));
}

TEST(QVEditorSettings, RecentFilesNewestFirstWithoutRepeats) {
  QStringList recent;
  for (const char* f : {"a", "b", "c", "a", "d"}) recent = qv::PushRecent(recent, f, 3);
  EXPECT_EQ(recent, (QStringList{"d", "a", "c"}));
}
