#include "ui/QVEngineNames.h"

#include <QCoreApplication>

#include "ui/QVText.h"

namespace qv {

namespace {

// Every name the engine shows that is not plain ASCII (formulas such as
// "z^2+C" read the same in any language), listed for lupdate; a test checks
// that each name of the engine's lists is here.
[[maybe_unused]] constexpr const char* kNames[] = {
    QT_TRANSLATE_NOOP("QVEngineNames", "log(log(大きさ))"),
    QT_TRANSLATE_NOOP("QVEngineNames", "log(大きさ)"),
    QT_TRANSLATE_NOOP("QVEngineNames", "エプシロンクロス"),
    QT_TRANSLATE_NOOP("QVEngineNames", "ジュリア"),
    QT_TRANSLATE_NOOP("QVEngineNames", "ノルム"),
    QT_TRANSLATE_NOOP("QVEngineNames", "バイアス"),
    QT_TRANSLATE_NOOP("QVEngineNames", "マンデルブロ"),
    QT_TRANSLATE_NOOP("QVEngineNames", "ループサイズ"),
    QT_TRANSLATE_NOOP("QVEngineNames", "中心点"),
    QT_TRANSLATE_NOOP("QVEngineNames", "位置"),
    QT_TRANSLATE_NOOP("QVEngineNames", "十字"),
    QT_TRANSLATE_NOOP("QVEngineNames", "和合成"),
    QT_TRANSLATE_NOOP("QVEngineNames", "回数"),
    QT_TRANSLATE_NOOP("QVEngineNames", "回数(ループ)"),
    QT_TRANSLATE_NOOP("QVEngineNames", "回数0"),
    QT_TRANSLATE_NOOP("QVEngineNames", "大きさ"),
    QT_TRANSLATE_NOOP("QVEngineNames", "定数"),
    QT_TRANSLATE_NOOP("QVEngineNames", "実数虚数比"),
    QT_TRANSLATE_NOOP("QVEngineNames", "実数虚数積"),
    QT_TRANSLATE_NOOP("QVEngineNames", "実部"),
    QT_TRANSLATE_NOOP("QVEngineNames", "差分累積"),
    QT_TRANSLATE_NOOP("QVEngineNames", "市松模様累積"),
    QT_TRANSLATE_NOOP("QVEngineNames", "幅"),
    QT_TRANSLATE_NOOP("QVEngineNames", "球"),
    QT_TRANSLATE_NOOP("QVEngineNames", "終点"),
    QT_TRANSLATE_NOOP("QVEngineNames", "虚部"),
    QT_TRANSLATE_NOOP("QVEngineNames", "角度"),
    QT_TRANSLATE_NOOP("QVEngineNames", "透明合成１"),
    QT_TRANSLATE_NOOP("QVEngineNames", "透明合成２"),
    QT_TRANSLATE_NOOP("QVEngineNames", "開始回数"),
    QT_TRANSLATE_NOOP("QVEngineNames", "黒色透過"),
    QT_TRANSLATE_NOOP("QVEngineNames", "黒色透過２"),
};

}  // namespace

QString DisplayName(const std::string& name) {
  return QCoreApplication::translate("QVEngineNames", name.c_str());
}

}  // namespace qv
