#pragma once
// Small helpers shared by the engine tests.
#include <functional>
#include <vector>

#include "engine/QVHost.h"
#include "engine/QVMixer.h"
#include "engine/QVObject.h"

namespace qv::test {

/// Sets ThreadCount for one test and restores it afterwards.
class ScopedThreadCount {
 public:
  explicit ScopedThreadCount(int n) : saved_(ThreadCount.load()) { ThreadCount = n; }
  ~ScopedThreadCount() { ThreadCount = saved_; }

 private:
  int saved_;
};

/// A canvas that keeps what was painted.
class RecordingCanvas : public QVCanvas {
 public:
  int32_t Width = -1, Height = -1;
  std::vector<int32_t> Pixels;
  std::function<void(int)> OnRow;
  void SetSize(int32_t w, int32_t h) override {
    Width = w;
    Height = h;
    Pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), -1);
  }
  void SetPixel(int32_t x, int32_t y, int32_t color) override {
    Pixels[static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)] = color;
  }
  void SetRow(int32_t y, const int32_t* colors, int32_t width) override {
    if (OnRow) OnRow(y);
    QVCanvas::SetRow(y, colors, width);
  }
};

inline std::vector<int32_t> FieldPixels(const QVRGBField& f) {
  std::vector<int32_t> out;
  for (int32_t y = 0; y < f.Height; ++y) {
    for (int32_t x = 0; x < f.Width; ++x) out.push_back(f.Pixel(x, y));
  }
  return out;
}

inline std::vector<int32_t> MixerPixels(const QVMixer& m) { return FieldPixels(m.RGBField); }

}  // namespace qv::test
