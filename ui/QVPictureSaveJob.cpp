#include "ui/QVPictureSaveJob.h"

#include <QProcess>
#include <QStringList>
#include <stdexcept>

#include "ui/QVText.h"

namespace qv {

std::vector<std::string> SaveRenderArguments(const std::string& path, int n) {
  // A relative name that begins with '-' would read as an option.
  const std::string output = path.starts_with('-') ? "./" + path : path;
  return {"render", "-", "-o", output, "--supersample", std::to_string(n), "--quiet"};
}

std::string SaveRenderFailure(bool crashed, int exitCode, const std::string& standardError) {
  std::string text = standardError;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  if (!text.empty()) return text;
  if (crashed) return "描画するプロセスが異常終了しました";
  return "描画するプロセスが終了コード " + std::to_string(exitCode) + " で終わりました";
}

}  // namespace qv

QVPictureSaveJob::QVPictureSaveJob() = default;

QVPictureSaveJob::~QVPictureSaveJob() { Stop(); }

void QVPictureSaveJob::Start(const std::string& program, const std::string& projectText,
                             const std::string& path, int n, DoneFunction done) {
  if (process_) throw std::logic_error("QVPictureSaveJob::Start while a save runs");
  process_ = std::make_unique<QProcess>();
  done_ = std::move(done);
  QProcess* p = process_.get();
  QObject::connect(p, &QProcess::finished, p, [this, p](int exitCode, QProcess::ExitStatus status) {
    const std::string err = p->readAllStandardError().toStdString();  // UTF-8 already
    const bool crashed = status == QProcess::CrashExit;
    Finish(!crashed && exitCode == 0 ? "" : qv::SaveRenderFailure(crashed, exitCode, err));
  });
  QObject::connect(p, &QProcess::errorOccurred, p, [this, p, program](QProcess::ProcessError e) {
    if (e != QProcess::FailedToStart) return;  // the one error without a finished signal
    const std::string error =
        program + " を起動できませんでした: " + qv::FromQString(p->errorString());
    // Qt may report this from inside start(): done still comes later.
    QMetaObject::invokeMethod(
        p, [this, error] { Finish(error); }, Qt::QueuedConnection);
  });
  QStringList arguments;
  for (const std::string& a : qv::SaveRenderArguments(path, n)) arguments << qv::ToQString(a);
  p->setProcessChannelMode(QProcess::SeparateChannels);
  p->setStandardOutputFile(QProcess::nullDevice());
  p->start(qv::ToQString(program), arguments);
  p->write(projectText.data(), static_cast<qint64>(projectText.size()));
  p->closeWriteChannel();
}

// The process object may not be deleted inside its own signal: it goes later,
// and a new save may start from done at once.
void QVPictureSaveJob::Finish(const std::string& error) {
  QProcess* p = process_.release();
  if (!p) return;
  p->disconnect();
  p->deleteLater();
  DoneFunction done = std::move(done_);
  done_ = nullptr;
  if (done) done(error);
}

void QVPictureSaveJob::Stop() {
  if (!process_) return;
  process_->disconnect();
  done_ = nullptr;
  if (process_->state() != QProcess::NotRunning) {
    process_->terminate();
    if (!process_->waitForFinished(10000)) {
      process_->kill();
      process_->waitForFinished(-1);
    }
  }
  process_.reset();
}
