#include "ui/QVLanguageMenu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QToolButton>
#include <QWidget>
#include <memory>

#include "ui/QVEditorSettings.h"
#include "ui/QVLanguage.h"

namespace {

QAction* Choice(QToolButton* button, int index) { return button->menu()->actions().at(index); }

// Each choice is remembered for the next start, told to the user, and the
// start's rule then gives that language whatever the system says.
TEST(QVLanguageMenu, ChoiceIsRememberedForTheNextStart) {
  const struct {
    int index;
    const char* stored;
    qv::EditorLanguage onEnglishSystem, onJapaneseSystem;
  } cases[] = {
      {2, "en", qv::EditorLanguage::English, qv::EditorLanguage::English},
      {1, "ja", qv::EditorLanguage::Japanese, qv::EditorLanguage::Japanese},
      {0, "", qv::EditorLanguage::English, qv::EditorLanguage::Japanese},
  };
  QWidget parent;
  int notices = 0;
  QToolButton* button = qv::MakeLanguageButton(&parent, [&](const QString& notice) {
    EXPECT_FALSE(notice.isEmpty());
    ++notices;
  });
  ASSERT_EQ(button->menu()->actions().size(), 3);
  for (const auto& c : cases) {
    Choice(button, c.index)->trigger();
    EXPECT_EQ(qv::EditorSettings::Language(), QString::fromUtf8(c.stored));
    EXPECT_TRUE(Choice(button, c.index)->isChecked());
    const QString setting = qv::EditorSettings::Language();
    EXPECT_EQ(qv::ChooseLanguage(setting, QStringLiteral("en-US")), c.onEnglishSystem);
    EXPECT_EQ(qv::ChooseLanguage(setting, QStringLiteral("ja-JP")), c.onJapaneseSystem);
  }
  EXPECT_EQ(notices, 3);
  // A new window's menu marks the remembered choice.
  qv::EditorSettings::SetLanguage(QStringLiteral("en"));
  QWidget other;
  QToolButton* again = qv::MakeLanguageButton(&other, [](const QString&) {});
  EXPECT_TRUE(Choice(again, 2)->isChecked());
  EXPECT_FALSE(Choice(again, 0)->isChecked());
  qv::EditorSettings::SetLanguage(QString());
}

}  // namespace
