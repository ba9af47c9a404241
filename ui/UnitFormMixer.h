#pragma once
// TFormMixer: the mixer editor window, "Q-Vell Mixer", holding FrameMixer1.
// Created hidden at start; closing it only hides it. UI thread.
#include <QCoreApplication>
#include <QWidget>

class QVStatusLine;
class QLabel;
class TFrameMixer;

class TFormMixer : public QWidget {
  Q_DECLARE_TR_FUNCTIONS(TFormMixer)

 public:
  explicit TFormMixer(QWidget* parent = nullptr);

  TFrameMixer* FrameMixer1;
  QVStatusLine* LabelStatus;

  /// Before the graph is replaced: clears the frame's mixer, then hides.
  void Release();
};
