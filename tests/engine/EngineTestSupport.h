#pragma once
// Small helpers shared by the engine tests.
#include <functional>
#include <mutex>
#include <vector>

#include "engine/QVHost.h"
#include "engine/QVMixer.h"
#include "engine/QVObject.h"
#include "engine/QVPass.h"

namespace qv::test {

/// A pass for direct node calls with the given workers (and nothing else set).
inline Pass WorkersPass(int32_t workers) {
  Pass pass;
  pass.Workers = workers;
  return pass;
}

/// A canvas that keeps the pictures it received, in engine colours.
class RecordingCanvas : public QVCanvas {
 public:
  int32_t Width = -1, Height = -1;
  int Pictures = 0;  ///< how many SetPicture calls came
  std::vector<int32_t> Pixels;
  QVPictureRef Last;
  std::function<void()> OnPicture;
  void SetPicture(QVPictureRef picture) override {
    ++Pictures;
    Width = picture->Width();
    Height = picture->Height();
    Pixels.clear();
    for (int32_t y = 0; y < Height; ++y) {
      for (int32_t x = 0; x < Width; ++x) Pixels.push_back(picture->Color(x, y));
    }
    Last = std::move(picture);
    if (OnPicture) OnPicture();
  }
};

/// A poster that keeps the calls until the test runs them.
class HoldingPoster : public QVPoster {
 public:
  std::vector<std::function<void()>> Calls;
  void Post(std::function<void()> call) override {
    std::lock_guard<std::mutex> guard(lock_);
    Calls.push_back(std::move(call));
  }
  /// Runs and forgets every call held so far, in posting order.
  void RunAll() {
    std::vector<std::function<void()>> calls;
    {
      std::lock_guard<std::mutex> guard(lock_);
      calls.swap(Calls);
    }
    for (auto& call : calls) call();
  }

 private:
  std::mutex lock_;
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
