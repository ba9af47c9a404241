#include "ui/QVTextFill.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <algorithm>

namespace {

// Characters put in at a time: about a millisecond's worth, whole lines.
constexpr qsizetype kPiece = 16 * 1024;

}  // namespace

QVTextFill::QVTextFill(QPlainTextEdit* box) : QObject(box), box_(box) {
  timer_.setInterval(0);
  connect(&timer_, &QTimer::timeout, this, [this] { Fill(); });
}

void QVTextFill::Start(QString text, std::function<void()> done) {
  Stop();
  text_ = std::move(text);
  at_ = 0;
  done_ = std::move(done);
  box_->setUndoRedoEnabled(false);
  box_->clear();
  box_->setReadOnly(true);
  timer_.start();
  Fill();
}

void QVTextFill::Stop() {
  if (!Running()) return;
  timer_.stop();
  box_->setReadOnly(false);
  box_->setUndoRedoEnabled(true);
  text_.clear();
  at_ = 0;
  done_ = nullptr;
}

// Each piece ends after a line feed where one is near (no character is ever
// split), and a turn ends after kSliceMs.
void QVTextFill::Fill() {
  QElapsedTimer turn;
  turn.start();
  QTextCursor end(box_->document());
  end.movePosition(QTextCursor::End);
  while (at_ < text_.size() && turn.elapsed() < kSliceMs) {
    qsizetype stop = std::min(text_.size(), at_ + kPiece);
    if (stop < text_.size()) {
      const qsizetype line = text_.lastIndexOf(QLatin1Char('\n'), stop - 1);
      if (line >= at_) stop = line + 1;
      if (stop < text_.size() && text_.at(stop).isLowSurrogate()) ++stop;
    }
    end.insertText(QStringView(text_).sliced(at_, stop - at_).toString());
    at_ = stop;
  }
  if (at_ >= text_.size()) Finish();
}

void QVTextFill::Finish() {
  timer_.stop();
  box_->setReadOnly(false);
  box_->setUndoRedoEnabled(true);
  box_->moveCursor(QTextCursor::Start);
  text_.clear();
  std::function<void()> done = std::move(done_);
  done_ = nullptr;
  if (done) done();
}
