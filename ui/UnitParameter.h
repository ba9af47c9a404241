#pragma once
// TFrameParameter: edits the global parameters in place (C, viewpoint,
// scale, picture size, magnification, fractal type and formula). Every text
// is checked on every change and marked inline when it does not convert or
// is out of range (a scale above 0, a size of at least 1); a box stores its
// value on Enter or when the focus leaves it, and a marked box stores nothing. The frame remembers
// the size the user typed, so a refresh under a magnification shows it and never shrinks the stored
// size. Bound once by the main window; refreshed after a load and every zoom. UI thread.
#include <QCoreApplication>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "base/QVComplex.h"
#include "base/QVDecimal.h"
#include "ui/QVEntryMarks.h"

class QVStatusLine;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QVMain;
class QVParameter;
class TFrameMethod;

class TFrameParameter : public QWidget {
  Q_DECLARE_TR_FUNCTIONS(TFrameParameter)

 public:
  explicit TFrameParameter(QWidget* parent = nullptr);

  QLabel* LabelParameter;
  QLineEdit* EditParameterR;
  QLineEdit* EditParameterI;
  QLabel* LabelViewpoint;
  QLineEdit* EditViewpointR;
  QLineEdit* EditViewpointI;
  QLabel* LabelScale;
  QLineEdit* EditScale;
  /// "深さ自動": renders raise the depth as the scale shrinks (qv::AutoDepth);
  /// an editor setting, not part of the project.
  QCheckBox* CheckBoxAutoDepth;
  QLabel* LabelImageSize;
  QLineEdit* EditWidth;
  QLineEdit* EditHeight;
  QLabel* LabelMagnification;
  QComboBox* ComboBoxMagnification;
  QLabel* LabelFractalType;
  QComboBox* ComboBoxFractalType;
  TFrameMethod* FrameFractalMethod;
  /// Conversion messages of the boxes above.
  QVStatusLine* LabelStatus;

  /// Binds the parameters (not owned) and their project (may be null).
  void SetParameter(QVParameter* parameter, QVMain* main = nullptr);
  /// Shows the bound parameters.
  void UpdateView();

  void EditParameterRChange();
  void EditParameterIChange();
  void EditViewpointRChange();
  void EditViewpointIChange();
  void EditScaleChange();
  void EditWidthChange();
  void EditHeightChange();
  void ComboBoxMagnificationChange();
  void ComboBoxFractalTypeChange();
  void FrameFractalMethodComboBoxMethodChange();

  void CheckBoxAutoDepthClick();
  /// Called after 深さ自動 changed (the window renders again).
  std::function<void()> OnAutoDepthChanged;

  /// Shows message in the status line until a box is marked or cleared.
  void ShowNotice(const std::string& message);

  const QVEntryMarks& Marks() const { return marks_; }

 private:
  void BuildRows();
  void ConnectHandlers();
  template <typename Handler>
  void Edit(Handler handler);
  void StorePart(QLineEdit* box, const qv::DecimalComplex& (QVParameter::*field)() const,
                 bool realPart, void (QVParameter::*setter)(const qv::DecimalComplex&));
  std::optional<double> Scale();
  std::optional<int32_t> Size(QLineEdit* box);
  void ShowSize(QLineEdit* box, int32_t value);

  QVParameter* parameter_ = nullptr;
  QVMain* main_ = nullptr;
  QVEntryMarks marks_;
  std::optional<int32_t> typedWidth_;
  std::optional<int32_t> typedHeight_;
};
