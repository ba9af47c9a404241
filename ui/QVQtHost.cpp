#include "ui/QVQtHost.h"

#include <QMetaObject>
#include <QObject>

void QVQtPoster::Post(std::function<void()> call) {
  QMetaObject::invokeMethod(receiver_, std::move(call), Qt::QueuedConnection);
}

namespace {

// Engine colour red | green << 8 | blue << 16 -> 0xFFRRGGBB.
QRgb ToRgb(int32_t color) {
  const uint32_t c = static_cast<uint32_t>(color);
  return qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
              static_cast<int>((c >> 16) & 0xFF));
}

}  // namespace

void QVQtCanvas::SetSize(int32_t w, int32_t h) { image_ = QImage(w, h, QImage::Format_RGB32); }

void QVQtCanvas::SetPixel(int32_t x, int32_t y, int32_t color) {
  if (image_.valid(x, y)) image_.setPixel(x, y, ToRgb(color));
}

// The last row completes the picture.
void QVQtCanvas::SetRow(int32_t y, const int32_t* colors, int32_t width) {
  if (image_.isNull() || y < 0 || y >= image_.height()) return;
  auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
  const int32_t n = width < image_.width() ? width : image_.width();
  for (int32_t x = 0; x < n; ++x) line[x] = ToRgb(colors[x]);
  if (y == image_.height() - 1 && OnPicture) OnPicture(image_);
}
