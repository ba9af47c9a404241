#include "ui/QVHelp.h"

#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

#include "ui/QVText.h"

namespace qv {

std::vector<std::pair<std::string, std::string>> HelpRows() {
  return {
      {"クリック", "その点を中心に描き直す"},
      {"ドラッグ", "範囲を選ぶ（角のドラッグで大きさ、内側のドラッグで位置を変える）"},
      {"範囲の内側をダブルクリック", "その範囲まで拡大する"},
      {"範囲の外側をダブルクリック", "同じ比率で縮小する"},
      {"右クリック", "選んだ範囲を取り消す"},
      {"ホイール", "カーソルの位置を中心に 1 目盛りで 2 倍、拡大・縮小する"},
      {"中ボタンのドラッグ", "表示を動かす"},
      {"Ctrl＋左ボタンを押し続ける", "ポインタの位置へ連続して拡大する（Shift も押すと縮小）"},
      {"＋ ／ −", "中央を中心に拡大・縮小する"},
      {"矢印キー", "表示を動かす"},
      {"F5 ／ Esc", "描画する ／ 描画を止める"},
      {"Alt＋← ／ Alt＋→、マウスの戻る・進むボタン", "前の表示 ／ 次の表示"},
      {"Ctrl＋Z", "元に戻す（ソースのページでは文字の取り消し）"},
      {"Ctrl＋Shift＋Z ／ Ctrl＋Y", "やり直す"},
      {"Ctrl＋O", "読み込む（「読み込み」の右クリックで最近のファイル）"},
      {"Ctrl＋S ／ Ctrl＋Shift＋S", "上書き保存 ／ 名前を付けて保存"},
      {"ファイルをウィンドウへドロップ", "プロジェクト（*.qvl）か、プロジェクト入りの PNG を開く"},
      {"F1", "このヘルプ"},
  };
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
  help->setWindowTitle(QObject::tr("ヘルプ"));
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
