#pragma once
// Rendering a project to a picture file: the checks before the render (a
// picture to render, an output that can be replaced, a plan within the
// memory), the render in bands with each band encoded while the next is
// computed, and the file put in place only when everything succeeded and no
// stop was requested. The thread that owns the project calls it.
#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>

#include "base/QVPixelRect.h"
#include "image/QVPictureFile.h"
#include "render/QVBandRender.h"

class QVMain;

namespace qv {

/// How a picture file is rendered and written.
struct PictureRenderOptions {
  PictureFormat Format = PictureFormat::Png;
  std::optional<PixelRect> Region;  ///< render just this part; none: the whole picture
  int32_t Supersample = 1;          ///< samples per side of each pixel, 1 to 8
  int64_t MemoryAllowance = 0;      ///< bytes; 0: the memory available
  int JpegQuality = 75;             ///< 1 to 100
  bool EmbedProject = true;         ///< PNG: carry the project text and the sample count
};

/// Why main's project has no picture to render (no mixer, an empty size), or "".
std::string NothingToRender(const QVMain& main);

/// Renders main's project as options say to output, which is replaced only
/// when everything succeeded: after a stop request or any error the old file
/// is as it was and no temporary file is left. A PNG of a region records the
/// region. Returns "" or what went wrong (kStoppedMessage after a stop).
std::string RenderToFile(QVMain& main, const PictureRenderOptions& options,
                         const std::string& output, std::stop_token stop,
                         const BandProgress& progress);

}  // namespace qv
