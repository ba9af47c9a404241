#include "ui/QVFileMessages.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "image/QVPictureWriteError.h"
#include "source/QVProjectFile.h"
#include "source/QVSourceReader.h"
#include "ui/QVNumberEntry.h"
#include "ui/QVText.h"

namespace qv {

namespace {

// A translated message as the UTF-8 text the callers pass on.
std::string Said(const QString& text) { return FromQString(text); }

QString Q(const std::string& text) { return ToQString(text); }

std::string SystemReason(int err) {
  switch (err) {
    case ENOENT:
      return Said(QCoreApplication::translate(
          "QVFileMessages", "ファイルがありません。名前と場所を確かめてください。"));
    case EACCES:
    case EPERM:
      return Said(
          QCoreApplication::translate("QVFileMessages", "ファイルを読む権限がありません。"));
    case EISDIR:
      return Said(QCoreApplication::translate("QVFileMessages",
                                              "フォルダです。ファイルを選んでください。"));
    default:
      return Said(QCoreApplication::translate("QVFileMessages",
                                              "読み込み中にエラーが起きました（エラー番号 %1）。")
                      .arg(err));
  }
}

// Why the system refused a write (an errno value).
std::string WriteReason(int err) {
  switch (err) {
    case ENOENT:
      return Said(QCoreApplication::translate("QVFileMessages", "保存先のフォルダがありません。"));
    case EACCES:
    case EPERM:
      return Said(QCoreApplication::translate("QVFileMessages", "書き込む権限がありません。"));
    case EISDIR:
      return Said(QCoreApplication::translate("QVFileMessages", "同じ名前のフォルダがあります。"));
    case ENOTDIR:
      return Said(QCoreApplication::translate(
          "QVFileMessages", "保存先のフォルダの名前がファイルの名前になっています。"));
    case ENOSPC:
    case EDQUOT:
      return Said(QCoreApplication::translate("QVFileMessages", "ディスクの空きが足りません。"));
    case EROFS:
      return Said(QCoreApplication::translate("QVFileMessages", "読み取り専用の場所です。"));
    case EFBIG:
      return Said(QCoreApplication::translate("QVFileMessages",
                                              "ファイルがこの場所に書ける大きさを超えます。"));
    case 0:
      return Said(
          QCoreApplication::translate("QVFileMessages", "書き込み中にエラーが起きました。"));
    default:
      return Said(QCoreApplication::translate("QVFileMessages",
                                              "書き込み中にエラーが起きました（エラー番号 %1）。")
                      .arg(err));
  }
}

// Why a picture was not written, from the stage that failed.
std::string PictureReason(const PictureWriteFailure& failure) {
  switch (failure.Stage) {
    case PictureWriteStage::None:
      break;
    case PictureWriteStage::Nothing:
      return Said(QCoreApplication::translate(
          "QVFileMessages", "保存する画像がありません（ミキサーがないか、画像サイズが 0 です）。"));
    case PictureWriteStage::Open:
    case PictureWriteStage::Write:
      if (failure.Errno != 0 || failure.Detail.empty()) return WriteReason(failure.Errno);
      return Said(
          QCoreApplication::translate("QVFileMessages", "ファイルを書けませんでした（%1）。")
              .arg(Q(failure.Detail)));
    case PictureWriteStage::Encode:
      return Said(
          QCoreApplication::translate("QVFileMessages", "画像を符号化できませんでした（%1）。")
              .arg(Q(failure.Detail)));
    case PictureWriteStage::Size:
      return Said(QCoreApplication::translate(
                      "QVFileMessages",
                      "%1 × %2 の画像はこの形式では保存できません。PNG で保存するか、"
                      "画像サイズを小さくしてください。")
                      .arg(failure.Width)
                      .arg(failure.Height));
    case PictureWriteStage::Memory:
      return Said(QCoreApplication::translate(
          "QVFileMessages",
          "メモリが足りません。画像サイズかアンチエイリアスのサンプル数を小さくするか、ほかのプログラムを閉じてから保存し直してください。"));
    case PictureWriteStage::Stopped:
      return Said(QCoreApplication::translate("QVFileMessages", "保存を中止しました。"));
    case PictureWriteStage::Other:
      break;
  }
  return Said(QCoreApplication::translate("QVFileMessages", "エラーが起きました（%1）。")
                  .arg(Q(failure.Detail.empty() ? failure.Message : failure.Detail)));
}

std::string ByteName(int byte) {
  if (byte == 0) return "NUL";
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(byte) & 0xFFu);
  return hex;
}

std::string At(int line, int column) {
  return Said(QCoreApplication::translate("QVFileMessages", "%1 行 %2 列").arg(line).arg(column));
}

// The kind of node the reader names ("Generator", "Effector"), as the editor calls it.
QString NodeKind(const std::string& kind) {
  if (kind == "Generator") return QCoreApplication::translate("QVFileMessages", "ジェネレータ");
  if (kind == "Effector") return QCoreApplication::translate("QVFileMessages", "エフェクタ");
  return Q(kind);
}

// The reader's failure in the editor's words, from what it expected and found;
// a failure it reports only as text keeps that text.
std::string ReadReason(const ReadResult& result) {
  const ReadProblem& p = result.Problem;
  const QString expected = Q(p.Expected), found = Q(p.Found);
  switch (p.What) {
    case ReadProblem::ExpectedKeyword:
    case ReadProblem::ExpectedChar:
      return p.Found.empty()
                 ? Said(QCoreApplication::translate(
                            "QVFileMessages", "「%1」があるはずですが、テキストが終わっています。")
                            .arg(expected))
                 : Said(QCoreApplication::translate("QVFileMessages",
                                                    "「%1」があるはずの所に「%2」があります。")
                            .arg(expected, found));
    case ReadProblem::ExpectedBlank:
      return Said(
          QCoreApplication::translate("QVFileMessages", "「%1」の後に空白が要ります（「%2」）。")
              .arg(expected, found));
    case ReadProblem::ExpectedNumber:
      return Said(QCoreApplication::translate("QVFileMessages", "数があるはずです。"));
    case ReadProblem::NotANumber:
      return Said(
          QCoreApplication::translate("QVFileMessages", "'%1' は数ではありません。").arg(found));
    case ReadProblem::OutOfRange:
      return Said(QCoreApplication::translate("QVFileMessages", "%1。")
                      .arg(Q(QVNumberEntry::OutOfRangeMessage(p.Found))));
    case ReadProblem::ExpectedSwitch:
      return Said(QCoreApplication::translate("QVFileMessages",
                                              "「on」か「off」があるはずの所に「%1」があります。")
                      .arg(found));
    case ReadProblem::UnknownName: {
      QString choices;
      for (const std::string& c : p.Choices) {
        choices += QCoreApplication::translate("QVFileMessages", "「%1」").arg(Q(c));
      }
      return Said(QCoreApplication::translate(
                      "QVFileMessages",
                      "「%1」に「%2」という名前はありません。%3のどれかにしてください。")
                      .arg(expected, found, choices));
    }
    case ReadProblem::NoSuchNode:
      return Said(QCoreApplication::translate("QVFileMessages", "「%1」という名前の%2がありません。")
                      .arg(found, NodeKind(p.Expected)));
    case ReadProblem::EmptyElement:
      return Said(
          QCoreApplication::translate("QVFileMessages", "ミキサーの要素に演算子と名前がありません。"));
    case ReadProblem::ColourOutOfRange:
      return Said(QCoreApplication::translate("QVFileMessages",
                                              "色の成分 %1 が 0～255 の範囲にありません。")
                      .arg(found));
    case ReadProblem::ExpectedParameter:
      return Said(QCoreApplication::translate(
                      "QVFileMessages",
                      "「%1」の %2 個のパラメータのうち %3 番目の「Parameter:」がありません。")
                      .arg(found, QString::number(p.Count), QString::number(p.Index)));
    case ReadProblem::UnexpectedText:
      return Said(QCoreApplication::translate(
          "QVFileMessages",
          "ここから先は「Parameter:」のブロックで始まるプロジェクトとして読めません。"));
    case ReadProblem::Other:
      break;
  }
  return result.Message;
}

}  // namespace

