#pragma once
// TFrameEffector: edits one effector in place: its name, its colour bar
// (select, move, recolour, insert and delete entries on the painted bar), its
// rendering method and its differential settings. The stops under the bar
// are dragged with the mouse or moved with the arrow keys (qv::StopDrag); a
// stop dragged off the bar is deleted. "プリセット" applies a built-in or saved
// bar, saves the bar as a preset, and imports or exports a colour-bar file
// (qv::ColorBarPresetFolder). The bar's arithmetic and the selected
// entry live in qv::ColorBarView. Texts that do not convert are marked inline
// and store nothing; "入力値" is committed on leaving the box, by the hidden
// "Ok" button (Enter), and before any other edit of the bar. Holds a
// non-owning reference to the effector, cleared when the graph is replaced.
// UI thread.
#include <QCoreApplication>
#include <QWidget>
#include <functional>
#include <optional>

#include "ui/QVColorBarPresets.h"
#include "ui/QVColorBarView.h"
#include "ui/QVEntryMarks.h"
#include "ui/QVStopDrag.h"

class QCheckBox;
class QColorDialog;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
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
class ColorBarStops;
class ColorSwatch;
}  // namespace qv

class TFrameEffector : public QWidget {
  Q_DECLARE_TR_FUNCTIONS(TFrameEffector)

 public:
  explicit TFrameEffector(QWidget* parent = nullptr);

  QLabel* LabelX;
  QLabel* LabelY;
  qv::ColorSwatch* ImagePalette;
  qv::ColorBarMarker* ShapeColorBarMarker;
  qv::ColorBarImage* ImageColorBar;
  qv::ColorBarStops* ImageColorBarStops;
  QLineEdit* EditName;
  /// "ジェネレータ": the generator the effector colours.
  QVLinkChoice* ChoiceGenerator;
  QComboBox* ComboBoxDifferential;
  QLineEdit* EditX;
  TFrameMethod* FrameRenderingMethod;
  QToolButton* ButtonColorBarDec;
  QToolButton* ButtonColorBarInc;
  QPushButton* ButtonDelete;
  QToolButton* ButtonColorBarPreset;
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

  /// Asks for a colour-bar file to read (save false) or to write (save true);
  /// "" when cancelled. Tests replace it.
  std::function<QString(bool save)> AskColorBarFile;
  /// Asks for the name of a new preset; "" when cancelled. Tests replace it.
  std::function<QString()> AskPresetName;

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
  void DrawStops();

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
  /// The stops: a press selects the stop under it and starts a drag; moves
  /// carry it along; a release ends the drag, deleting the stop when it was
  /// let go off the bar (a bar keeps two). x in bar columns, y in pixels from
  /// the stops' top.
  void ImageColorBarStopsMouseDown(int x, int y);
  void ImageColorBarStopsMouseMove(int x, int y);
  void ImageColorBarStopsMouseUp(int x, int y);
  /// Opens the colour dialog for the stop at column x.
  void ImageColorBarStopsDblClick(int x);
  /// Moves the selected stop one column left (-1) or right (+1).
  void ImageColorBarStopsArrow(int dir);
  /// Where presets are saved (by default under the user's data folder).
  void SetPresetFolder(const QString& path) { presets_ = qv::ColorBarPresetFolder(path); }
  /// Fills the preset menu: the built-in bars, the saved presets, then
  /// saving, importing and exporting.
  void ButtonColorBarPresetMenu(QMenu* menu);
  /// Replaces the bound effector's bar by bar and selects entry 0.
  void ApplyColorBar(const qv::ColorBar& bar, const QString& name);
  void SaveColorBarPreset();
  void ImportColorBarFile();
  void ExportColorBarFile();
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
  void SetToolTips();
  void Connect();
  /// Runs body (which changes the engine) guarded, only while an effector is
  /// bound.
  template <typename Body>
  void Edit(Body body);
  void EditVector(QLineEdit* box, bool realPart);
  void SetUpPresetDialogs();
  /// Commits a typed, uncommitted input before another edit of the bar.
  /// False when it was refused: the box stays marked, the other edit waits.
  bool CommitPendingInput();
  /// False, with a message, when the bar has no entry to act on.
  bool CheckEntries();
  void ShowStatus(const QString& message);
  /// Repaints the bar, the stops and the selected entry after an edit.
  void ShowBar();

  qv::ColorBarView bar_;
  std::optional<qv::StopDrag> drag_;  // while a stop is dragged
  bool dragOff_ = false;              // the dragged stop is off the bar
  QVStatusLine* status_ = nullptr;
  qv::ColorBarPresetFolder presets_{qv::ColorBarPresetFolder::DefaultPath()};
  QVMain* main_ = nullptr;
  QVEntryMarks marks_;
};
