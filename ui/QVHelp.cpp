#include "ui/QVHelp.h"

#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

#include "ui/QVText.h"

namespace qv {

std::vector<std::pair<std::string, std::string>> HelpRows() {
  static constexpr const char* kRows[][2] = {
      {QT_TRANSLATE_NOOP("QVHelp", "クリック"),
       QT_TRANSLATE_NOOP("QVHelp", "その点を中心に描き直す")},
      {QT_TRANSLATE_NOOP("QVHelp", "ドラッグ"),
       QT_TRANSLATE_NOOP("QVHelp",
                         "範囲を選ぶ（角のドラッグで大きさ、内側のドラッグで位置を変える）")},
      {QT_TRANSLATE_NOOP("QVHelp", "範囲の内側をダブルクリック"),
       QT_TRANSLATE_NOOP("QVHelp", "その範囲まで拡大する")},
      {QT_TRANSLATE_NOOP("QVHelp", "範囲の外側をダブルクリック"),
       QT_TRANSLATE_NOOP("QVHelp", "同じ比率で縮小する")},
      {QT_TRANSLATE_NOOP("QVHelp", "右クリック"),
       QT_TRANSLATE_NOOP("QVHelp", "選んだ範囲を取り消す")},
      {QT_TRANSLATE_NOOP("QVHelp", "ホイール"),
       QT_TRANSLATE_NOOP("QVHelp", "カーソルの位置を中心に 1 目盛りで 2 倍、拡大・縮小する")},
      {QT_TRANSLATE_NOOP("QVHelp", "中ボタンのドラッグ"),
       QT_TRANSLATE_NOOP("QVHelp", "表示を動かす")},
      {QT_TRANSLATE_NOOP("QVHelp", "Ctrl＋左ボタンを押し続ける"),
       QT_TRANSLATE_NOOP("QVHelp", "ポインタの位置へ連続して拡大する（Shift も押すと縮小）")},
      {QT_TRANSLATE_NOOP("QVHelp", "＋ ／ −"),
       QT_TRANSLATE_NOOP("QVHelp", "中央を中心に拡大・縮小する")},
      {QT_TRANSLATE_NOOP("QVHelp", "矢印キー"), QT_TRANSLATE_NOOP("QVHelp", "表示を動かす")},
      {QT_TRANSLATE_NOOP("QVHelp", "F5 ／ Esc"),
       QT_TRANSLATE_NOOP("QVHelp", "描画する ／ 描画を止める")},
      {QT_TRANSLATE_NOOP("QVHelp", "Alt＋← ／ Alt＋→、マウスの戻る・進むボタン"),
       QT_TRANSLATE_NOOP("QVHelp", "前の表示 ／ 次の表示")},
      {QT_TRANSLATE_NOOP("QVHelp", "Ctrl＋Z"),
       QT_TRANSLATE_NOOP("QVHelp", "元に戻す（ソースのページでは文字の取り消し）")},
      {QT_TRANSLATE_NOOP("QVHelp", "Ctrl＋Shift＋Z ／ Ctrl＋Y"),
       QT_TRANSLATE_NOOP("QVHelp", "やり直す")},
      {QT_TRANSLATE_NOOP("QVHelp", "Ctrl＋O"),
       QT_TRANSLATE_NOOP("QVHelp", "読み込む（「読み込み」の横の ▼ か右クリックで最近のファイル）")},
      {QT_TRANSLATE_NOOP("QVHelp", "Ctrl＋S ／ Ctrl＋Shift＋S"),
       QT_TRANSLATE_NOOP("QVHelp", "上書き保存 ／ 名前を付けて保存")},
      {QT_TRANSLATE_NOOP("QVHelp", "ファイルをウィンドウへドロップ"),
       QT_TRANSLATE_NOOP("QVHelp", "プロジェクト（*.qvl）か、プロジェクト入りの PNG を開く")},
      {QT_TRANSLATE_NOOP("QVHelp", "F1"), QT_TRANSLATE_NOOP("QVHelp", "このヘルプ")},
  };
  std::vector<std::pair<std::string, std::string>> rows;
  for (const auto& [key, what] : kRows) {
    rows.emplace_back(FromQString(QCoreApplication::translate("QVHelp", key)),
                      FromQString(QCoreApplication::translate("QVHelp", what)));
  }
  return rows;
}

namespace {

// Closes at any key or click.
class HelpWindow : public QDialog {
 public:
  explicit HelpWindow(QWidget* parent) : QDialog(parent) {}

 protected:
  void keyPressEvent(QKeyEvent*) override { close(); }
  void mousePressEvent(QMouseEvent*) override { close(); }
};

QString HelpHtml() {
  QString html = QStringLiteral("<table cellspacing='0' cellpadding='3'>");
  for (const auto& [key, what] : HelpRows()) {
    html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
                .arg(ToQString(key).toHtmlEscaped(), ToQString(what).toHtmlEscaped());
  }
  return html + QStringLiteral("</table>");
}

}  // namespace

QWidget* ShowHelp(QWidget* parent) {
  static QPointer<HelpWindow> shown;
  if (shown) {
    shown->close();
    return nullptr;
  }
  auto* help = new HelpWindow(parent);
  help->setAttribute(Qt::WA_DeleteOnClose);
  help->setWindowTitle(QCoreApplication::translate("QVHelp", "ヘルプ"));
  auto* label = new QLabel(HelpHtml(), help);
  label->setTextFormat(Qt::RichText);
  (new QVBoxLayout(help))->addWidget(label);
  shown = help;
  help->show();
  help->raise();
  help->activateWindow();
  return help;
}

}  // namespace qv
