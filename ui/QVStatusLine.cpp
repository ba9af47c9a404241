#include "ui/QVStatusLine.h"

#include <QFontMetrics>
#include <QResizeEvent>

QVStatusLine::QVStatusLine(QWidget* parent) : QLabel(parent) {
  // Ignored: neither the message's width nor the hint of an empty label
  // reaches the layout's minimum size.
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  setFixedHeight(fontMetrics().height() + contentsMargins().top() + contentsMargins().bottom());
  setTextFormat(Qt::PlainText);
}

void QVStatusLine::SetMessage(const QString& message) {
  message_ = message;
  setToolTip(message);
  Fit();
}

void QVStatusLine::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  Fit();
}

void QVStatusLine::Fit() {
  QString line = message_;
  line.replace(QLatin1Char('\n'), QLatin1Char(' '));
  setText(fontMetrics().elidedText(line, Qt::ElideRight, contentsRect().width()));
}
