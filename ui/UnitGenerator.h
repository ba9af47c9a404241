#pragma once
// TFrameGenerator: edits one generator in place: its name, "深さ" (depth),
// "範囲" (range), and its divergence and output methods through two method
// frames. Texts that do not convert are marked inline and store nothing.
// Holds a non-owning reference to the generator, cleared when the graph is
// replaced. UI thread.
#include <QCoreApplication>
#include <QWidget>
#include <vector>

#include "ui/QVEntryMarks.h"

class QLabel;
class QLineEdit;
class QVStatusLine;
class QVGenerator;
class QVMain;
class TFrameMethod;

class TFrameGenerator : public QWidget {
  Q_DECLARE_TR_FUNCTIONS(TFrameGenerator)

 public:
  explicit TFrameGenerator(QWidget* parent = nullptr);

  QLineEdit* EditName;
  QLabel* LabelDepth;
  QLineEdit* EditDepth;
  QLabel* LabelRange;
  QLineEdit* EditRange;
  TFrameMethod* FrameDivergenceMethod;
  TFrameMethod* FrameOutputMethod;

  /// The project the generator belongs to (may be null). Edits need not stop
  /// its render: a render computes a frozen copy.
  void SetEngine(QVMain* main);
  /// Where conversion and name messages appear besides the tool tips.
  void SetStatusLine(QVStatusLine* label);
  /// Binds the frame (null clears it, and the method frames' references too).
  void SetGenerator(QVGenerator* generator);
  QVGenerator* Generator() const { return generator_; }
  void UpdateView();

  void EditNameChange();
  void EditDepthChange();
  void EditRangeChange();
  void FrameDivergenceMethodComboBoxMethodChange();
  void FrameOutputMethodComboBoxMethodChange();

  const QVEntryMarks& Marks() const { return marks_; }

 private:
  template <typename T, typename Install>
  void ChangeMethod(TFrameMethod* frame, const std::vector<const T*>& list, Install install);

  QVGenerator* generator_ = nullptr;
  QVMain* main_ = nullptr;
  QVEntryMarks marks_;
};
