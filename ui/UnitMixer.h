#pragma once
// TFrameMixer: edits one mixer in place: its name, its base mixer, "マスク
// スイッチ", "透過法" (one of the five transparence types) and "正規化", and
// its source and transparence elements ("+Effector1"): an element can be
// removed or moved up or down, with the buttons, a list's context menu or by
// dragging it. Holds a non-owning reference to the mixer, cleared when the
// graph is replaced. UI thread.
#include <QCoreApplication>
#include <QWidget>
#include <string>
#include <vector>

#include "ui/QVEntryMarks.h"
#include "ui/QVGraphEdit.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QVStatusLine;
class QListWidget;
class QPushButton;
class QVLinkChoice;
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
  /// "ベースミキサー": the mixer this one lays its picture over.
  QVLinkChoice* ChoiceBaseMixer;
  /// "上へ", "下へ", "削除": act on the selected element of the list used last.
  QPushButton* ButtonUp;
  QPushButton* ButtonDown;
  QPushButton* ButtonRemove;

  void SetEngine(QVMain* main) { main_ = main; }
  void SetStatusLine(QVStatusLine* label) { marks_.SetStatusLine(label); }
  void SetMixer(QVMixer* mixer) { mixer_ = mixer; }
  QVMixer* Mixer() const { return mixer_; }
  void UpdateView();
  /// Shows the base mixer, the mask switch and the two lists again (after a
  /// change of the graph).
  void UpdateLinks();
  /// Moves the selected element of list by delta places (within the list).
  void MoveSelected(qv::MixerList list, int32_t delta);
  /// Removes the selected element of list.
  void RemoveSelected(qv::MixerList list);
  /// The list the buttons act on: the one whose element was selected last.
  qv::MixerList ActiveList() const { return activeList_; }

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
  QListWidget* ListBox(qv::MixerList list) const;
  void SetUpList(qv::MixerList list);
  /// After an element moved from row from to row to by dragging.
  void ElementDragged(qv::MixerList list, int32_t from, int32_t to);
  void ChooseBase(int32_t index);

  QVMixer* mixer_ = nullptr;
  QVMain* main_ = nullptr;
  QVEntryMarks marks_;
  qv::MixerList activeList_ = qv::MixerList::Source;
  std::vector<QVMixer*> baseChoices_;  // the mixers ChoiceBaseMixer offers, in its order
};
