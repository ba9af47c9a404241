#include "ui/QVLanguage.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>

namespace {

using qv::EditorLanguage;

TEST(QVLanguage, SystemLocaleChoosesUnlessTheUserChose) {
  const struct {
    const char* setting;
    const char* system;
    EditorLanguage expected;
  } cases[] = {
      {"", "ja-JP", EditorLanguage::Japanese},      {"", "ja", EditorLanguage::Japanese},
      {"", "ja_JP", EditorLanguage::Japanese},      {"", "en-US", EditorLanguage::English},
      {"", "de-DE", EditorLanguage::English},       {"", "fr", EditorLanguage::English},
      {"", "jv-ID", EditorLanguage::English},  // Javanese is not Japanese
      {"", "C", EditorLanguage::Japanese},          {"", "POSIX", EditorLanguage::Japanese},
      {"", "", EditorLanguage::Japanese},           {"ja", "en-US", EditorLanguage::Japanese},
      {"en", "ja-JP", EditorLanguage::English},     {"en", "C", EditorLanguage::English},
      {"system", "en-GB", EditorLanguage::English}, {"unknown", "ja-JP", EditorLanguage::Japanese},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(qv::ChooseLanguage(QString::fromUtf8(c.setting), QString::fromUtf8(c.system)),
              c.expected)
        << "setting '" << c.setting << "', system '" << c.system << "'";
  }
}

// The English translation is built into the program: once installed, a text of
// the main window reads in English; removed, the Japanese source comes back.
TEST(QVLanguage, EnglishTranslationIsBuiltIn) {
  QTranslator translator;
  ASSERT_TRUE(translator.load(QStringLiteral(":/translations/qvell_en.qm")));
  QCoreApplication::installTranslator(&translator);
  const QString english = QCoreApplication::translate("TForm1", "描画");
  QCoreApplication::removeTranslator(&translator);
  EXPECT_EQ(english, QStringLiteral("Render"));
  EXPECT_EQ(QCoreApplication::translate("TForm1", "描画"), QString::fromUtf8("描画"));
}

}  // namespace
