#pragma once
// TFormEffector: the effector editor window, "Q-Vell Effector", holding
// FrameEffector1. Enter anywhere in it presses the frame's hidden "Ok"
// button. Created hidden at start; closing it only hides it. UI thread.
#include <QCoreApplication>
#include <QWidget>

class QVStatusLine;
class QLabel;
class TFrameEffector;

class TFormEffector : public QWidget {
  Q_DECLARE_TR_FUNCTIONS(TFormEffector)

 public:
  explicit TFormEffector(QWidget* parent = nullptr);

  TFrameEffector* FrameEffector1;
  QVStatusLine* LabelStatus;

  /// Before the graph is replaced: clears the frame's effector, then hides.
  void Release();
};
