#include "render/QVRenderToFile.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <new>
#include <stdexcept>

#include "base/QVAtomicFile.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "engine/QVSnapshot.h"
#include "image/QVPictureRegion.h"
#include "image/QVPictureStream.h"
#include "image/QVPngSlices.h"
#include "image/QVProjectPicture.h"
#include "source/QVSourceWriter.h"

namespace qv {

namespace {

// Pixels encoded between two looks at the stop token: some milliseconds of
// PNG encoding, the slowest of the formats.
constexpr int64_t kSlicePixels = int64_t{1} << 18;

// The chunks of a PNG: the project (with its sample count) and the region.
PictureFileOptions FileOptions(const QVSnapshot& snapshot, const PictureRenderOptions& options,
                               const BandPlan& plan) {
  PictureFileOptions file;
  file.JpegQuality = options.JpegQuality;
  file.FastPng = options.FastPng;
  if (options.Format != PictureFormat::Png) return file;
  if (options.EmbedProject) file.Texts = ProjectTexts(WriteProject(snapshot), plan.Supersample);
  if (options.Region) {
    const PictureRegion region{plan.Part, snapshot.Parameter().Width(),
                               snapshot.Parameter().Height()};
    file.Texts.push_back({kRegionKeyword, RegionText(region)});
  }
  return file;
}

// Encodes rows rows of pixels in slices; a stop between two slices throws,
// so the file is not finished.
void WriteSlices(PictureStream& stream, const uint32_t* pixels, int32_t rows,
                 const std::stop_token& stop) {
  const int32_t slice =
      static_cast<int32_t>(std::clamp<int64_t>(kSlicePixels / stream.Width(), 1, rows));
  for (int32_t y = 0; y < rows; y += slice) {
    if (stop.stop_requested()) throw std::runtime_error(kStoppedMessage);
    stream.WriteRows(pixels + static_cast<size_t>(y) * static_cast<size_t>(stream.Width()),
                     std::min(slice, rows - y));
  }
}

PictureWriteFailure Failure(PictureWriteStage stage, std::string message, int err = 0) {
  PictureWriteFailure failure;
  failure.Stage = stage;
  failure.Errno = err;
  failure.Detail = message;
  failure.Message = std::move(message);
  return failure;
}

PictureWriteFailure Stopped() { return Failure(PictureWriteStage::Stopped, kStoppedMessage); }

// Why output cannot be replaced, or a failure of stage None.
PictureWriteFailure ReplaceFailure(const std::string& output) {
  int err = 0;
  std::string problem = ReplaceProblem(output, err);
  if (problem.empty()) return {};
  return Failure(PictureWriteStage::Open, std::move(problem), err);
}

// The failure a writer threw, as data; rethrows anything else.
PictureWriteFailure CaughtFailure(bool opened) {
  try {
    throw;
  } catch (const PictureWriteError& e) {
    return e.Failure();
  } catch (const FileWriteError& e) {
    return Failure(opened ? PictureWriteStage::Write : PictureWriteStage::Open, e.what(),
                   e.Errno());
  }
}

// Opens output, lets write fill it, and puts it in place unless a stop came
// meanwhile. write returns "" or an error, and records a writer's failure it
// caught in sinkFailure. memory is what an allocation failure says.
template <typename Write>
PictureWriteFailure WriteFile(const std::string& output, const PictureRenderOptions& options,
                              const PixelRect& part, const PictureFileOptions& file,
                              const std::stop_token& stop, Write&& write,
                              const std::function<std::string()>& memory) {
  PictureWriteFailure sinkFailure;
  bool opened = false;
  try {
    // A size the format cannot store is refused here, before the render.
    const std::unique_ptr<PictureStream> stream =
        OpenPictureStream(output, options.Format, part.Width, part.Height, file);
    opened = true;
    if (std::string error = write(*stream, sinkFailure); !error.empty()) {
      if (stop.stop_requested()) return Stopped();
      if (sinkFailure.Failed()) return sinkFailure;
      return Failure(PictureWriteStage::Other, std::move(error));
    }
    // A stop during the last rows' encoding still replaces nothing.
    if (stop.stop_requested()) return Stopped();
    stream->Finish();
  } catch (const std::bad_alloc&) {
    return Failure(PictureWriteStage::Memory, memory());
  } catch (const std::runtime_error& e) {
    if (stop.stop_requested()) return Stopped();
    try {
      return CaughtFailure(opened);
    } catch (const std::runtime_error&) {
      return Failure(PictureWriteStage::Other, e.what());
    }
  }
  return {};
}

// Runs sink, keeping a writer's failure as data before it goes on as text.
template <typename Sink>
void KeepingFailure(PictureWriteFailure& failure, Sink&& sink) {
  try {
    sink();
  } catch (const std::runtime_error&) {
    try {
      failure = CaughtFailure(true);
    } catch (const std::runtime_error&) {
    }
    throw;
  }
}

// The English message of failure, given to whoever asked for it as data.
std::string Reported(PictureWriteFailure failure, PictureWriteFailure* out) {
  std::string message = failure.Message;
  if (out) *out = std::move(failure);
  return message;
}

}  // namespace

std::string NothingToRender(const QVSnapshot& snapshot) {
  if (snapshot.Graph().Mixers.empty()) return "the project has no mixer, so there is no picture";
  const int32_t w = snapshot.Parameter().Width(), h = snapshot.Parameter().Height();
  if (w >= 1 && h >= 1) return "";
  return "the picture is empty: Width is " + std::to_string(w) + " and Height is " +
         std::to_string(h) + "; set both to at least 1";
}

std::string RenderToFile(QVSnapshot& snapshot, const PictureRenderOptions& options,
                         const std::string& output, std::stop_token stop,
                         const BandProgress& progress, PictureWriteFailure* failure) {
  if (std::string problem = NothingToRender(snapshot); !problem.empty()) {
    return Reported(Failure(PictureWriteStage::Nothing, std::move(problem)), failure);
  }
  if (PictureWriteFailure problem = ReplaceFailure(output); problem.Failed()) {
    return Reported(std::move(problem), failure);
  }
  const QVParameter& p = snapshot.Parameter();
  BandPlan plan;
  plan.Part = options.Region.value_or(PixelRect{0, 0, p.Width(), p.Height()});
  plan.Supersample = options.Supersample;
  plan.MemoryAllowance = options.MemoryAllowance;
  plan.Workers = options.Workers;
  // The last band brings the PNG's last slice alone: the rest is compressed
  // while it is computed.
  if (options.Format == PictureFormat::Png)
    plan.LastBandRows = PngSlices::LastSliceRows(plan.Part.Width, plan.Part.Height);
  bool shortOfMemory = false;
  if (std::string problem = BandPlanProblem(snapshot, plan, &shortOfMemory); !problem.empty()) {
    const PictureWriteStage stage =
        shortOfMemory ? PictureWriteStage::Memory : PictureWriteStage::Other;
    return Reported(Failure(stage, std::move(problem)), failure);
  }
  // The sink runs on the encoding thread; RenderBands waits for it before it
  // returns, so its failure is complete when read.
  const auto render = [&](PictureStream& stream, PictureWriteFailure& sinkFailure) {
    return RenderBands(
        snapshot, plan,
        [&](const uint32_t* pixels, int32_t rows) {
          KeepingFailure(sinkFailure, [&] { WriteSlices(stream, pixels, rows, stop); });
        },
        stop, progress);
  };
  const auto memory = [&] {
    return MemoryMessage(p, RequiredBytes(p, snapshot.Graph(), options.Workers, 0));
  };
  return Reported(WriteFile(output, options, plan.Part, FileOptions(snapshot, options, plan), stop,
                            render, memory),
                  failure);
}

std::string RenderToFile(const QVMain& main, const PictureRenderOptions& options,
                         const std::string& output, std::stop_token stop,
                         const BandProgress& progress, PictureWriteFailure* failure) {
  PictureRenderOptions withWorkers = options;
  withWorkers.Workers = main.Workers();
  return RenderToFile(*main.Snapshot(FrozenCopy{false}), withWorkers, output, std::move(stop),
                      progress, failure);
}

std::string WritePictureToFile(const QVPicture& picture, const QVSnapshot& snapshot,
                               const PictureRenderOptions& options, const std::string& output,
                               std::stop_token stop, const BandProgress& progress,
                               PictureWriteFailure* failure) {
  if (PictureWriteFailure problem = ReplaceFailure(output); problem.Failed()) {
    return Reported(std::move(problem), failure);
  }
  BandPlan plan;
  plan.Part = PixelRect{0, 0, picture.Width(), picture.Height()};
  const int64_t total = progress.RowsTotal > 0 ? progress.RowsTotal : picture.Height();
  const auto write = [&](PictureStream& stream, PictureWriteFailure&) {
    for (int32_t y = 0; y < picture.Height(); y += 64) {
      const int32_t rows = std::min(64, picture.Height() - y);
      WriteSlices(stream, picture.Row(y), rows, stop);
      if (progress.Sink) progress.Sink(progress.Name, progress.RowsBefore + y + rows, total);
    }
    return std::string();
  };
  const auto memory = [&] {
    return "there is not enough memory to write the " + std::to_string(picture.Width()) + " x " +
           std::to_string(picture.Height()) + " picture; close other programs and save again";
  };
  PictureRenderOptions whole = options;
  whole.Region.reset();
  return Reported(
      WriteFile(output, whole, plan.Part, FileOptions(snapshot, whole, plan), stop, write, memory),
      failure);
}

}  // namespace qv
