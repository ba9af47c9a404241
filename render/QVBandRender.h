#pragma once
// Rendering a part of a picture (the whole picture, a region, a band) in bands
// of rows, so that the fields never hold more than the memory allowed and the
// finished rows can be encoded while the next band is computed.
//
// Each band is rendered through the engine's window: the generators compute
// just the band's pixels, each at the plane point it has in the whole picture,
// grown by the margin the effectors read around a pixel (the differential's
// neighbours) and clipped to the picture. Cut back to the band, the rows are
// therefore the same bits as those rows of a whole render, and only the true
// picture edges act as edges. With supersampling the engine renders the
// picture n times finer in each direction (same framing) and each n x n block
// is averaged into one pixel.
//
// These render a detached frozen copy of the project (QVSnapshot, taken with
// qv::FrozenCopy{false}), never a live QVMain: the copy's size and window are
// changed for the bands, and a copy belongs to the thread that renders it,
// while its owner goes on editing the project. The thread that owns the copy
// calls these.
#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>

#include "base/QVPixelRect.h"
#include "render/QVProgressSink.h"

class QVSnapshot;

namespace qv {

/// What to render, how finely, within how much memory.
struct BandPlan {
  PixelRect Part;               ///< of the project's Width x Height picture
  int32_t Supersample = 1;      ///< samples per side of each pixel, 1 to 8
  int64_t MemoryAllowance = 0;  ///< bytes; 0: the memory available (either within ulimit)
  int32_t Workers = 1;          ///< per node of each band's pass (see qv::Pass)
  /// Rows of a last band of its own when fewer than a band's (0: none): the
  /// rows the sink works on after the last band, alone, in one piece that it
  /// can spread over the cores. The rows before it go in bands of equal size.
  int32_t LastBandRows = 0;
};

/// The progress of a job of one or more renders (a zoom's frames), told as
/// the finished output rows of the whole job under one name.
struct BandProgress {
  ProgressSink Sink;  ///< none: nobody listens
  std::string Name = "Picture";
  int64_t RowsBefore = 0;  ///< rows of the job finished before this render
  int64_t RowsTotal = 0;   ///< rows of the whole job (0: the part's height)
};

/// Receives the rows of the part, top to bottom: rows x Part.Width pixels
/// 0xFFRRGGBB. Called on a thread of its own, one band at a time, while the
/// next band is computed; it may throw std::runtime_error.
using BandSink = std::function<void(const uint32_t* pixels, int32_t rows)>;

/// Why plan cannot be rendered with snapshot's project (an empty part, a part
/// outside the picture, a supersampled size past 2^31 - 1, or an allowance
/// too small for one band); "" when it can. shortOfMemory, when given, tells
/// whether the problem is the allowance.
std::string BandPlanProblem(const QVSnapshot& snapshot, const BandPlan& plan,
                            bool* shortOfMemory = nullptr);

/// The rows per band: as many as the allowance holds, and at most an eighth
/// of the part (a half when the workers take every core; at least 32 rows)
/// so that encoding overlaps computing.
int32_t BandRows(const QVSnapshot& snapshot, const BandPlan& plan);

/// Renders plan.Part of snapshot's last mixer band by band into sink, each
/// band in one pass on the calling thread with plan.Workers workers per node.
/// snapshot must be a detached copy; its size and window are as before
/// afterwards. A stop request ends the render within milliseconds, and no
/// further band reaches sink. progress.Sink hears of the rows at most every
/// 100 ms, from the calling thread or a worker, and once at the end. Returns
/// "" on success, else what went wrong (the engine's error, kStoppedMessage,
/// the sink's error).
std::string RenderBands(QVSnapshot& snapshot, const BandPlan& plan, const BandSink& sink,
                        std::stop_token stop, const BandProgress& progress);

}  // namespace qv
