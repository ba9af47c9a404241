#pragma once
// The language of the editor's texts: Japanese (the texts as written) or
// English (ui/translations/qvell_en.ts, compiled into the program). The
// system locale chooses unless the user picked one; the choice is made once,
// at start-up, before any window exists. UI thread.
#include <QString>

class QCoreApplication;

namespace qv {

enum class EditorLanguage { Japanese, English };

/// The language for a setting ("ja", "en", or anything else to follow the
/// system) and the system's first user-interface language (QLocale's
/// "ja-JP", "en-US", "C" ...): Japanese for a Japanese locale, English for any
/// other; the C and POSIX locales keep Japanese.
EditorLanguage ChooseLanguage(const QString& setting, const QString& systemLanguage);

/// The language this run uses: ChooseLanguage over the remembered setting
/// and QLocale::system().
EditorLanguage StartLanguage();

/// Installs the translations of language into app: the editor's own texts
/// and Qt's (the standard dialogs and buttons). Japanese loads Qt's Japanese
/// translation when the distribution has it; English needs none of Qt's.
/// Returns false when the editor's English translation could not be loaded.
bool InstallTranslations(QCoreApplication& app, EditorLanguage language);

}  // namespace qv
