#pragma once
// Rendering a project to a picture file: the checks before the render (a
// picture to render, an output that can be replaced, a plan within the
// memory), the render in bands with each band encoded while the next is
// computed, and the file put in place only when everything succeeded and no
// stop was requested. A finished picture is written the same way (the
// editor's save at one sample). Encoding goes in slices of rows with a look
// at the stop token between them, so a stop ends a write within milliseconds
// too. The thread that owns the frozen copy (or the QVMain) calls these.
#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>

#include "base/QVPixelRect.h"
#include "engine/QVPicture.h"
#include "image/QVPictureFile.h"
#include "image/QVPictureWriteError.h"
#include "render/QVBandRender.h"

class QVMain;
class QVSnapshot;

namespace qv {

/// How a picture file is rendered and written.
struct PictureRenderOptions {
  PictureFormat Format = PictureFormat::Png;
  std::optional<PixelRect> Region;  ///< render just this part; none: the whole picture
  int32_t Supersample = 1;          ///< samples per side of each pixel, 1 to 8
  int64_t MemoryAllowance = 0;      ///< bytes; 0: the memory available
  int JpegQuality = 75;             ///< 1 to 100
  bool EmbedProject = true;         ///< PNG: carry the project text and the sample count
  bool FastPng = false;             ///< PNG: a quicker encoding, a larger file
  int32_t Workers = 1;              ///< per node (the QVMain overload takes main's)
};

/// Why snapshot's project has no picture to render (no mixer, an empty size), or "".
std::string NothingToRender(const QVSnapshot& snapshot);

/// Renders snapshot, a detached frozen copy (qv::FrozenCopy{false}), as
/// options say to output, which is replaced only when everything succeeded:
/// after a stop request or any error the old file is as it was and no
/// temporary file is left. The stop is looked at once more after the last
/// row is encoded; the commit that follows (completing the file and renaming
/// it over the old one) is not interrupted, so it leaves the new file or the
/// old one, never a part. A PNG of a region records the region. Returns ""
/// or what went wrong (kStoppedMessage after a stop); failure, when given,
/// receives the same as data (its Message is the text returned).
std::string RenderToFile(QVSnapshot& snapshot, const PictureRenderOptions& options,
                         const std::string& output, std::stop_token stop,
                         const BandProgress& progress, PictureWriteFailure* failure = nullptr);
/// The same for main's project (a detached copy of it) with main's workers.
std::string RenderToFile(const QVMain& main, const PictureRenderOptions& options,
                         const std::string& output, std::stop_token stop,
                         const BandProgress& progress, PictureWriteFailure* failure = nullptr);

/// Writes picture, the finished picture of snapshot's project, to output as
/// options say (Format, JpegQuality, EmbedProject; a PNG records one sample
/// per pixel and no region), replacing the old file as RenderToFile does. progress hears of
/// the rows written. Returns "" or what went wrong (kStoppedMessage after a
/// stop), and fills failure as RenderToFile does.
std::string WritePictureToFile(const QVPicture& picture, const QVSnapshot& snapshot,
                               const PictureRenderOptions& options, const std::string& output,
                               std::stop_token stop, const BandProgress& progress,
                               PictureWriteFailure* failure = nullptr);

}  // namespace qv
