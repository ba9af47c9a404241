#include "ui/QVFileDialogs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>

#include "ui/QVEditorSettings.h"
#include "ui/QVText.h"

namespace qv {

namespace {

constexpr int kPreviewSide = 160;
constexpr qsizetype kShiftJisType = 4;  // the save dialog's project type in Shift-JIS

// Qt reads a filter's pattern from its last ASCII parentheses; each visible
// text is kept as it is and the added pattern is hidden.
void SetFilters(QFileDialog& dialog, const QStringList& filters) {
  dialog.setOptions(QFileDialog::HideNameFilterDetails | QFileDialog::DontUseNativeDialog);
  dialog.setNameFilters(filters);
}

QPixmap Thumbnail(const QImage& image) {
  if (image.isNull()) return {};
  return QPixmap::fromImage(
      image.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

// Reads only as much of a picture file as the preview needs.
QImage PreviewOf(const QString& path) {
  QImageReader reader(path);
  if (!reader.canRead()) return {};
  const QSize size = reader.size();
  if (size.isValid())
    reader.setScaledSize(size.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio));
  return reader.read();
}

void AddPreview(QFileDialog& dialog, const QImage& shown) {
  auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
  if (!grid) return;
  auto* preview = new QLabel(&dialog);
  preview->setObjectName(QStringLiteral("PicturePreview"));
  preview->setFixedSize(kPreviewSide, kPreviewSide);
  preview->setAlignment(Qt::AlignCenter);
  preview->setFrameShape(QFrame::StyledPanel);
  preview->setPixmap(Thumbnail(shown));
  grid->addWidget(preview, 1, grid->columnCount(), Qt::AlignTop);
  QObject::connect(&dialog, &QFileDialog::currentChanged, preview,
                   [preview, shown](const QString& path) {
                     const QImage file = path.isEmpty() ? QImage() : PreviewOf(path);
                     preview->setPixmap(Thumbnail(file.isNull() ? shown : file));
                   });
}

}  // namespace

std::string SuffixOfNameFilter(const std::string& filter) {
  const size_t open = filter.rfind("(*.");
  if (open == std::string::npos) return "";
  const size_t close = filter.find(')', open);
  if (close == std::string::npos) return "";
  return filter.substr(open + 3, close - open - 3);
}

void SetUpOpenDialog(QFileDialog& dialog) {
  SetFilters(dialog, {QCoreApplication::translate("QVFileDialogs", "ソース（*.qvl) (*.qvl)"),
                      QCoreApplication::translate("QVFileDialogs",
                                                  "PNG イメージファイル (*.png) (*.png)")});
  dialog.setFileMode(QFileDialog::ExistingFile);
}

void SetUpSaveDialog(QFileDialog& dialog, const QImage& shown) {
  SetFilters(dialog,
             {QCoreApplication::translate("QVFileDialogs", "ビットマップ (*.bmp) (*.bmp)"),
              QCoreApplication::translate("QVFileDialogs", "JPEG イメージファイル (*.jpg) (*.jpg)"),
              QCoreApplication::translate("QVFileDialogs", "PNG イメージファイル (*.png) (*.png)"),
              QCoreApplication::translate("QVFileDialogs", "ソース（*.qvl） (*.qvl)"),
              QCoreApplication::translate("QVFileDialogs", "ソース Shift-JIS（*.qvl） (*.qvl)")});
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  // The dialog reports the chosen type by its visible text, without the
  // hidden pattern: the full filter is the one that begins with it.
  const auto follow = [&dialog](const QString& chosen) {
    for (const QString& filter : dialog.nameFilters()) {
      if (!chosen.isEmpty() && filter.startsWith(chosen)) {
        dialog.setDefaultSuffix(ToQString(SuffixOfNameFilter(FromQString(filter))));
        return;
      }
    }
  };
  follow(dialog.selectedNameFilter());
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
  // Qt's own dialog lists the types in this box; any change of it counts.
  if (auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
    QObject::connect(types, &QComboBox::currentIndexChanged, &dialog,
                     [&dialog, follow] { follow(dialog.selectedNameFilter()); });
  }
  AddPreview(dialog, shown);
}

ProjectEncoding ChosenProjectEncoding(const QFileDialog& dialog) {
  // The types in the order SetUpSaveDialog gives them; the last is Shift-JIS.
  const QString chosen = dialog.selectedNameFilter();
  const QStringList filters = dialog.nameFilters();
  for (qsizetype i = 0; i < filters.size(); ++i) {
    if (!chosen.isEmpty() && filters[i].startsWith(chosen)) {
      return i == kShiftJisType ? ProjectEncoding::ShiftJis : ProjectEncoding::Utf8;
    }
  }
  return ProjectEncoding::Utf8;
}

std::string RunInLastFolder(QFileDialog& dialog) {
  const QString folder = EditorSettings::LastFolder();
  if (!folder.isEmpty()) dialog.setDirectory(folder);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return "";
  const QString file = dialog.selectedFiles().front();
  EditorSettings::SetLastFolderOf(file);
  return FromQString(file);
}

}  // namespace qv
