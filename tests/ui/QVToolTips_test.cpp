// Every control of the editor's windows says what it does, and a method frame
// shows only the rows of its method's parameter slots.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <memory>
#include <string>
#include <vector>

#include "UiNodeEditorsSupport.h"
#include "UiTestSupport.h"
#include "engine/methods/QVMethodLists.h"
#include "ui/QVColorBarWidgets.h"
#include "ui/QVEngineNames.h"
#include "ui/UnitDERevezaRudu.h"
#include "ui/UnitEffector.h"
#include "ui/UnitMethod.h"
#include "ui/UnitPanel.h"
#include "ui/UnitViewer.h"

namespace {

// The controls of window a user can reach (shown when the window is), each
// with its object class, which have no tooltip of their own.
std::vector<std::string> ControlsWithoutTip(QWidget& window) {
  std::vector<std::string> missing;
  const auto check = [&](QWidget* w) {
    if (!w->isVisibleTo(&window) || !w->isEnabled() || !w->toolTip().isEmpty()) return;
    if (!w->rect().translated(w->mapTo(&window, QPoint(0, 0))).intersects(window.rect())) {
      return;  // placed outside the window: reached by a key only
    }
    // A combo box's own parts, and a tab bar's scroll arrows (its tabs have tips).
    if (qobject_cast<QComboBox*>(w->parentWidget()) || qobject_cast<QTabBar*>(w->parentWidget())) {
      return;
    }
    const QString text = qobject_cast<QAbstractButton*>(w)
                             ? qobject_cast<QAbstractButton*>(w)->text()
                             : w->objectName();
    missing.push_back(std::string(w->metaObject()->className()) + " '" + text.toStdString() +
                      "' in " + w->parentWidget()->metaObject()->className());
  };
  for (QWidget* w : window.findChildren<QAbstractButton*>()) check(w);
  for (QWidget* w : window.findChildren<QLineEdit*>()) check(w);
  for (QWidget* w : window.findChildren<QComboBox*>()) check(w);
  for (QWidget* w : window.findChildren<QListWidget*>()) check(w);
  return missing;
}

TEST(QVToolTips, EveryControlOfTheMainWindowAndViewerSaysWhatItDoes) {
  TFormViewer viewer;
  TForm1 form{&viewer};
  form.resize(467, 443);
  for (QWidget* window : {static_cast<QWidget*>(&form), static_cast<QWidget*>(&viewer)}) {
    const std::vector<std::string> missing = ControlsWithoutTip(*window);
    EXPECT_TRUE(missing.empty()) << window->windowTitle().toStdString() << ": "
                                 << testing::PrintToString(missing);
  }
  EXPECT_FALSE(viewer.ImageViewer->toolTip().isEmpty());
  EXPECT_TRUE(form.Button2->toolTip().contains(QStringLiteral("F5")));
  for (int i = 0; i < form.PageControl1->count(); ++i) {
    EXPECT_FALSE(form.PageControl1->tabToolTip(i).isEmpty()) << "tab " << i;
  }
}

TEST(QVToolTips, EveryControlOfTheNodeEditorsSaysWhatItDoes) {
  qv::test::NodeEditors e;
  const struct {
    qv::NodeKind kind;
    QWidget* window;
  } editors[] = {{qv::NodeKind::Generator, &e.formGenerator},
                 {qv::NodeKind::Effector, &e.formEffector},
                 {qv::NodeKind::Mixer, &e.formMixer}};
  for (const auto& editor : editors) {
    ASSERT_FALSE(e.controller.Panels(editor.kind).empty());
    TFramePanel* panel = e.controller.Panels(editor.kind)[0];
    EXPECT_FALSE(panel->toolTip().isEmpty());
    qv::test::Click(panel->Panel1);  // binds the editor and shows it
    const std::vector<std::string> missing = ControlsWithoutTip(*editor.window);
    EXPECT_TRUE(missing.empty()) << editor.window->windowTitle().toStdString() << ": "
                                 << testing::PrintToString(missing);
  }
  EXPECT_TRUE(e.formEffector.FrameEffector1->ImageColorBar->toolTip().contains(
      QString::fromUtf8("ダブルクリック")));
}

// For every method of every list: the rows of its slots show, each box
// naming its slot, and the rows beyond them are hidden.
template <typename List>
void ExpectRowsOfSlotsOnly(const List& list) {
  for (const auto* prototype : list) {
    TFrameMethod frame;
    frame.SetMethodList(list);
    auto method = qv::CloneAs(*prototype);
    frame.Method = method.get();
    frame.UpdateView();
    const QLabel* labels[] = {frame.LabelParam0, frame.LabelParam1, frame.LabelParam2,
                              frame.LabelParam3};
    const QLineEdit* real[] = {frame.EditParam0R, frame.EditParam1R, frame.EditParam2R,
                               frame.EditParam3R};
    const QLineEdit* imag[] = {frame.EditParam0I, frame.EditParam1I, frame.EditParam2I,
                               frame.EditParam3I};
    for (uint32_t k = 0; k < 4; ++k) {
      const bool used = k < prototype->ParamCount();
      const std::string where = prototype->Name() + " row " + std::to_string(k);
      EXPECT_EQ(labels[k]->isVisibleTo(&frame), used) << where;
      EXPECT_EQ(real[k]->isVisibleTo(&frame), used) << where;
      EXPECT_EQ(imag[k]->isVisibleTo(&frame), used) << where;
      if (!used) continue;
      const QString slot = qv::DisplayName(prototype->ParamLabel(k));
      EXPECT_TRUE(real[k]->toolTip().contains(slot)) << where;
      EXPECT_TRUE(imag[k]->toolTip().contains(slot)) << where;
      EXPECT_NE(real[k]->toolTip(), imag[k]->toolTip()) << where;
    }
  }
}

TEST(QVToolTips, MethodFrameShowsOnlyTheRowsOfItsSlots) {
  ExpectRowsOfSlotsOnly(FractalMethods());
  ExpectRowsOfSlotsOnly(DivergenceMethods());
  ExpectRowsOfSlotsOnly(OutputMethods());
  ExpectRowsOfSlotsOnly(RenderingMethods());
}

}  // namespace
