#pragma once
// TFrameEffector: edits one effector in place: its name, its colour bar
// (select, move, recolour, insert and delete entries on the painted bar), its
// rendering method and its differential settings. The bar's arithmetic and
// the selected entry live in qv::ColorBarView. Texts that do not convert are
// marked inline and store nothing; "入力値" is committed on leaving the box or
// by the hidden "Ok" button (Enter). Holds a non-owning reference to the
// effector, cleared when the graph is replaced. UI thread.
#include <QWidget>
#include <functional>

#include "ui/QVColorBarView.h"
#include "ui/QVEntryMarks.h"

class QCheckBox;
class QColorDialog;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QVLinkChoice;
class QVStatusLine;
class QPushButton;
class QToolButton;
class QVEffector;
class QVMain;
class TFrameMethod;
namespace qv {
class ColorBarImage;
class ColorBarMarker;
class ColorSwatch;
}  // namespace qv

class TFrameEffector : public QWidget {
 public:
  explicit TFrameEffector(QWidget* parent = nullptr);

  QLabel* LabelX;
  QLabel* LabelY;
  qv::ColorSwatch* ImagePalette;
  qv::ColorBarMarker* ShapeColorBarMarker;
  qv::ColorBarImage* ImageColorBar;
  QLineEdit* EditName;
  /// "ジェネレータ": the generator the effector colours.
  QVLinkChoice* ChoiceGenerator;
  QComboBox* ComboBoxDifferential;
  QLineEdit* EditX;
  TFrameMethod* FrameRenderingMethod;
  QToolButton* ButtonColorBarDec;
  QToolButton* ButtonColorBarInc;
  QPushButton* ButtonDelete;
  QPushButton* Button1;
  QGroupBox* GroupBox1;
  QLabel* LabelDifferentialVector;
  QCheckBox* CheckBoxDifferentialSW;
  QCheckBox* CheckBoxDifferentialRegularSW;
  QCheckBox* CheckBoxDifferentialEdgeSW;
  QLineEdit* EditDifferentialVectorR;
  QLineEdit* EditDifferentialVectorI;
  QColorDialog* ColorDialog1;
  /// Runs ColorDialog1 modally; true when the user accepts. Tests replace it.
  std::function<bool(QColorDialog*)> RunColorDialog;

  /// The last mouse press on the bar, in bar columns.
  int32_t MouseDownX = 0;

  void SetEngine(QVMain* main);
  void SetStatusLine(QVStatusLine* label);
  /// Binds the effector (null clears it) and selects entry 0.
  void SetEffector(QVEffector* effector);
  QVEffector* Effector() const { return bar_.Effector(); }
  int32_t Selected() const { return bar_.Selected(); }
  const qv::ColorBarView& Bar() const { return bar_; }

  void UpdateView();
  /// Shows the graph's generators with the effector's chosen (after a
  /// change of the graph).
  void UpdateGeneratorChoice();
  void DrawColorBar();
  void ShowSelected();

  void EditNameChange();
  void ComboBoxDifferentialChange();
  void FrameRenderingMethodComboBoxMethodChange();
  void ButtonColorBarDecClick();
  void ButtonColorBarIncClick();
  void EditXChange();
  void Button1Click();
  void ImagePaletteClick();
  void ImageColorBarMouseDown(int x);
  void ImageColorBarDblClick();
  void ButtonDeleteClick();
  void CheckBoxDifferentialSWClick();
  void CheckBoxDifferentialRegularSWClick();
  void CheckBoxDifferentialEdgeSWClick();
  void EditDifferentialVectorRChange();
  void EditDifferentialVectorIChange();

  const QVEntryMarks& Marks() const { return marks_; }

 private:
  QWidget* BuildBarRow();
  QWidget* BuildEntryRow();
  QGroupBox* BuildDifferentialGroup();
  void Connect();
  /// Runs body (which changes the engine) guarded, only while an effector is
  /// bound.
  template <typename Body>
  void Edit(Body body);
  void EditVector(QLineEdit* box, bool realPart);

  qv::ColorBarView bar_;
  QVMain* main_ = nullptr;
  QVEntryMarks marks_;
};
