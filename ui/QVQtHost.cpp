#include "ui/QVQtHost.h"

#include <QMetaObject>
#include <QObject>

void QVQtPoster::Post(std::function<void()> call) {
  QMetaObject::invokeMethod(receiver_, std::move(call), Qt::QueuedConnection);
}

void QVQtCanvas::SetPicture(QVPictureRef picture) {
  if (OnPicture) OnPicture(std::move(picture));
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
