#pragma once
// TForm1, "DERevezaRudu": the editing window. Three pages (the global
// parameters, the controller workspace, the project source; beside their tabs
// the menus of the example projects and of the language) above five buttons:
// load a project, save the picture or the project, extract the source, write
// the source back, render (and, while a picture is being saved, one that stops
// the save). Owns the engine root for the whole run and installs its render
// hooks; the viewer shows the picture. A project file or a PNG that carries its
// project loads from the load button or a drop on this window or the viewer.
// UI thread.
#include <QCoreApplication>
#include <QWidget>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "image/QVPictureFile.h"
#include "image/QVPictureWriteError.h"
#include "source/QVProjectFile.h"
#include "ui/QVQtHost.h"

class QDragEnterEvent;
class QDropEvent;
class QKeyEvent;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QToolButton;
class QTabWidget;
class QTimer;
class QToolButton;
class QVMain;
class QCloseEvent;
class QVBackgroundJob;
class QVEditSession;
class QVPictureSaveJob;
class QVTextFill;
namespace qv {
struct StagedProject;
}
class TFormEffector;
class TFormGenerator;
class TFormMixer;
class TFormViewer;
class TFrameController;
class TFrameParameter;

class TForm1 : public QWidget {
  Q_DECLARE_TR_FUNCTIONS(TForm1)

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
  /// The arrow beside Button5: the recent project files.
  QToolButton* ToolButtonRecent;
  QPushButton* Button3;
  QPushButton* Button1;
  QPushButton* Button4;
  QPushButton* Button2;
  /// "保存を中止": shown while a picture is being saved.
  QPushButton* Button6;
  /// "言語 / Language": the language of the next start.
  QToolButton* ButtonLanguage;
  /// "サンプル" at the end of the tab row: its menu opens the example
  /// projects of ExamplesDir.
  QToolButton* ButtonExamples;
  QMenu* MenuExamples;
  /// The folder of the example projects ("" when none was found).
  std::string ExamplesDir;
  /// The node editor windows (not owned; set at start-up, may stay null).
  TFormGenerator* FormGenerator = nullptr;
  TFormEffector* FormEffector = nullptr;
  TFormMixer* FormMixer = nullptr;
  /// Polls the engine's progress while a render runs (about every 100 ms).
  QTimer* ProgressTimer;
  /// Polls the save's progress while a picture is being saved (about every 100 ms).
  QTimer* SaveTimer;
  /// Beside the page tabs while a long read or write of the project goes on
  /// (shown once it has taken a moment): what it does, how far, and "中止".
  QWidget* ProgressRow;
  QLabel* LabelJob;
  QProgressBar* ProgressBar1;
  QPushButton* Button7;
  /// Polls that progress (about every 100 ms).
  QTimer* JobTimer;
  /// Project texts and files of at least this many bytes are read in the
  /// background; smaller ones at once.
  int64_t BackgroundBytes = 1 << 20;

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
  /// Fills the "サンプル" menu with the projects of ExamplesDir; each loads as
  /// the load button does.
  void MenuExamplesPopup();
  /// "中止": stops the long read or write going on.
  void Button7Click();

  /// Replaces the project by text (of the file fileName, or "" for the
  /// source page). A text that does not read shows where and why, and nothing
  /// changes. Returns true when the project was replaced; a long text is
  /// read in the background (Busy()), and false is returned at once.
  bool ApplyProject(const std::string& text, const std::string& fileName = "");
  /// Loads the project of a project file or of a PNG that carries one, as
  /// ApplyProject does (a large file in the background), and starts its
  /// render. A file that does not read is reported and nothing changes.
  /// Returns true when the project was replaced.
  bool LoadFile(const std::string& path);
  /// True while a long read or write of the project goes on in the
  /// background, or the source page is being filled.
  bool Busy() const;
  /// Stops it: the project and the files stay as they were; a source page
  /// being filled keeps what it shows so far.
  void StopJob();
  /// Saves to path by its extension (any case): bmp, jpg/jpeg, png pictures
  /// (a PNG carries the project of the shown picture); anything else the
  /// project text, at once. A picture is saved in the background
  /// (QVPictureSaveJob): the shown picture as it is, or with supersample
  /// (1 to 8) above 1 its project rendered again with that many samples per
  /// side of a pixel, as `qvell render --supersample` does. The save goes on
  /// after the return (Saving()), shows its progress in the caption and
  /// reports its failure itself. A project is written in encoding, or without
  /// one in the encoding of the project's last save from the dialog (UTF-8
  /// with LF after a load). Throws when nothing can be saved, on a failed
  /// project save (the old file stays), and while a save runs. With
  /// background, a long project text is written in the background as well
  /// (Busy()), and reports its own failure.
  void SaveToFile(const std::string& path, int supersample = 1,
                  std::optional<qv::ProjectEncoding> encoding = std::nullopt,
                  bool background = false);
  /// True while a picture is being saved.
  bool Saving() const;
  /// Stops the running picture save, if any, within milliseconds; the old
  /// file stays as it was.
  void StopSave();

  /// After the project changed: the workspace and the node editors' links
  /// and names show it (the editing session calls it after every recorded edit).
  void RefreshNodeViews();

  /// The render hooks (posted to the UI thread by the engine).
  void RenderStart();
  void RenderEnd();
  void RenderError(const std::string& message);
  void ProgressTimerTimer();
  void SaveTimerTimer();

  /// What the save dialog returns: the file, the samples per side and, for a
  /// project, its encoding.
  struct SaveChoice {
    std::string Path;
    int Supersample = 1;
    qv::ProjectEncoding Encoding = qv::ProjectEncoding::Utf8;
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
  void SaveEnded(const std::string& path, bool hadFile, const qv::PictureWriteFailure& failure);
  void ShowSaving(bool saving);
  void RefuseWhileBusy() const;
  void StartJob(const std::string& label, std::function<std::function<void()>()> work,
                const std::string& failedFile);
  void ShowJob(bool busy);
  /// Shows the progress of a long read or write in the corner beside the
  /// page tabs, in place of the examples and language buttons, or hides it.
  void ShowProgressRow(bool shown);
  void JobTimerTimer();
  void FillSource(QString text);
  void ApplyInBackground(const std::string& label, std::function<std::string()> text,
                         const std::string& fileName);
  bool PutStaged(qv::StagedProject& staged, const std::string& fileName, std::string written = {});
  bool LoadStaged(qv::StagedProject& staged, const std::string& path, std::string written = {});
  bool SaveProjectInBackground(const std::string& path, qv::ProjectEncoding encoding);
  void ShowLoadFailure(const std::string& path, std::exception_ptr error);
  bool TakeDrop(QEvent* event);

  TFormViewer* viewer_;
  std::unique_ptr<QVMain> main_;
  QVQtPoster savePoster_{this};  // before saveJob_, which posts through it
  std::unique_ptr<QVPictureSaveJob> saveJob_;
  std::unique_ptr<QVBackgroundJob> job_;  // reads and writes the project text
  QVTextFill* fill_ = nullptr;            // a child of the source page
  std::string savingFile_;  // the file name the caption shows while saving
  qv::ProjectEncoding projectEncoding_ = qv::ProjectEncoding::Utf8;  // of the last save
  uint64_t shownFinishes_ = 0;        // the render's node finishes the caption has shown
  QVEditSession* session_ = nullptr;  // a child of this window
};
