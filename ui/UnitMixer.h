#pragma once
// TFrameMixer: edits one mixer in place: its name, "マスクスイッチ", "透過法"
// (one of the five transparence types) and "正規化", and lists its source and
// transparence elements read-only ("+Effector1"). Holds a non-owning
// reference to the mixer, cleared when the graph is replaced. UI thread.
#include <QCoreApplication>
#include <QWidget>
#include <string>
#include <vector>

#include "ui/QVEntryMarks.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QVStatusLine;
class QListWidget;
class QVMain;
class QVMixer;

class TFrameMixer : public QWidget {
  Q_DECLARE_TR_FUNCTIONS(TFrameMixer)

 public:
  explicit TFrameMixer(QWidget* parent = nullptr);

  QLabel* LabelTransparenceType;
  QLabel* LabelSource;
  QLabel* LabelTransparence;
  QLineEdit* EditName;
  QComboBox* ComboBoxTransparenceType;
  QCheckBox* CheckBoxMaskSW;
  QListWidget* ListBoxSource;
  QListWidget* ListBoxTransparence;
  QCheckBox* CheckBoxRegular;

  void SetEngine(QVMain* main) { main_ = main; }
  void SetStatusLine(QVStatusLine* label) { marks_.SetStatusLine(label); }
  void SetMixer(QVMixer* mixer) { mixer_ = mixer; }
  QVMixer* Mixer() const { return mixer_; }
  void UpdateView();

  void EditNameChange();
  void ComboBoxTransparenceTypeChange();
  void CheckBoxMaskSWClick();
  void CheckBoxRegularClick();

  const QVEntryMarks& Marks() const { return marks_; }

 private:
  /// Rewrites list's items in place to lines: replaced, appended, surplus deleted.
  static void ShowLines(QListWidget* list, const std::vector<std::string>& lines);
  template <typename Body>
  void Edit(Body body);

  QVMixer* mixer_ = nullptr;
  QVMain* main_ = nullptr;
  QVEntryMarks marks_;
};
