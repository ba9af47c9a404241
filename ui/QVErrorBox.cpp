#include "ui/QVErrorBox.h"

#include <QMessageBox>

#include "ui/QVText.h"

namespace qv {

namespace {

ErrorSink& Sink() {
  static ErrorSink sink;
  return sink;
}

}  // namespace

ErrorSink SetErrorSink(ErrorSink sink) {
  ErrorSink previous = std::move(Sink());
  Sink() = std::move(sink);
  return previous;
}

void ShowError(QWidget* parent, const std::string& message) {
  if (Sink()) {
    Sink()(parent, message);
    return;
  }
  QMessageBox::critical(parent, QStringLiteral("Q-Vell"), ToQString(message));
}

}  // namespace qv
