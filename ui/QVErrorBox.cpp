#include "ui/QVErrorBox.h"

#include <QCoreApplication>
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

std::string OutOfMemoryText() {
  return FromQString(QCoreApplication::translate("QVErrorBox", "メモリが不足しています"));
}

std::string UnknownErrorText() {
  return FromQString(QCoreApplication::translate("QVErrorBox", "不明なエラーが発生しました"));
}

void ShowError(QWidget* parent, const std::string& message) {
  if (Sink()) {
    Sink()(parent, message);
    return;
  }
  QMessageBox::critical(parent, QStringLiteral("Q-Vell"), ToQString(message));
}

}  // namespace qv
