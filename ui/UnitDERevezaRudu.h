#pragma once
// TForm1, "DERevezaRudu": the editing window. Three pages (the global
// parameters, the controller workspace, the project source) above five
// buttons: load a project, save the picture or the project, extract the
// source, write the source back, render (and, while a picture is being saved,
// one that stops the save). Owns the engine root for the whole run and
// installs its render hooks; the viewer shows the picture. A project
// file or a PNG that carries its project loads from the load button or a drop
// on this window or the viewer. UI thread.
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "image/QVPictureFile.h"
#include "ui/QVQtHost.h"

class QDragEnterEvent;
class QDropEvent;
class QKeyEvent;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTimer;
class QVMain;
class QCloseEvent;
class QVEditSession;
class QVPictureSaveJob;
class TFormEffector;
class TFormGenerator;
class TFormMixer;
class TFormViewer;
class TFrameController;
class TFrameParameter;

class TForm1 : public QWidget {
 public:
  /// Creates the engine root (the default project) and installs its hooks;
  /// viewer (not owned) must outlive this window.
  explicit TForm1(TFormViewer* viewer);
  ~TForm1() override;

  QTabWidget* PageControl1;
  QWidget* TabSheet1;
  QWidget* TabSheet2;
  QWidget* TabSheet3;
  TFrameParameter* FrameParameter1;
  /// The controller workspace on TabSheet2 (set when the workspace is attached).
  TFrameController* FrameController1 = nullptr;
  QPlainTextEdit* Memo1;
  QPushButton* Button5;
  QPushButton* Button3;
  QPushButton* Button1;
  QPushButton* Button4;
  QPushButton* Button2;
  /// "保存を中止": shown while a picture is being saved.
  QPushButton* Button6;
  /// The node editor windows (not owned; set at start-up, may stay null).
  TFormGenerator* FormGenerator = nullptr;
  TFormEffector* FormEffector = nullptr;
  TFormMixer* FormMixer = nullptr;
  /// Polls the engine's progress while a render runs (about every 100 ms).
  QTimer* ProgressTimer;
  /// Polls the save's progress while a picture is being saved (about every 100 ms).
  QTimer* SaveTimer;

  /// The caption without a save's progress: the file name and the mark of
  /// unsaved changes follow "DERevezaRudu".
  std::string BaseCaption = "DERevezaRudu";

  QVMain& Main() { return *main_; }
  /// Undo, views, the project file and the unsaved-changes question.
  QVEditSession& Session() { return *session_; }
  TFormViewer& Viewer() { return *viewer_; }

  /// Binds the viewer, the parameter frame and the workspace to the engine.
  void FormCreate();
  /// The node editor windows a panel click shows (created after this window).
  void SetNodeEditors(TFormGenerator* generator, TFormEffector* effector, TFormMixer* mixer);
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button5Click();
  void Button6Click();

  /// Replaces the project by text (of the file fileName, or "" for the
  /// source page). A text that does not read shows where and why, and nothing
  /// changes. Returns true when the project was replaced.
  bool ApplyProject(const std::string& text, const std::string& fileName = "");
  /// Loads the project of a project file or of a PNG that carries one, as
  /// ApplyProject does. A file that does not read is reported and nothing
  /// changes. Returns true when the project was replaced.
  bool LoadFile(const std::string& path);
  /// Saves to path by its extension (any case): bmp, jpg/jpeg, png pictures
  /// (a PNG carries the project of the shown picture); anything else the
  /// project text, at once. A picture is saved in the background
  /// (QVPictureSaveJob): the shown picture as it is, or with supersample
  /// (1 to 8) above 1 its project rendered again with that many samples per
  /// side of a pixel, as `qvell render --supersample` does. The save goes on
  /// after the return (Saving()), shows its progress in the caption and
  /// reports its failure itself. Throws when nothing can be saved, on a failed
  /// project save (the old file stays), and while a save runs.
  void SaveToFile(const std::string& path, int supersample = 1);
  /// True while a picture is being saved.
  bool Saving() const;
  /// Stops the running picture save, if any, within milliseconds; the old
  /// file stays as it was.
  void StopSave();

  /// The render hooks (posted to the UI thread by the engine).
  void RenderStart();
  void RenderEnd();
  void RenderError(const std::string& message);
  void ProgressTimerTimer();
  void SaveTimerTimer();

  /// What the save dialog returns: the file and the samples per side.
  struct SaveChoice {
    std::string Path;
    int Supersample = 1;
  };
  /// The file dialogs; tests replace them. An empty name means cancelled.
  std::function<std::string()> RunOpenDialog;
  std::function<SaveChoice()> RunSaveDialog;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  /// Closing the window ends the program, once unsaved changes are saved or
  /// discarded (cancelling keeps it open).
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildPages();
  void BuildButtons();
  void ConnectHandlers();
  void UpdateNodeViews();
  void ReleaseNodeEditors();
  std::string OpenDialog1Execute();
  SaveChoice SavePictureDialog1Execute();
  void RefuseWhileSaving() const;
  void StartSave(const std::string& path, qv::PictureFormat format, int supersample);
  void SaveEnded(const std::string& path, bool hadFile, const std::string& error);
  void ShowSaving(bool saving);
  bool TakeDrop(QEvent* event);

  TFormViewer* viewer_;
  std::unique_ptr<QVMain> main_;
  QVQtPoster savePoster_{this};  // before saveJob_, which posts through it
  std::unique_ptr<QVPictureSaveJob> saveJob_;
  std::string savingFile_;  // the file name the caption shows while saving
  uint64_t shownFinishes_ = 0;        // the render's node finishes the caption has shown
  QVEditSession* session_ = nullptr;  // a child of this window
};
