#include "ui/QVQtHost.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QObject>
#include <QSocketNotifier>
#include <cerrno>
#include <stdexcept>

// The calls cross threads through a queue under a std::mutex, and an eventfd
// only wakes the UI thread: no Qt object is handed from thread to thread, so
// the hand-over is visible to the tools that check threads (Qt's own queue is
// not).
QVQtPoster::QVQtPoster(QObject* receiver) : wake_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
  if (wake_ < 0) throw std::runtime_error("cannot create the editor's wake-up descriptor");
  notifier_ = new QSocketNotifier(wake_, QSocketNotifier::Read, receiver);
  QObject::connect(notifier_, &QSocketNotifier::activated, receiver, [this] { RunPosted(); });
}

QVQtPoster::~QVQtPoster() {
  delete notifier_;  // no wake-up reaches this poster any more
  close(wake_);
}

void QVQtPoster::Post(std::function<void()> call) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    calls_.push_back(std::move(call));
  }
  const uint64_t one = 1;
  while (write(wake_, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

void QVQtPoster::RunPosted() {
  uint64_t count = 0;
  while (read(wake_, &count, sizeof count) < 0 && errno == EINTR) {
  }
  for (;;) {
    std::function<void()> call;
    {
      std::lock_guard<std::mutex> guard(lock_);
      if (calls_.empty()) return;
      call = std::move(calls_.front());
      calls_.pop_front();
    }
    call();
  }
}

void QVQtCanvas::SetPicture(QVPictureRef picture) {
  if (OnPicture) OnPicture(std::move(picture));
}

void QVQtCanvas::SetPreview(QVPictureRef picture) {
  if (OnPreview) OnPreview(std::move(picture));
}

namespace qv {

QImage ImageOf(const QVPictureRef& picture) {
  if (!picture || picture->Width() < 1 || picture->Height() < 1) return QImage();
  auto* keep = new QVPictureRef(picture);  // released with the image's last copy
  return QImage(
      reinterpret_cast<const uchar*>(picture->Pixels()), picture->Width(), picture->Height(),
      static_cast<qsizetype>(picture->Width()) * 4, QImage::Format_RGB32,
      [](void* info) { delete static_cast<QVPictureRef*>(info); }, keep);
}

}  // namespace qv
