#pragma once
// QVEditSession: what the editing window does with the project as a whole —
// undo and redo of every edit, back and forward through the views, the
// project file with its unsaved-changes mark, and the question before
// changes would be lost. Owned by TForm1, which it serves; UI thread.
//
// Recording: the project is compared after every user input (a click, a key,
// a drop; the wheel once it rests), first by its stamps and names (cheap),
// then by its text, so every edit of any window is one step of the history
// whatever handler made it, and a drag is one step, not one per move.
#include <QCoreApplication>
#include <QObject>
#include <QTimer>
#include <functional>
#include <string>

#include "ui/QVEditHistory.h"
#include "ui/QVViewHistory.h"

class QPoint;
class QVMain;
class TForm1;

class QVEditSession : public QObject {
  Q_DECLARE_TR_FUNCTIONS(QVEditSession)

 public:
  /// Starts with form's project as the only state; watches every window's
  /// input from now on.
  explicit QVEditSession(TForm1& form);

  enum class Answer { Save, Discard, Cancel };
  /// Asks whether to save the changes to the named file ("" when the
  /// project has no file yet); tests replace it.
  std::function<Answer(const std::string& file)> AskSave;

  /// Records the project as a new state when it changed since the last one.
  /// written, when given, is the project's text (written on another thread).
  void Checkpoint(std::string written = {});
  /// Restores the state before (after) the current one and refreshes every
  /// view and editor; the viewer renders it when it showed a picture.
  void Undo();
  void Redo();
  /// Goes to the view before (after) the current one, and renders it.
  void Back();
  void Forward();

  /// Before changes would be lost: true when there are none, or the user
  /// saved them or chose to discard them; false when the user cancelled (or
  /// the save failed or was cancelled).
  bool ConfirmDiscard();
  /// Saves to the project file, or asks for one (SaveAs) when there is none
  /// or it is a picture. True when the project was saved. In the background
  /// (a long project, from the keys) it is saved after the return.
  bool Save(bool background = false);
  /// Asks for a file and saves there. True when the project was saved.
  bool SaveAs(bool background = false);

  /// After a project was loaded from path (or written from the source page
  /// with path ""): records the state; a file becomes the project file, as
  /// saved.
  void ProjectLoaded(const std::string& path);
  /// After the project was saved to path as project text.
  void ProjectSaved(const std::string& path);
  /// After the recorded state serial (see QVEditHistory::CurrentSerial) was
  /// saved to path in the background; later edits stay unsaved.
  void ProjectSaved(const std::string& path, uint64_t serial);

  const std::string& File() const { return file_; }
  bool Modified() const { return history_.Modified(); }
  const QVEditHistory& History() const { return history_; }
  const QVViewHistory& Views() const { return views_; }
  /// Sets both windows' captions from the file and the mark.
  void UpdateTitles();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  /// receiver: the widget the key goes to.
  bool TakeKey(const QKeyCombination& key, QObject* receiver);
  void ShowRecentFiles(const QPoint& at);
  void ScheduleCheckpoint(int delayMs);
  void Restore(const std::string& text);
  void ShowView(const QVView& view);
  QVView CurrentView() const;
  QVMain& Main() const;

  TForm1& form_;
  QVEditHistory history_;
  QVViewHistory views_;
  std::string fingerprint_;  // the stamps and names of the last recorded state
  std::string file_;
  QTimer checkpointTimer_;
  bool busy_ = false;  // inside a command: input it causes records nothing new
};

namespace qv {

/// The stamps and names of every object of main: equal before and after
/// anything but an edit.
std::string ProjectFingerprint(const QVMain& main);

}  // namespace qv
