// TFrameEffector's preset menu: the built-in and saved bars, saving the
// bar as a preset, and importing and exporting a colour-bar file, with the
// dialogs that ask for a name and a file.
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QToolButton>

#include "engine/QVEffector.h"
#include "ui/QVErrorBox.h"
#include "ui/QVFileDialogs.h"
#include "ui/QVText.h"
#include "ui/UnitEffector.h"

void TFrameEffector::SetUpPresetDialogs() {
  AskColorBarFile = [this](bool save) {
    QFileDialog dialog(this, save
                                 ? QCoreApplication::translate("TFrameEffector", "色帯の書き出し")
                                 : QCoreApplication::translate("TFrameEffector", "色帯の読み込み"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters({QCoreApplication::translate("TFrameEffector", "色帯ファイル (*.txt)"),
                           QCoreApplication::translate("TFrameEffector", "すべてのファイル (*)")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    return qv::ToQString(qv::RunInLastFolder(dialog));
  };
  AskPresetName = [this] {
    return QInputDialog::getText(
        this, QCoreApplication::translate("TFrameEffector", "プリセットの保存"),
        QCoreApplication::translate("TFrameEffector", "プリセットの名前:"));
  };
}

void TFrameEffector::ButtonColorBarPresetMenu(QMenu* menu) {
  menu->clear();
  for (const qv::ColorBarPreset& p : qv::BuiltinColorBars()) {
    menu->addAction(p.Name, this, [this, p] { ApplyColorBar(p.Bar, p.Name); });
  }
  menu->addSeparator();
  QStringList problems;
  const std::vector<qv::ColorBarPreset> saved = presets_.Load(&problems);
  for (const qv::ColorBarPreset& p : saved) {
    menu->addAction(p.Name, this, [this, p] { ApplyColorBar(p.Bar, p.Name); });
  }
  if (saved.empty()) {
    menu->addAction(
            QCoreApplication::translate("TFrameEffector", "（保存したプリセットはありません）"))
        ->setEnabled(false);
  }
  if (!problems.isEmpty()) ShowStatus(problems.join(QLatin1Char(' ')));
  menu->addSeparator();
  const bool bound = Effector() != nullptr;
  menu->addAction(
      QCoreApplication::translate("TFrameEffector", "現在の色帯をプリセットとして保存..."), this,
      [this] { SaveColorBarPreset(); });
  menu->addAction(QCoreApplication::translate("TFrameEffector", "色帯をファイルから読み込み..."),
                  this, [this] { ImportColorBarFile(); });
  menu->addAction(QCoreApplication::translate("TFrameEffector", "色帯をファイルへ書き出し..."),
                  this, [this] { ExportColorBarFile(); });
  if (!bound) {
    for (QAction* a : menu->actions()) a->setEnabled(false);  // nothing to apply a bar to
  }
}

void TFrameEffector::SaveColorBarPreset() {
  qv::Guarded(this, [&] {
    if (!Effector() || !CommitPendingInput()) return;
    const QString name = AskPresetName();
    if (name.isEmpty()) return;
    const QString problem = presets_.Save(name, Effector()->ColorBar());
    if (!problem.isEmpty()) {
      qv::ShowError(this, qv::FromQString(problem));
      return;
    }
    ShowStatus(QCoreApplication::translate("TFrameEffector", "プリセット「%1」を保存しました")
                   .arg(name.trimmed()));
  });
}

void TFrameEffector::ImportColorBarFile() {
  qv::Guarded(this, [&] {
    if (!Effector()) return;
    const QString path = AskColorBarFile(false);
    if (path.isEmpty()) return;
    qv::ColorBar bar;
    if (const QString problem = qv::ImportColorBar(path, bar); !problem.isEmpty()) {
      qv::ShowError(this, qv::FromQString(problem));  // the bar stays as it was
      return;
    }
    ApplyColorBar(bar, QFileInfo(path).fileName());
  });
}

void TFrameEffector::ExportColorBarFile() {
  qv::Guarded(this, [&] {
    if (!Effector() || !CommitPendingInput()) return;
    const QString path = AskColorBarFile(true);
    if (path.isEmpty()) return;
    if (const QString problem = qv::ExportColorBar(path, Effector()->ColorBar());
        !problem.isEmpty()) {
      qv::ShowError(this, qv::FromQString(problem));
      return;
    }
    ShowStatus(QCoreApplication::translate("TFrameEffector", "色帯を '%1' に書き出しました")
                   .arg(QDir::toNativeSeparators(path)));
  });
}
