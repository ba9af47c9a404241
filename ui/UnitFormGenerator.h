#pragma once
// TFormGenerator: the generator editor window, "Q-Vell Generator", holding
// FrameGenerator1. Created hidden at start; closing it only hides it. UI thread.
#include <QCoreApplication>
#include <QWidget>

class QVStatusLine;
class QLabel;
class TFrameGenerator;

class TFormGenerator : public QWidget {
  Q_DECLARE_TR_FUNCTIONS(TFormGenerator)

 public:
  explicit TFormGenerator(QWidget* parent = nullptr);

  TFrameGenerator* FrameGenerator1;
  QVStatusLine* LabelStatus;

  /// Before the graph is replaced: clears the frame's generator, then hides.
  void Release();
};
