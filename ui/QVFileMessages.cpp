#include "ui/QVFileMessages.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "source/QVProjectFile.h"
#include "source/QVSourceReader.h"
#include "ui/QVNumberEntry.h"

namespace qv {

namespace {

std::string SystemReason(int err) {
  switch (err) {
    case ENOENT:
      return "ファイルがありません。名前と場所を確かめてください。";
    case EACCES:
    case EPERM:
      return "ファイルを読む権限がありません。";
    case EISDIR:
      return "フォルダです。ファイルを選んでください。";
    default:
      return "読み込み中にエラーが起きました（エラー番号 " + std::to_string(err) + "）。";
  }
}

std::string ByteName(int byte) {
  if (byte == 0) return "NUL";
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(byte) & 0xFFu);
  return hex;
}

std::string At(int line, int column) {
  return std::to_string(line) + " 行 " + std::to_string(column) + " 列";
}

// The kind of node the reader names ("Generator", "Effector"), as the editor calls it.
std::string NodeKind(const std::string& kind) {
  if (kind == "Generator") return "ジェネレーター";
  if (kind == "Effector") return "エフェクター";
  return kind;
}

// The reader's failure in the editor's words, from what it expected and found;
// a failure it reports only as text keeps that text.
std::string ReadReason(const ReadResult& result) {
  const ReadProblem& p = result.Problem;
  const std::string expected = "「" + p.Expected + "」", found = "「" + p.Found + "」";
  switch (p.What) {
    case ReadProblem::ExpectedKeyword:
    case ReadProblem::ExpectedChar:
      return p.Found.empty() ? expected + "があるはずですが、テキストが終わっています。"
                             : expected + "があるはずの所に" + found + "があります。";
    case ReadProblem::ExpectedBlank:
      return expected + "の後に空白が要ります（" + found + "）。";
    case ReadProblem::ExpectedNumber:
      return "数があるはずです。";
    case ReadProblem::NotANumber:
      return "'" + p.Found + "' は数ではありません。";
    case ReadProblem::OutOfRange:
      return QVNumberEntry::OutOfRangeMessage(p.Found) + "。";
    case ReadProblem::ExpectedSwitch:
      return "「on」か「off」があるはずの所に" + found + "があります。";
    case ReadProblem::UnknownName: {
      std::string choices;
      for (const std::string& c : p.Choices) choices += "「" + c + "」";
      return expected + "に" + found + "という名前はありません。" + choices +
             "のどれかにしてください。";
    }
    case ReadProblem::NoSuchNode:
      return found + "という名前の" + NodeKind(p.Expected) + "がありません。";
    case ReadProblem::EmptyElement:
      return "ミキサーの要素に演算子と名前がありません。";
    case ReadProblem::ColourOutOfRange:
      return "色の成分 " + p.Found + " が 0～255 の範囲にありません。";
    case ReadProblem::ExpectedParameter:
      return "「" + p.Found + "」の " + std::to_string(p.Count) + " 個のパラメータのうち " +
             std::to_string(p.Index) + " 番目の「Parameter:」がありません。";
    case ReadProblem::UnexpectedText:
      return "ここから先は「Parameter:」のブロックで始まるプロジェクトとして読めません。";
    case ReadProblem::Other:
      break;
  }
  return result.Message;
}

}  // namespace

std::string LoadFailureText(const std::string& path, const std::string& reason) {
  return "「" + path + "」を読み込めませんでした。何も変更していません。\n" + reason;
}

std::string LoadFailureText(const std::string& path, const ProjectFileError& error) {
  switch (error.Problem()) {
    case FileProblem::System:
      return LoadFailureText(path, SystemReason(error.Code()));
    case FileProblem::TooLarge:
      return LoadFailureText(path, "ファイルが大きすぎます（プロジェクトファイルは " +
                                       std::to_string(error.Code()) + " MiB までです）。");
    case FileProblem::Encoding:
      return LoadFailureText(path,
                             "UTF-8 でも Shift-JIS でもないファイルです。プロジェクトは"
                             "どちらかの文字コードのテキストで保存してください。");
    case FileProblem::ControlCharacter:
      return LoadFailureText(
          path, At(error.Line(), error.Column()) + "に、プロジェクトに書けない制御文字（" +
                    ByteName(error.Code()) + "）があります。取り除いてください。");
    case FileProblem::Other:
      break;
  }
  return LoadFailureText(path, error.Reason());
}

std::string ReadFailureText(const std::string& fileName, const ReadResult& result) {
  const std::string where = At(result.Line, result.Column) + ": " + ReadReason(result);
  if (fileName.empty()) {
    return "ソースを読み込めませんでした。何も変更していません。\n" + where;
  }
  return LoadFailureText(fileName, where);
}

std::string SaveFailureText(const std::string& path, bool hadFile, const std::string& reason) {
  return "「" + path + "」を保存できませんでした。" +
         (hadFile ? "前のファイルはそのままです。" : "") + "\n" + reason;
}

std::string SaveFailureText(const std::string& path, bool hadFile, const ProjectFileError& error) {
  if (error.Problem() != FileProblem::System) return SaveFailureText(path, hadFile, error.what());
  std::string reason;
  switch (error.Code()) {
    case ENOENT:
      reason = "保存先のフォルダがありません。";
      break;
    case EACCES:
    case EPERM:
      reason = "書き込む権限がありません。";
      break;
    case EISDIR:
      reason = "同じ名前のフォルダがあります。";
      break;
    case ENOSPC:
      reason = "ディスクの空きが足りません。";
      break;
    case EROFS:
      reason = "読み取り専用の場所です。";
      break;
    default:
      reason =
          "書き込み中にエラーが起きました（エラー番号 " + std::to_string(error.Code()) + "）。";
  }
  return SaveFailureText(path, hadFile, reason);
}

std::string RenderFailureText(const QVMain::RenderFailure& failure) {
  if (!failure.Memory) return failure.Message;
  const auto mib = [](int64_t bytes) { return std::to_string(bytes >> 20) + " MiB"; };
  return std::to_string(failure.Width) + " × " + std::to_string(failure.Height) +
         " の画像の描画と保存には" +
         (failure.Required == INT64_MAX ? "扱えるより多くのメモリ"
                                        : " " + mib(failure.Required) + " のメモリ") +
         "が要りますが、使えるのは " + mib(failure.Available) +
         " です。画像サイズ（幅と高さ）を小さくしてください。";
}

}  // namespace qv
