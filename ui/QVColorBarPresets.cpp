#include "ui/QVColorBarPresets.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <exception>
#include <iterator>

#include "base/QVAtomicFile.h"
#include "source/QVColorBarText.h"
#include "ui/QVText.h"

namespace qv {

namespace {

constexpr char kSuffix[] = ".txt";

constexpr int32_t Rgb(int32_t r, int32_t g, int32_t b) { return r | g << 8 | b << 16; }

struct Builtin {
  const char* Name;
  std::vector<ConvertData> Stops;
};

// Inputs are written as the project text keeps them (15 significant digits).
const Builtin kBuiltins[] = {
    {QT_TRANSLATE_NOOP("ColorBarPresets", "グレー"), {{0, Rgb(0, 0, 0)}, {1, Rgb(255, 255, 255)}}},
    {QT_TRANSLATE_NOOP("ColorBarPresets", "反転グレー"),
     {{0, Rgb(255, 255, 255)}, {1, Rgb(0, 0, 0)}}},
    {QT_TRANSLATE_NOOP("ColorBarPresets", "炎"),
     {{0, Rgb(0, 0, 0)},
      {0.3, Rgb(180, 20, 0)},
      {0.6, Rgb(255, 140, 0)},
      {0.85, Rgb(255, 230, 80)},
      {1, Rgb(255, 255, 255)}}},
    {QT_TRANSLATE_NOOP("ColorBarPresets", "氷"),
     {{0, Rgb(0, 0, 0)},
      {0.35, Rgb(0, 40, 120)},
      {0.7, Rgb(80, 180, 230)},
      {1, Rgb(255, 255, 255)}}},
    {QT_TRANSLATE_NOOP("ColorBarPresets", "虹（ループ）"),
     {{0, Rgb(255, 0, 0)},
      {0.166666666666667, Rgb(255, 255, 0)},
      {0.333333333333333, Rgb(0, 255, 0)},
      {0.5, Rgb(0, 255, 255)},
      {0.666666666666667, Rgb(0, 0, 255)},
      {0.833333333333333, Rgb(255, 0, 255)},
      {1, Rgb(255, 0, 0)}}},
    {QT_TRANSLATE_NOOP("ColorBarPresets", "海"),
     {{0, Rgb(0, 10, 30)},
      {0.5, Rgb(0, 90, 140)},
      {0.8, Rgb(40, 200, 200)},
      {1, Rgb(230, 255, 250)}}},
    {QT_TRANSLATE_NOOP("ColorBarPresets", "夕焼け"),
     {{0, Rgb(20, 0, 60)},
      {0.4, Rgb(160, 30, 90)},
      {0.7, Rgb(250, 120, 50)},
      {1, Rgb(255, 230, 150)}}},
    {QT_TRANSLATE_NOOP("ColorBarPresets", "森"),
     {{0, Rgb(0, 20, 0)}, {0.5, Rgb(30, 120, 30)}, {1, Rgb(220, 240, 160)}}},
    {QT_TRANSLATE_NOOP("ColorBarPresets", "縞（ループ）"),
     {{0, Rgb(0, 0, 0)},
      {0.25, Rgb(255, 255, 255)},
      {0.5, Rgb(0, 0, 0)},
      {0.75, Rgb(255, 255, 255)},
      {1, Rgb(0, 0, 0)}}},
};

// "FILE の N 行目: WHAT".
QString ProblemText(const QString& path, const ColorBarTextProblem& p) {
  QString what;
  switch (p.What) {
    case ColorBarTextProblem::FieldCount:
      what =
          QCoreApplication::translate("ColorBarPresets", "「入力値 R G B」の4つの値が必要です: %1")
              .arg(ToQString(p.Found));
      break;
    case ColorBarTextProblem::BadInput:
      what = QCoreApplication::translate("ColorBarPresets", "入力値 '%1' は数値ではありません")
                 .arg(ToQString(p.Found));
      break;
    case ColorBarTextProblem::BadChannel:
      what = QCoreApplication::translate("ColorBarPresets",
                                         "色の値 '%1' は 0 から 255 の整数ではありません")
                 .arg(ToQString(p.Found));
      break;
    case ColorBarTextProblem::RepeatedInput:
      what = QCoreApplication::translate("ColorBarPresets", "入力値 '%1' は %2 行目と同じです")
                 .arg(ToQString(p.Found))
                 .arg(p.Other);
      break;
    case ColorBarTextProblem::TooFewStops:
      return QCoreApplication::translate("ColorBarPresets", "'%1' には色帯の項目が2つ以上必要です")
          .arg(QDir::toNativeSeparators(path));
    case ColorBarTextProblem::None:
      return {};
  }
  return QCoreApplication::translate("ColorBarPresets", "'%1' の %2 行目: %3")
      .arg(QDir::toNativeSeparators(path))
      .arg(p.Line)
      .arg(what);
}

}  // namespace

std::vector<ColorBarPreset> BuiltinColorBars() {
  std::vector<ColorBarPreset> presets;
  for (const Builtin& b : kBuiltins)
    presets.push_back({QCoreApplication::translate("ColorBarPresets", b.Name), ColorBar(b.Stops)});
  return presets;
}

QString ImportColorBar(const QString& path, ColorBar& bar) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return QCoreApplication::translate("ColorBarPresets", "'%1' を読み込めません: %2")
        .arg(QDir::toNativeSeparators(path), file.errorString());
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    return QCoreApplication::translate("ColorBarPresets", "'%1' を読み込めません: %2")
        .arg(QDir::toNativeSeparators(path), file.errorString());
  }
  return ProblemText(path,
                     ReadColorBarText(std::string_view(bytes.constData(), bytes.size()), bar));
}

