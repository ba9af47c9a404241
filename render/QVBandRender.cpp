#include "render/QVBandRender.h"

#include <algorithm>
#include <cstring>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "engine/QVEffector.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "image/QVSupersample.h"
#include "render/QVHeadlessRender.h"
#include "render/QVMemoryAllowance.h"

namespace qv {

namespace {

// What the process holds besides the bands: code, libraries, thread stacks,
// the encoders' state.
constexpr int64_t kBaseBytes = int64_t{48} << 20;
constexpr int32_t kMinBandRows = 32;
// Bands of a picture that fits: eight when a core is left for the encoder,
// so that it works beside the workers; two when the workers take every core,
// because the encoder then slows one worker and the other waits for it at the
// end of each band (measured on 2 cores with 2 workers, the 1024 x 1024 benchmark picture:
// 2 bands 62 to 76 ms, 8 bands 77 to 88 ms).
int32_t BandsWhenFitting(const QVMain& main) {
  const int64_t cores = std::thread::hardware_concurrency();
  return cores == 0 || main.Workers() < cores ? 8 : 2;
}

// Bytes per computed pixel: every node's field and the picture the engine
// hands over.
int64_t BytesPerFinePixel(const QVMain& main) {
  const QVNodeGraph& graph = main.Graph();
  return 4 + static_cast<int64_t>(graph.Generators.size() * sizeof(FractalPixel)) +
         4 * static_cast<int64_t>(graph.Effectors.size() + graph.Mixers.size());
}

// Threads besides the main one while bands render: the workers, the render
// thread and the encoder.
MemoryAllowance Allowance(const QVMain& main, const BandPlan& plan) {
  return AllowedMemory(plan.MemoryAllowance, int64_t{main.Workers()} + 2, kBaseBytes);
}

// Bytes one band of rows output rows takes at its peak: the computed window
// with its margin, and the output rows twice (one band encoding, one made),
// with the encoder's copy of a band (3 bytes per pixel).
int64_t BandBytes(const QVMain& main, const BandPlan& plan, int32_t rows) {
  const int64_t n = plan.Supersample, margin = NeighbourMargin(main.Graph());
  const int64_t fineWidth = plan.Part.Width * n + 2 * margin;
  const int64_t fineRows = rows * n + 2 * margin;
  return fineWidth * fineRows * BytesPerFinePixel(main) + int64_t{rows} * plan.Part.Width * 11;
}

// Restores the parameters a band render changes.
class SavedPicture {
 public:
  explicit SavedPicture(QVParameter& p) : p_(p), w_(p.Width), h_(p.Height), window_(p.Window) {}
  ~SavedPicture() {
    p_.ChangeWidth(w_);
    p_.ChangeHeight(h_);
    p_.ChangeWindow(window_);
  }
  SavedPicture(const SavedPicture&) = delete;
  SavedPicture& operator=(const SavedPicture&) = delete;

