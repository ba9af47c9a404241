#include "render/QVBandRender.h"

#include <algorithm>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <new>
#include <stdexcept>
#include <thread>

#include "base/QVArena.h"
#include "engine/QVEffector.h"
#include "engine/QVGraph.h"
#include "engine/QVMixer.h"
#include "engine/QVPicture.h"
#include "engine/QVSnapshot.h"
#include "image/QVSupersample.h"
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
int32_t BandsWhenFitting(const BandPlan& plan) {
  const int64_t cores = std::thread::hardware_concurrency();
  return cores == 0 || plan.Workers < cores ? 8 : 2;
}

// Bytes per computed pixel: every node's field and the picture the engine
// hands over.
int64_t BytesPerFinePixel(const QVSnapshot& snapshot) {
  const QVNodeGraph& graph = snapshot.Graph();
  return 4 + static_cast<int64_t>(graph.Generators.size() * sizeof(FractalPixel)) +
         4 * static_cast<int64_t>(graph.Effectors.size() + graph.Mixers.size());
}

// Threads besides the main one while bands render: the workers, the
// rendering thread and the encoder.
MemoryAllowance Allowance(const BandPlan& plan) {
  return AllowedMemory(plan.MemoryAllowance, int64_t{std::max(plan.Workers, 1)} + 2, kBaseBytes);
}

// Bytes one band of rows output rows takes at its peak: the computed window
// with its margin, and the output rows twice (one band encoding, one made),
// with the encoder's copy of a band (3 bytes per pixel).
int64_t BandBytes(const QVSnapshot& snapshot, const BandPlan& plan, int32_t rows) {
  const int64_t n = plan.Supersample, margin = NeighbourMargin(snapshot.Graph());
  const int64_t fineWidth = plan.Part.Width * n + 2 * margin;
  const int64_t fineRows = rows * n + 2 * margin;
  return fineWidth * fineRows * BytesPerFinePixel(snapshot) + int64_t{rows} * plan.Part.Width * 11;
}

// Restores the size and window a band render changes.
class SavedPicture {
 public:
  explicit SavedPicture(QVSnapshot& s)
      : s_(s),
        w_(s.Parameter().Width()),
        h_(s.Parameter().Height()),
        window_(s.Parameter().Window()) {}
  ~SavedPicture() {
    s_.SetSize(w_, h_);
    s_.SetWindow(window_);
  }
  SavedPicture(const SavedPicture&) = delete;
  SavedPicture& operator=(const SavedPicture&) = delete;

 private:
  QVSnapshot& s_;
  int32_t w_, h_;
  PixelRect window_;
};

// Turns the workers' row reports into the finished output rows of the job:
// each node of a band reports its own rows, and the band counts as far as the
// furthest node got; the display never goes back. The sink hears of it at
// most every 100 ms. Row is called by the workers, the rest by the rendering
// thread between passes.
class RowReporter {
 public:
  RowReporter(const BandProgress& progress, int64_t total)
      : progress_(progress), total_(total), shown_(progress.RowsBefore) {}

  void StartBand(int64_t before, int32_t rows) {
    const std::lock_guard<std::mutex> guard(lock_);
    before_ = before, rows_ = rows, height_ = 0;
  }
  void Row(const std::string& name, int height) {
    const std::lock_guard<std::mutex> guard(lock_);
    if (name != name_ || height != height_) name_ = name, height_ = height, done_ = 0;
    ++done_;
    shown_ = std::max(shown_, before_ + int64_t{rows_} * done_ / std::max(height_, 1));
    const Clock::time_point now = Clock::now();
    if (!progress_.Sink || now < next_) return;
    next_ = now + std::chrono::milliseconds(100);
    progress_.Sink(progress_.Name, shown_, total_);
  }
  void Finish(int64_t rows) {
    if (progress_.Sink) progress_.Sink(progress_.Name, progress_.RowsBefore + rows, total_);
  }

 private:
  using Clock = std::chrono::steady_clock;
  const BandProgress& progress_;
  const int64_t total_;
  std::mutex lock_;
  int64_t shown_;
  int64_t before_ = 0;
  int32_t rows_ = 0;
  std::string name_;
  int height_ = 0;
  int64_t done_ = 0;
  Clock::time_point next_ = Clock::now() + std::chrono::milliseconds(100);
};

// A band of output rows, handed to the encoder while the next band is made.
struct Band {
  ArenaPtr Block;
  const uint32_t* Pixels() const { return reinterpret_cast<const uint32_t*>(Block.get()); }
};

// The band's output rows from the last mixer's field of window; null when
// the pass was stopped meanwhile.
std::shared_ptr<Band> CutBand(const QVRGBField& field, const PixelRect& window,
                              const PixelRect& fine, int32_t n, int32_t w, int32_t rows,
                              const Pass& pass) {
  const size_t count = static_cast<size_t>(w) * static_cast<size_t>(rows);
  auto band = std::make_shared<Band>(Band{ArenaAllocate(count * sizeof(uint32_t))});
  if (!band->Block) throw std::bad_alloc();
  // The arena's blocks are aligned for any pixel type.
  auto* out = reinterpret_cast<uint32_t*>(band->Block.get());
  const int32_t top = fine.Y - window.Y, left = fine.X - window.X;
  if (n == 1) {
    for (int32_t y = 0; y < rows; ++y) {
      const int32_t* in = field.Row(top + y) + left;
      uint32_t* row = out + static_cast<size_t>(y) * static_cast<size_t>(w);
      for (int32_t x = 0; x < w; ++x) row[x] = QVPicture::FromEngineColor(in[x]);
    }
    return band;
  }
  const QVPictureRef picture = PictureOf(field, [&pass](int32_t) { return !pass.StopRequested(); });
  if (!picture) return nullptr;
  AverageBlocks(picture->Row(top) + left, static_cast<size_t>(picture->Width()), n, w, rows, out);
  return band;
}

