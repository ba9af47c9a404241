#pragma once
// The node editor windows and a workspace bound to one engine, as the main
// window wires them, for the editor tests.
#include <QApplication>
#include <QTest>

#include "engine/QVMain.h"
#include "ui/UnitController.h"
#include "ui/UnitFormEffector.h"
#include "ui/UnitFormGenerator.h"
#include "ui/UnitFormMixer.h"

namespace qv::test {

struct NodeEditors {
  QVMain main;
  TFrameController controller;
  TFormGenerator formGenerator;
  TFormEffector formEffector;
  TFormMixer formMixer;
  NodeEditors() {
    controller.SetMain(&main);
    controller.SetEditors(&formGenerator, &formEffector, &formMixer);
    controller.resize(400, 330);
    controller.UpdateView();
  }
};

/// A left click in the middle of widget.
inline void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

}  // namespace qv::test
