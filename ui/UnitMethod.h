#pragma once
// TFrameMethod: edits one method object in place: a combo box of the method
// kinds of one family and four rows of complex parameters. The embedding
// frame fills the combo box (SetMethodList), binds Method, calls UpdateView,
// and handles ComboBoxMethod's change itself (CloneSelected gives the new
// method). Holds no engine object of its own. UI thread.
#include <QCoreApplication>
#include <QGroupBox>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "engine/methods/QVMethod.h"
#include "ui/QVEntryMarks.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QVStatusLine;
class QVMain;

class TFrameMethod : public QWidget {
  Q_DECLARE_TR_FUNCTIONS(TFrameMethod)

 public:
  explicit TFrameMethod(QWidget* parent = nullptr);

  QGroupBox* GroupBoxMethod;
  QComboBox* ComboBoxMethod;
  QLabel* LabelParam0;
  QLabel* LabelParam1;
  QLabel* LabelParam2;
  QLabel* LabelParam3;
  QLineEdit* EditParam0R;
  QLineEdit* EditParam1R;
  QLineEdit* EditParam2R;
  QLineEdit* EditParam3R;
  QLineEdit* EditParam0I;
  QLineEdit* EditParam1I;
  QLineEdit* EditParam2I;
  QLineEdit* EditParam3I;

  /// The bound method (not owned); null until the embedding frame sets it.
  QVMethod* Method = nullptr;

  /// The project the method belongs to (may be null).
  void SetEngine(QVMain* main) { main_ = main; }
  /// Where conversion messages appear besides the boxes' tool tips (may be null).
  void SetStatusLine(QVStatusLine* label) { marks_.SetStatusLine(label); }

  /// Appends the display names of a prototype list, in order, and selects item 0.
  template <typename T>
  void SetMethodList(const std::vector<const T*>& list) {
    std::vector<std::string> names;
    std::vector<std::string> labels;
    for (const T* m : list) {
      names.push_back(m->Name());
      labels.insert(labels.end(), m->ParamLabels().begin(), m->ParamLabels().end());
    }
    SetMethodNames(names);
    FitLabelColumn(labels);
  }
  /// A clone of the prototype at the selected index of list (the list that
  /// filled the combo box); null when nothing valid is selected.
  template <typename T>
  std::unique_ptr<T> CloneSelected(const std::vector<const T*>& list) const {
    const int i = SelectedIndex();
    if (i < 0 || static_cast<size_t>(i) >= list.size()) return nullptr;
    return qv::CloneAs(*list[static_cast<size_t>(i)]);
  }

  /// Shows the bound method: selects its kind (without a change signal), then
  /// writes the four rows (storing nothing).
  void UpdateView();
  /// Store the edited real or imaginary part of the slot given by sender's Tag.
  void EditParamRChange(QLineEdit* sender);
  void EditParamIChange(QLineEdit* sender);

  /// The marks of this frame's boxes (for tests and the embedding frame).
  const QVEntryMarks& Marks() const { return marks_; }

 private:
  void SetMethodNames(const std::vector<std::string>& names);
  /// Makes the label column as wide as the widest of labels, so the boxes
  /// stand still whichever method is shown.
  void FitLabelColumn(const std::vector<std::string>& labels);
  int SelectedIndex() const;
  void EditParamChange(QLineEdit* sender, bool realPart);

  QGridLayout* grid_ = nullptr;
  std::array<QLabel*, 4> labels_{};
  std::array<QLineEdit*, 4> realBoxes_{};
  std::array<QLineEdit*, 4> imagBoxes_{};
  QVEntryMarks marks_;
  QVMain* main_ = nullptr;
};
