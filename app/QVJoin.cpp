// qvell join: assembles PNG regions of one picture (each written by qvell
// render --region, which records where it lies and the whole picture's size)
// into one PNG. It checks that the parts tile the picture exactly, then
// streams: every part is read row by row while the output is written row by
// row, so no picture is ever whole in memory. Main thread.
#include <algorithm>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "app/QVCommands.h"
#include "image/QVPictureRegion.h"
#include "image/QVPictureStream.h"
#include "image/QVPngReader.h"
#include "image/QVProjectPicture.h"

namespace qv {

namespace {

struct JoinPart {
  std::string Path;
  PictureRegion Region;
  std::optional<std::string> Project;
};

// Reads what a part says about itself; throws std::runtime_error naming it.
JoinPart ReadPartHeader(const std::string& path) {
  try {
    const PngReader reader(path);
    const std::optional<std::string> text = reader.Text(kRegionKeyword);
    if (!text) {
      throw PngReadError(std::string("it has no \"") + kRegionKeyword +
                         "\" chunk; render the parts with qvell render --region X,Y,W,H");
    }
    const std::optional<PictureRegion> region = ParseRegionText(*text);
    if (!region) throw PngReadError("its region \"" + *text + "\" does not read as X,Y,W,H of WxH");
    if (region->Rect.Width != reader.Width() || region->Rect.Height != reader.Height()) {
      throw PngReadError("its region says " + *text + " but the picture is " +
                         std::to_string(reader.Width()) + " x " + std::to_string(reader.Height()));
    }
    return {path, *region, reader.Text(kProjectKeyword)};
  } catch (const PngReadError& e) {
    throw std::runtime_error("cannot join \"" + path + "\": " + e.what());
  }
}

// Why the parts are not one picture; "" when they are.
std::string PartsProblem(const std::vector<JoinPart>& parts) {
  const JoinPart& first = parts.front();
  std::vector<PixelRect> rects;
  std::vector<std::string> names;
  for (const JoinPart& p : parts) {
    if (p.Region.WholeWidth != first.Region.WholeWidth ||
        p.Region.WholeHeight != first.Region.WholeHeight) {
      return "\"" + p.Path + "\" is part of a " + std::to_string(p.Region.WholeWidth) + " x " +
             std::to_string(p.Region.WholeHeight) + " picture, \"" + first.Path + "\" of a " +
             std::to_string(first.Region.WholeWidth) + " x " +
             std::to_string(first.Region.WholeHeight) + " one";
    }
    if (p.Project != first.Project) {
      return "\"" + p.Path + "\" and \"" + first.Path +
             "\" were rendered from different projects; join parts of one render only";
    }
    rects.push_back(p.Region.Rect);
    names.push_back("\"" + p.Path + "\"");
  }
  return TilingProblem(rects, names, first.Region.WholeWidth, first.Region.WholeHeight);
}

// Streams the parts (sorted by row, then column) into out.
void StreamParts(const std::vector<JoinPart>& parts, PictureStream& out) {
  std::vector<uint32_t> row(static_cast<size_t>(out.Width()));
  std::vector<std::pair<const JoinPart*, std::unique_ptr<PngReader>>> open;
  size_t next = 0;
  for (int32_t y = 0; y < out.Height(); ++y) {
    for (; next < parts.size() && parts[next].Region.Rect.Y == y; ++next) {
      open.emplace_back(&parts[next], std::make_unique<PngReader>(parts[next].Path));
    }
    for (auto& [part, reader] : open) {
      try {
        reader->ReadRow(row.data() + part->Region.Rect.X);
      } catch (const PngReadError& e) {
        throw std::runtime_error("cannot join \"" + part->Path + "\": " + e.what());
      }
    }
    out.WriteRows(row.data(), 1);
    std::erase_if(open, [y](const auto& p) { return p.first->Region.Rect.Bottom() == y + 1; });
  }
}

}  // namespace

int RunJoin(const CommandLineOptions& options) {
  try {
    std::vector<JoinPart> parts;
    for (const std::string& path : options.Parts) parts.push_back(ReadPartHeader(path));
    if (std::string problem = PartsProblem(parts); !problem.empty()) {
      return CommandError("cannot join: " + problem);
    }
    std::sort(parts.begin(), parts.end(), [](const JoinPart& a, const JoinPart& b) {
      return std::pair(a.Region.Rect.Y, a.Region.Rect.X) <
             std::pair(b.Region.Rect.Y, b.Region.Rect.X);
    });
    PictureFileOptions file;
    file.Texts = ProjectTexts(parts.front().Project.value_or(""));
    const std::unique_ptr<PictureStream> out =
        OpenPictureStream(options.Output, PictureFormat::Png, parts.front().Region.WholeWidth,
                          parts.front().Region.WholeHeight, file);
    StreamParts(parts, *out);
    out->Finish();
  } catch (const std::runtime_error& e) {
    return CommandError(e.what());
  }
  return ExitSuccess;
}

}  // namespace qv
