#include "UiTestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>

namespace qv::test {

ErrorRecorder::ErrorRecorder()
    : previous_(SetErrorSink([this](QWidget*, const std::string& m) { Messages.push_back(m); })) {}

ErrorRecorder::~ErrorRecorder() { SetErrorSink(previous_); }

bool WaitFor(const std::function<bool()>& done) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > 60000) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

void Commit(QLineEdit* box, const char* text) {
  box->setText(QString::fromUtf8(text));
  emit box->editingFinished();
}

}  // namespace qv::test
