#include "render/QVRenderToFile.h"

#include <memory>
#include <new>
#include <stdexcept>

#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "image/QVPictureRegion.h"
#include "image/QVPictureStream.h"
#include "image/QVProjectPicture.h"
#include "base/QVAtomicFile.h"
#include "source/QVSourceWriter.h"

namespace qv {

namespace {

// The chunks of a PNG: the project (with its sample count) and the region.
PictureFileOptions FileOptions(const QVMain& main, const PictureRenderOptions& options,
                               const BandPlan& plan) {
  PictureFileOptions file;
  file.JpegQuality = options.JpegQuality;
  if (options.Format != PictureFormat::Png) return file;
  if (options.EmbedProject) file.Texts = ProjectTexts(WriteProject(main), plan.Supersample);
  if (options.Region) {
    const PictureRegion region{plan.Part, main.Parameter.Width, main.Parameter.Height};
    file.Texts.push_back({kRegionKeyword, RegionText(region)});
  }
  return file;
}

}  // namespace

std::string NothingToRender(const QVMain& main) {
  if (main.Graph().Mixers.empty()) return "the project has no mixer, so there is no picture";
  const int32_t w = main.Parameter.Width, h = main.Parameter.Height;
  if (w >= 1 && h >= 1) return "";
  return "the picture is empty: Width is " + std::to_string(w) + " and Height is " +
         std::to_string(h) + "; set both to at least 1";
}

std::string RenderToFile(QVMain& main, const PictureRenderOptions& options,
                         const std::string& output, std::stop_token stop,
                         const BandProgress& progress) {
  if (std::string problem = NothingToRender(main); !problem.empty()) return problem;
  if (std::string problem = ReplaceProblem(output); !problem.empty()) return problem;
  BandPlan plan;
  plan.Part = options.Region.value_or(PixelRect{0, 0, main.Parameter.Width, main.Parameter.Height});
  plan.Supersample = options.Supersample;
  plan.MemoryAllowance = options.MemoryAllowance;
  if (std::string problem = BandPlanProblem(main, plan); !problem.empty()) return problem;
  try {
    // A size the format cannot store is refused here, before the render.
    const std::unique_ptr<PictureStream> stream =
        OpenPictureStream(output, options.Format, plan.Part.Width, plan.Part.Height,
                          FileOptions(main, options, plan));
    std::string error = RenderBands(
        main, plan, [&](const uint32_t* pixels, int32_t rows) { stream->WriteRows(pixels, rows); },
        stop, progress);
    if (!error.empty()) return error;
    // A stop during the last band's encoding still replaces nothing.
    if (stop.stop_requested()) return kStoppedMessage;
    stream->Finish();
  } catch (const std::bad_alloc&) {
    return main.MemoryMessage();
  } catch (const std::runtime_error& e) {
    return stop.stop_requested() ? kStoppedMessage : e.what();
  }
  return "";
}

}  // namespace qv