 private:
  QVParameter& p_;
  int32_t w_, h_;
  PixelRect window_;
};

// The band's output rows from the engine's picture of window.
std::shared_ptr<std::vector<uint32_t>> CutBand(const QVPicture& picture, const PixelRect& window,
                                               const PixelRect& fine, int32_t n, int32_t w,
                                               int32_t rows) {
  auto band = std::make_shared<std::vector<uint32_t>>(static_cast<size_t>(w) * rows);
  const int32_t top = fine.Y - window.Y, left = fine.X - window.X;
  if (n == 1) {
    for (int32_t y = 0; y < rows; ++y) {
      std::memcpy(band->data() + static_cast<size_t>(y) * w, picture.Row(top + y) + left,
                  static_cast<size_t>(w) * 4);
    }
  } else {
    AverageBlocks(picture.Row(top) + left, static_cast<size_t>(picture.Width()), n, w, rows,
                  band->data());
  }
  return band;
}

// Renders window of the (fine) picture and cuts the band's output rows out of
// it: fine, averaged over n x n blocks into rows of w pixels.
std::string RenderBand(QVMain& main, const PixelRect& window, const PixelRect& fine, int32_t n,
                       int32_t w, std::stop_token stop, const ProgressSink& progress,
                       std::shared_ptr<std::vector<uint32_t>>& band) {
  main.Parameter.ChangeWindow(window);
  QVPictureRef picture;
  if (std::string error = RenderHeadless(main, std::move(stop), progress, picture); !error.empty())
    return error;
  band = CutBand(*picture, window, fine, n, w, fine.Height / n);
  return "";
}

void Tell(const BandProgress& progress, int64_t rowsDone, int64_t total) {
  if (progress.Sink) progress.Sink(progress.Name, rowsDone, total);
}

}  // namespace

std::string BandPlanProblem(const QVMain& main, const BandPlan& plan) {
  const int32_t w = main.Parameter.Width, h = main.Parameter.Height;
  const PixelRect whole{0, 0, w, h};
  const PixelRect& r = plan.Part;
  if (r.Empty() || Intersect(r, whole) != r) {
    return "the region " + std::to_string(r.X) + "," + std::to_string(r.Y) + "," +
           std::to_string(r.Width) + "," + std::to_string(r.Height) + " is not inside the " +
           std::to_string(w) + " x " + std::to_string(h) + " picture";
  }
  const int64_t n = plan.Supersample;
  if (int64_t{w} * n > INT32_MAX || int64_t{h} * n > INT32_MAX) {
    return "with --supersample " + std::to_string(n) + " the picture would be computed at " +
           std::to_string(w * n) + " x " + std::to_string(h * n) +
           " pixels, more than 2147483647 on a side; use a smaller factor";
  }
  const MemoryAllowance allowance = Allowance(main, plan);
  if (BandBytes(main, plan, 1) > allowance.Bytes - kBaseBytes) {
    return MemoryRefusal(
        "a band of one row of the " + std::to_string(w) + " x " + std::to_string(h) + " picture",
        BandBytes(main, plan, 1) + kBaseBytes, allowance);
  }
  return "";
}

int32_t BandRows(const QVMain& main, const BandPlan& plan) {
  const int64_t budget = Allowance(main, plan).Bytes - kBaseBytes;
  const int64_t one = BandBytes(main, plan, 1), more = BandBytes(main, plan, 2) - one;
  const int64_t fitting = one > budget ? 1 : 1 + (budget - one) / std::max<int64_t>(more, 1);
  const int32_t bands = BandsWhenFitting(main);
  const int64_t overlapping =
      std::max<int64_t>(kMinBandRows, (int64_t{plan.Part.Height} + bands - 1) / bands);
  return static_cast<int32_t>(std::clamp<int64_t>(fitting, 1, overlapping));
}

std::string RenderBands(QVMain& main, const BandPlan& plan, const BandSink& sink,
                        std::stop_token stop, const BandProgress& progress) {
  const int32_t n = plan.Supersample, bandRows = BandRows(main, plan);
  const int32_t fineW = main.Parameter.Width * n, fineH = main.Parameter.Height * n;
  const int32_t margin = NeighbourMargin(main.Graph());
  const int64_t total = progress.RowsTotal > 0 ? progress.RowsTotal : plan.Part.Height;
  SavedPicture saved(main.Parameter);
  main.Parameter.ChangeWidth(fineW);
  main.Parameter.ChangeHeight(fineH);
  std::future<void> encoding;           // the band being written while the next is computed
  int64_t shown = progress.RowsBefore;  // the display never goes back
  try {
    for (int64_t y = plan.Part.Y; y < plan.Part.Bottom(); y += bandRows) {
      const int32_t rows =
          static_cast<int32_t>(std::min<int64_t>(bandRows, plan.Part.Bottom() - y));
      if (stop.stop_requested()) return kStoppedMessage;
      const int64_t before = progress.RowsBefore + (y - plan.Part.Y);
      const PixelRect fine{plan.Part.X * n, static_cast<int32_t>(y) * n, plan.Part.Width * n,
                           rows * n};
      // Called on this thread only (see RenderHeadless), so shown needs no lock.
      const auto nodeProgress = [&](const std::string&, int64_t done, int64_t height) {
        // Each node of the band reports its own rows; the band counts as far
        // as the furthest node got.
        shown = std::max(shown, before + int64_t{rows} * done / height);
        Tell(progress, shown, total);
      };
      std::shared_ptr<std::vector<uint32_t>> band;
      const PixelRect window = GrowWithin(fine, margin, fineW, fineH);
      std::string error =
          RenderBand(main, window, fine, n, plan.Part.Width, stop, nodeProgress, band);
      if (!error.empty()) return error;
      if (encoding.valid()) encoding.get();
      encoding = std::async(std::launch::async, [band, rows, &sink] { sink(band->data(), rows); });
    }
    if (encoding.valid()) encoding.get();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  Tell(progress, progress.RowsBefore + plan.Part.Height, total);
  return "";
}

}  // namespace qv
