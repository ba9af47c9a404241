#include "ui/QVLanguageMenu.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>
#include <QToolButton>

#include "ui/QVEditorSettings.h"

namespace qv {

QToolButton* MakeLanguageButton(QWidget* parent, std::function<void(const QString&)> notify) {
  auto* button = new QToolButton(parent);
  // The same words in both languages, so whoever cannot read the one finds it.
  button->setText(QCoreApplication::translate("QVLanguageMenu", "言語 / Language"));
  button->setToolTip(QCoreApplication::translate(
      "QVLanguageMenu", "画面の言語を選ぶ（次の起動から有効）。ふつうはシステムの言語に従う"));
  button->setPopupMode(QToolButton::InstantPopup);
  auto* menu = new QMenu(button);
  auto* group = new QActionGroup(menu);
  // The language names are written in their own language.
  const std::pair<QString, QString> choices[] = {
      {QString(), QCoreApplication::translate("QVLanguageMenu", "システムに従う")},
      {QStringLiteral("ja"), QString::fromUtf8("日本語")},
      {QStringLiteral("en"), QStringLiteral("English")}};
  const QString current = EditorSettings::Language();
  for (const auto& [code, label] : choices) {
    QAction* action = menu->addAction(label);
    action->setCheckable(true);
    action->setChecked(code == current || (code.isEmpty() && current != QLatin1String("ja") &&
                                           current != QLatin1String("en")));
    action->setData(code);
    group->addAction(action);
    QObject::connect(action, &QAction::triggered, button, [code = code, notify] {
      EditorSettings::SetLanguage(code);
      notify(QCoreApplication::translate("QVLanguageMenu",
                                         "言語の設定を保存しました。次の起動から有効になります。"));
    });
  }
  button->setMenu(menu);
  return button;
}

}  // namespace qv
