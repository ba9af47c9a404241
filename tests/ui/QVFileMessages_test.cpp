#include "ui/QVFileMessages.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QString>
#include <QTranslator>
#include <algorithm>
#include <cerrno>
#include <string>

#include "image/QVPictureWriteError.h"

namespace {

using qv::PictureWriteFailure;
using qv::PictureWriteStage;

PictureWriteFailure Failure(PictureWriteStage stage, int err, const std::string& detail = "",
                            int32_t w = 0, int32_t h = 0) {
  PictureWriteFailure f;
  f.Stage = stage;
  f.Errno = err;
  f.Detail = detail;
  f.Width = w;
  f.Height = h;
  f.Message = "cannot write: " + detail;
  return f;
}

// Every stage of a failed picture save, worded in Japanese after the file's
// name; in English once the translation is installed, with nothing Japanese
// left. The encoder's message is kept as it is.
TEST(QVFileMessages, PictureSaveFailuresAreWordedFromTheirStage) {
  const std::string path = "/tmp/a b/絵.png";
  const struct {
    PictureWriteFailure failure;
    const char* reason;
  } cases[] = {
      {Failure(PictureWriteStage::Open, ENOENT), "保存先のフォルダがありません。"},
      {Failure(PictureWriteStage::Open, EISDIR), "同じ名前のフォルダがあります。"},
      {Failure(PictureWriteStage::Open, ENOTDIR),
       "保存先のフォルダの名前がファイルの名前になっています。"},
      {Failure(PictureWriteStage::Open, EACCES), "書き込む権限がありません。"},
      {Failure(PictureWriteStage::Write, ENOSPC), "ディスクの空きが足りません。"},
      {Failure(PictureWriteStage::Write, EDQUOT), "ディスクの空きが足りません。"},
      {Failure(PictureWriteStage::Write, EROFS), "読み取り専用の場所です。"},
      {Failure(PictureWriteStage::Write, EFBIG), "ファイルがこの場所に書ける大きさを超えます。"},
      {Failure(PictureWriteStage::Write, 0), "書き込み中にエラーが起きました。"},
      {Failure(PictureWriteStage::Write, EIO), "書き込み中にエラーが起きました（エラー番号 5）。"},
      {Failure(PictureWriteStage::Encode, 0, "Invalid IHDR data"),
       "画像を符号化できませんでした（Invalid IHDR data）。"},
      {Failure(PictureWriteStage::Size, 0, "too wide", 70000, 10),
       "70000 × 10 の画像はこの形式では保存できません。PNG で保存するか、画像サイズを小さくして"
       "ください。"},
      {Failure(PictureWriteStage::Memory, 0),
       "メモリが足りません。画像サイズかアンチエイリアスのサンプル数を小さくするか、ほかのプログラムを閉じてから保存し直してください。"},
      {Failure(PictureWriteStage::Nothing, 0),
       "保存する画像がありません（ミキサーがないか、画像サイズが 0 です）。"},
      {Failure(PictureWriteStage::Stopped, 0), "保存を中止しました。"},
      {Failure(PictureWriteStage::Other, 0, "bad"), "エラーが起きました（bad）。"},
  };
  QTranslator english;
  ASSERT_TRUE(english.load(QStringLiteral(":/translations/qvell_en.qm")));
  for (const auto& c : cases) {
    EXPECT_EQ(qv::PictureSaveFailureText(path, false, c.failure),
              "「" + path + "」を保存できませんでした。\n" + c.reason);
    EXPECT_EQ(qv::PictureSaveFailureText(path, true, c.failure),
              "「" + path + "」を保存できませんでした。前のファイルはそのままです。\n" + c.reason);
    QCoreApplication::installTranslator(&english);
    const std::string text = qv::PictureSaveFailureText(path, true, c.failure);
    QCoreApplication::removeTranslator(&english);
    const size_t at = text.find(path);
    ASSERT_NE(at, std::string::npos) << text;
    const std::string rest = text.substr(0, at) + text.substr(at + path.size());
    const QString english = QString::fromStdString(rest);  // no kana, kanji or full-width forms
    EXPECT_TRUE(std::none_of(english.begin(), english.end(), [](QChar ch) {
      return ch.unicode() >= 0x3000;
    })) << text;
    if (!c.failure.Detail.empty() && c.failure.Stage != PictureWriteStage::Size) {
      EXPECT_NE(rest.find(c.failure.Detail), std::string::npos) << text;
    }
  }
}

}  // namespace
