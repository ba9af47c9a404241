#include "ui/QVLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "ui/QVEditorSettings.h"

namespace qv {

EditorLanguage ChooseLanguage(const QString& setting, const QString& systemLanguage) {
  if (setting == QLatin1String("ja")) return EditorLanguage::Japanese;
  if (setting == QLatin1String("en")) return EditorLanguage::English;
  const QString code =
      systemLanguage.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0);
  if (code.isEmpty() || code == QLatin1String("C") || code == QLatin1String("POSIX") ||
      code.compare(QLatin1String("ja"), Qt::CaseInsensitive) == 0) {
    return EditorLanguage::Japanese;
  }
  return EditorLanguage::English;
}

EditorLanguage StartLanguage() {
  return ChooseLanguage(EditorSettings::Language(), QLocale::system().uiLanguages().value(0));
}

bool InstallTranslations(QCoreApplication& app, EditorLanguage language) {
  if (language == EditorLanguage::Japanese) {
    auto* qt = new QTranslator(&app);
    if (qt->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                 QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
      QCoreApplication::installTranslator(qt);
    }
    return true;
  }
  auto* own = new QTranslator(&app);
  if (!own->load(QStringLiteral(":/translations/qvell_en.qm"))) return false;
  QCoreApplication::installTranslator(own);
  return true;
}

}  // namespace qv
