#include "app/editor/QVEditorStart.h"

#include <QFont>
#include <cstdio>

#include "ui/QVEditSession.h"
#include "ui/QVEditorSettings.h"
#include "ui/QVErrorBox.h"
#include "ui/QVLanguage.h"
#include "ui/UnitDERevezaRudu.h"
#include "ui/UnitFormEffector.h"
#include "ui/UnitFormGenerator.h"
#include "ui/UnitFormMixer.h"
#include "ui/UnitViewer.h"

namespace qv {

// Each window's geometry is remembered for the next run.
EditorWindows::~EditorWindows() {
  if (Viewer) EditorSettings::SaveGeometry(QStringLiteral("Viewer"), *Viewer);
  if (Form1) EditorSettings::SaveGeometry(QStringLiteral("Form1"), *Form1);
  FormMixer.reset();
  FormGenerator.reset();
  FormEffector.reset();
  Form1.reset();
  Viewer.reset();
}

void ConfigureApplication(QApplication& app) {
  QApplication::setApplicationName(QStringLiteral("Q-Vell"));
  QApplication::setOrganizationName(QStringLiteral("Q-Vell"));  // where the settings live
  QFont font(QStringLiteral("Noto Sans CJK JP"));
  font.setPixelSize(12);
  app.setFont(font);
  // The language is chosen once, before any window exists; Qt's own dialogs
  // (the colour dialog, the file dialogs, the message boxes' buttons) follow it.
  if (!InstallTranslations(app, StartLanguage())) {
    std::fprintf(stderr,
                 "qvell: the English translation could not be loaded; the editor stays Japanese\n");
  }
}

std::unique_ptr<EditorWindows> StartEditor(const std::string& project) {
  auto windows = std::make_unique<EditorWindows>();
  windows->Viewer = std::make_unique<TFormViewer>();
  windows->Form1 = std::make_unique<TForm1>(windows->Viewer.get());
  windows->FormEffector = std::make_unique<TFormEffector>();  // hidden until a panel click
  windows->FormGenerator = std::make_unique<TFormGenerator>();
  windows->FormMixer = std::make_unique<TFormMixer>();
  windows->Form1->SetNodeEditors(windows->FormGenerator.get(), windows->FormEffector.get(),
                                 windows->FormMixer.get());
  // Closing either window ends the program, once unsaved changes are saved
  // or discarded.
  TForm1* form = windows->Form1.get();
  windows->Viewer->CanClose = [form] { return form->Session().ConfirmDiscard(); };
  windows->Viewer->OnClose = [] { QApplication::exit(0); };  // not quit, which asks again
  EditorSettings::RestoreGeometry(QStringLiteral("Viewer"), *windows->Viewer);
  EditorSettings::RestoreGeometry(QStringLiteral("Form1"), *windows->Form1);
  windows->Viewer->show();
  windows->Form1->show();
  // The first picture comes at once: the project's, or the default one's when
  // there is none or it does not load (a load renders what it loaded).
  bool loaded = false;
  if (!project.empty()) {
    Guarded(form, [&] { loaded = form->LoadFile(project); });
  }
  if (!loaded) Guarded(form, [&] { form->Button2Click(); });
  return windows;
}

}  // namespace qv
