#pragma once
// The "言語 / Language" button of the editing window: its menu follows the
// system's language or picks Japanese or English for the next start, and
// marks the remembered choice. UI thread.
#include <QString>
#include <functional>

class QToolButton;
class QWidget;

namespace qv {

/// A tool button with the language menu. A choice is remembered at once
/// (EditorSettings::SetLanguage) and told through notify, since it takes
/// effect only at the next start.
QToolButton* MakeLanguageButton(QWidget* parent, std::function<void(const QString&)> notify);

}  // namespace qv
