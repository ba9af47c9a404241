// The editor's tests run inside one QApplication on the offscreen platform
// (unless a platform is given), so no display is needed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdlib>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  // What the editor remembers goes to a scratch place, never the user's settings.
  const QTemporaryDir settings;
  QApplication::setOrganizationName(QStringLiteral("Q-Vell-Tests"));
  QSettings::setDefaultFormat(QSettings::IniFormat);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
  return RUN_ALL_TESTS();
}