QString ExportColorBar(const QString& path, const ColorBar& bar) {
  try {
    WriteFileAtomically(FromQString(path), WriteColorBarText(bar));
  } catch (const std::exception& e) {
    return QCoreApplication::translate("ColorBarPresets",
                                       "'%1' に書き込めません（元のファイルはそのままです）: %2")
        .arg(QDir::toNativeSeparators(path), ToQString(e.what()));
  }
  return {};
}

QString ColorBarPresetFolder::DefaultPath() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
      .filePath(QStringLiteral("colorbars"));
}

QString ColorBarPresetFolder::FileOf(const QString& name) const {
  return QDir(path_).filePath(name + QLatin1String(kSuffix));
}

std::vector<ColorBarPreset> ColorBarPresetFolder::Load(QStringList* problems) const {
  std::vector<ColorBarPreset> presets;
  const QFileInfoList files = QDir(path_).entryInfoList(
      {QStringLiteral("*") + QLatin1String(kSuffix)}, QDir::Files, QDir::Name | QDir::IgnoreCase);
  for (const QFileInfo& info : files) {
    ColorBar bar;
    const QString problem = ImportColorBar(info.filePath(), bar);
    if (problem.isEmpty()) {
      presets.push_back({info.completeBaseName(), std::move(bar)});
    } else if (problems) {
      problems->append(problem);
    }
  }
  return presets;
}

QString ColorBarPresetFolder::Save(const QString& name, const ColorBar& bar) const {
  const QString trimmed = name.trimmed();
  if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('.')) ||
      trimmed.contains(QLatin1Char('/')) || trimmed.contains(QLatin1Char('\\')) ||
      trimmed.contains(QLatin1Char(':'))) {
    return QCoreApplication::translate("ColorBarPresets",
                                       "'%1' "
                                       "はプリセットの名前にできません（空の名前、先頭の「.」、「/"
                                       "」「\\」「:」は使えません）")
        .arg(name);
  }
  if (!QDir().mkpath(path_)) {
    return QCoreApplication::translate("ColorBarPresets", "フォルダ '%1' を作成できません")
        .arg(QDir::toNativeSeparators(path_));
  }
  return ExportColorBar(FileOf(trimmed), bar);
}

}  // namespace qv
