#pragma once
// QVTextFill: puts a long text into a QPlainTextEdit a slice at a time, from
// the UI thread's event loop, so that the window answers input all along.
// Laying out tens of megabytes at once (setPlainText) would hold the UI
// thread for seconds; a slice of lines takes a few tens of milliseconds. The
// box is read-only, and keeps no undo steps, while it fills. UI thread.
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class QPlainTextEdit;

class QVTextFill : public QObject {
 public:
  /// box (not owned) must outlive the fill or Stop it first.
  explicit QVTextFill(QPlainTextEdit* box);

  /// Replaces the box's text by text: at once when it is short, else a slice
  /// per turn of the event loop; done runs when the whole text is in.
  /// A fill still running is stopped first.
  void Start(QString text, std::function<void()> done);
  /// Ends a running fill; the box keeps the part already in, and is editable again.
  void Stop();
  bool Running() const { return timer_.isActive(); }
  /// Characters put in so far, of Total().
  qsizetype Done() const { return at_; }
  qsizetype Total() const { return text_.size(); }

  /// Time spent in one turn of the event loop, in milliseconds.
  static constexpr int kSliceMs = 25;

 private:
  void Fill();
  void Finish();

  QPlainTextEdit* box_;
  QTimer timer_;
  QString text_;
  qsizetype at_ = 0;
  std::function<void()> done_;
};