std::string LoadFailureText(const std::string& path, const std::string& reason) {
  return Said(QCoreApplication::translate(
                  "QVFileMessages", "「%1」を読み込めませんでした。何も変更していません。\n%2")
                  .arg(Q(path), Q(reason)));
}

std::string LoadFailureText(const std::string& path, const ProjectFileError& error) {
  switch (error.Problem()) {
    case FileProblem::System:
      return LoadFailureText(path, SystemReason(error.Code()));
    case FileProblem::TooLarge:
      return LoadFailureText(
          path, Said(QCoreApplication::translate(
                         "QVFileMessages",
                         "ファイルが大きすぎます（プロジェクトファイルは %1 MiB までです）。")
                         .arg(error.Code())));
    case FileProblem::Encoding:
      return LoadFailureText(path, Said(QCoreApplication::translate(
                                       "QVFileMessages",
                                       "UTF-8 でも Shift-JIS でもないファイルです。プロジェクトは"
                                       "どちらかの文字コードのテキストで保存してください。")));
    case FileProblem::ControlCharacter:
      return LoadFailureText(
          path,
          Said(QCoreApplication::translate(
                   "QVFileMessages",
                   "%1に、プロジェクトに書けない制御文字（%2）があります。取り除いてください。")
                   .arg(Q(At(error.Line(), error.Column())), Q(ByteName(error.Code())))));
    case FileProblem::Other:
      break;
  }
  return LoadFailureText(path, error.Reason());
}

