#pragma once
// A one-line status label that never widens or heightens its window: it
// takes the width the layout gives it and shows as much of its message as
// fits, ending in "…" (the whole message is its tool tip). Its height is one
// line of its font from the start, so the first message does not move the
// layout either. Owned by its window; UI thread.
#include <QLabel>
#include <QString>

class QVStatusLine : public QLabel {
 public:
  explicit QVStatusLine(QWidget* parent = nullptr);

  /// Shows message (line breaks become blanks), cut to the width with "…".
  void SetMessage(const QString& message);
  /// The whole message, as set.
  const QString& Message() const { return message_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Fit();

  QString message_;
};