// The band of the (fine) picture's rows fine, computed by one pass over
// window (fine with its margin); null when the pass was stopped. An
// allocation that fails despite the pass's memory check says what the check
// says.
std::shared_ptr<Band> RenderBand(QVSnapshot& snapshot, const PixelRect& window,
                                 const PixelRect& fine, int32_t n, int32_t w, int32_t rows,
                                 const Pass& pass) {
  snapshot.SetWindow(window);
  try {
    if (!snapshot.RunPass(pass) || !snapshot.Output()) return nullptr;
    return CutBand(snapshot.Output()->RGBField, window, fine, n, w, rows, pass);
  } catch (const std::bad_alloc&) {
  } catch (const FieldAllocationError&) {
  }
  const QVParameter& p = snapshot.Parameter();
  throw std::runtime_error(
      MemoryMessage(p, RequiredBytes(p, snapshot.Graph(), pass.WorkerCount(), 0)));
}

}  // namespace

std::string BandPlanProblem(const QVSnapshot& snapshot, const BandPlan& plan,
                            bool* shortOfMemory) {
  if (shortOfMemory) *shortOfMemory = false;
  const int32_t w = snapshot.Parameter().Width(), h = snapshot.Parameter().Height();
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
  const MemoryAllowance allowance = Allowance(plan);
  if (BandBytes(snapshot, plan, 1) > allowance.Bytes - kBaseBytes) {
    if (shortOfMemory) *shortOfMemory = true;
    return MemoryRefusal(
        "a band of one row of the " + std::to_string(w) + " x " + std::to_string(h) + " picture",
        BandBytes(snapshot, plan, 1) + kBaseBytes, allowance);
  }
  return "";
}

int32_t BandRows(const QVSnapshot& snapshot, const BandPlan& plan) {
  const int64_t budget = Allowance(plan).Bytes - kBaseBytes;
  const int64_t one = BandBytes(snapshot, plan, 1), more = BandBytes(snapshot, plan, 2) - one;
  const int64_t fitting = one > budget ? 1 : 1 + (budget - one) / std::max<int64_t>(more, 1);
  const int32_t bands = BandsWhenFitting(plan);
  const int64_t overlapping =
      std::max<int64_t>(kMinBandRows, (int64_t{plan.Part.Height} + bands - 1) / bands);
  return static_cast<int32_t>(std::clamp<int64_t>(fitting, 1, overlapping));
}

std::string RenderBands(QVSnapshot& snapshot, const BandPlan& plan, const BandSink& sink,
                        std::stop_token stop, const BandProgress& progress) {
  const int32_t n = plan.Supersample, bandRows = BandRows(snapshot, plan);
  const int32_t fineW = snapshot.Parameter().Width() * n, fineH = snapshot.Parameter().Height() * n;
  const int32_t margin = NeighbourMargin(snapshot.Graph());
  RowReporter reporter(progress, progress.RowsTotal > 0 ? progress.RowsTotal : plan.Part.Height);
  const Pass pass{stop, plan.Workers, [&reporter](const std::string& name, int, int height) {
                    reporter.Row(name, height);
                  }};
  SavedPicture saved(snapshot);
  snapshot.SetSize(fineW, fineH);
  // The rows before a last band of its own go in bands of equal size, none
  // larger than bandRows (so the last band reuses their memory).
  const int64_t last =
      plan.LastBandRows > 0 && plan.LastBandRows < bandRows && plan.LastBandRows < plan.Part.Height
          ? plan.LastBandRows
          : 0;
  const int64_t lastStart = plan.Part.Bottom() - last, before = lastStart - plan.Part.Y;
  const int64_t bandsBefore = (before + bandRows - 1) / bandRows;
  const int64_t evenRows = last == 0 ? bandRows : (before + bandsBefore - 1) / bandsBefore;
  std::future<void> encoding;  // the band being written while the next is computed
  try {
    int32_t rows = 0;
    for (int64_t y = plan.Part.Y; y < plan.Part.Bottom(); y += rows) {
      rows = static_cast<int32_t>(y < lastStart ? std::min(evenRows, lastStart - y) : last);
      if (stop.stop_requested()) return kStoppedMessage;
      reporter.StartBand(progress.RowsBefore + (y - plan.Part.Y), rows);
      const PixelRect fine{plan.Part.X * n, static_cast<int32_t>(y) * n, plan.Part.Width * n,
                           rows * n};
      const PixelRect window = GrowWithin(fine, margin, fineW, fineH);
      std::shared_ptr<Band> band =
          RenderBand(snapshot, window, fine, n, plan.Part.Width, rows, pass);
      if (!band) return stop.stop_requested() ? kStoppedMessage : "the render produced no picture";
      if (encoding.valid()) encoding.get();
      encoding =
          std::async(std::launch::async, [band, rows, &sink] { sink(band->Pixels(), rows); });
    }
    if (encoding.valid()) encoding.get();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  reporter.Finish(plan.Part.Height);
  return "";
}

}  // namespace qv