std::string ReadFailureText(const std::string& fileName, const ReadResult& result) {
  const std::string where = At(result.Line, result.Column) + ": " + ReadReason(result);
  if (fileName.empty()) {
    return Said(QCoreApplication::translate(
                    "QVFileMessages", "ソースを読み込めませんでした。何も変更していません。\n%1")
                    .arg(Q(where)));
  }
  return LoadFailureText(fileName, where);
}

std::string SaveFailureText(const std::string& path, bool hadFile, const std::string& reason) {
  return Said(
      (hadFile
           ? QCoreApplication::translate(
                 "QVFileMessages", "「%1」を保存できませんでした。前のファイルはそのままです。\n%2")
           : QCoreApplication::translate("QVFileMessages", "「%1」を保存できませんでした。\n%2"))
          .arg(Q(path), Q(reason)));
}

std::string SaveFailureText(const std::string& path, bool hadFile, const ProjectFileError& error) {
  if (error.Problem() == FileProblem::Encoding) {
    return SaveFailureText(path, hadFile,
                           "Shift-JIS で表せない文字が含まれています。"
                           "ファイルの種類を「ソース（*.qvl）」（UTF-8）にして保存してください。");
  }
  if (error.Problem() != FileProblem::System) return SaveFailureText(path, hadFile, error.what());
  return SaveFailureText(path, hadFile, WriteReason(error.Code()));
}

std::string PictureSaveFailureText(const std::string& path, bool hadFile,
                                   const PictureWriteFailure& failure) {
  return SaveFailureText(path, hadFile, PictureReason(failure));
}

std::string RenderFailureText(const QVMain::RenderFailure& failure) {
  if (!failure.Memory) return failure.Message;
  const auto mib = [](int64_t bytes) { return QString::number(bytes >> 20); };
  const QString text =
      failure.Required == INT64_MAX
          ? QCoreApplication::translate(
                "QVFileMessages",
                "%1 × %2 の画像の描画と保存には扱えるより多くのメモリが要りますが、"
                "使えるのは %3 MiB です。画像サイズ（幅と高さ）を小さくしてください。")
                .arg(failure.Width)
                .arg(failure.Height)
                .arg(mib(failure.Available))
          : QCoreApplication::translate(
                "QVFileMessages",
                "%1 × %2 の画像の描画と保存には %3 MiB のメモリが要りますが、"
                "使えるのは %4 MiB です。画像サイズ（幅と高さ）を小さくしてください。")
                .arg(failure.Width)
                .arg(failure.Height)
                .arg(mib(failure.Required), mib(failure.Available));
  return Said(text);
}

}  // namespace qv
