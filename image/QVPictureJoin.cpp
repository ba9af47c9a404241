#include "image/QVPictureJoin.h"

#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <numeric>

#include "image/QVPngReader.h"
#include "image/QVProjectPicture.h"
#include "image/QVSupersample.h"

namespace qv {
namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::string SizeText(int64_t w, int64_t h) { return std::to_string(w) + " x " + std::to_string(h); }

std::string ReadPartTexts(const PngReader& reader, JoinPart& part);

// Why reader's picture cannot be a part, or "": what it says about itself goes
// to part. A text chunk that is damaged (or too large) is such a reason.
std::string ReadPart(const PngReader& reader, JoinPart& part) {
  try {
    return ReadPartTexts(reader, part);
  } catch (const PngReadError& e) {
    return std::string(e.what()) + ", so it cannot be checked against the other parts; render it "
                                   "again";
  }
}

std::string ReadPartTexts(const PngReader& reader, JoinPart& part) {
  const std::optional<std::string> region = reader.Text(kRegionKeyword);
  if (!region) {
    return std::string("it has no \"") + kRegionKeyword +
           "\" chunk; render the parts with qvell render --region X,Y,W,H";
  }
  const std::optional<PictureRegion> place = ParseRegionText(*region);
  if (!place) return "its region \"" + *region + "\" does not read as X,Y,W,H of WxH";
  if (place->Rect.Width != reader.Width() || place->Rect.Height != reader.Height()) {
    return "its region says " + *region + " but the picture is " +
           SizeText(reader.Width(), reader.Height());
  }
  part.Region = *place;
  part.Project = reader.Text(kProjectKeyword);
  part.Supersample.reset();
  if (const std::optional<std::string> samples = reader.Text(kSupersampleKeyword)) {
    const std::optional<int32_t> n = ParseSupersampleText(*samples);
    if (!n) {
      return "its sample count \"" + *samples + "\" is not a whole number from 1 to " +
             std::to_string(kMaxSupersample);
    }
    part.Supersample = *n;
    // qvell writes the count with the project, so the project is there but
    // did not read: it cannot be compared with the other parts'.
    if (!part.Project) {
      return std::string("its \"") + kProjectKeyword +
             "\" chunk cannot be read (it is damaged or too large), so it cannot be compared "
             "with the other parts' projects; render it again";
    }
  }
  return "";
}

std::string CountText(const JoinPart& p) {
  return p.Supersample ? "--supersample " + std::to_string(*p.Supersample) : "no sample count";
}

// Why part cannot be joined with first, or "".
std::string MatchProblem(const JoinPart& first, const JoinPart& part) {
  if (part.Region.WholeWidth != first.Region.WholeWidth ||
      part.Region.WholeHeight != first.Region.WholeHeight) {
    return Quoted(part.Path) + " is part of a " +
           SizeText(part.Region.WholeWidth, part.Region.WholeHeight) + " picture, " +
           Quoted(first.Path) + " of a " +
           SizeText(first.Region.WholeWidth, first.Region.WholeHeight) + " one";
  }
  if (part.Project.has_value() != first.Project.has_value()) {
    const JoinPart& with = part.Project ? part : first;
    const JoinPart& without = part.Project ? first : part;
    return Quoted(with.Path) + " carries the project it was rendered from and " +
           Quoted(without.Path) +
           " does not; join parts of one render, all with their project or all rendered with "
           "--no-project";
  }
  if (part.Project != first.Project) {
    return Quoted(part.Path) + " and " + Quoted(first.Path) +
           " were rendered from different projects; join parts of one render only";
  }
  if (part.Supersample != first.Supersample) {
    return Quoted(part.Path) + " records " + CountText(part) + " and " + Quoted(first.Path) + " " +
           CountText(first) + "; join parts rendered with one sample count";
  }
  return "";
}

// Files the process keeps for itself besides the parts (standard streams, the
// output, libraries).
constexpr int64_t kSpareFiles = 16;

// The limit of open files, or -1 for none.
int64_t FileLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return -1;
  return static_cast<int64_t>(std::min<rlim_t>(limit.rlim_cur, INT64_MAX));
}

}  // namespace

std::string SameFileProblem(const std::string& output, const std::vector<std::string>& parts) {
  std::error_code error;
  if (!std::filesystem::exists(output, error)) return "";
  for (const std::string& part : parts) {
    if (std::filesystem::equivalent(output, part, error) && !error) {
      return "the output " + Quoted(output) + " is the same file as the part " + Quoted(part) +
             "; write the joined picture to another file";
    }
  }
  return "";
}

PictureJoin::PictureJoin(const std::vector<std::string>& paths, size_t keepOpen,
                         std::function<bool()> stop)
    : stop_(std::move(stop)), keepOpen_(keepOpen), fileLimit_(FileLimit()) {
  if (paths.empty()) throw std::logic_error("PictureJoin needs a part");
  for (const std::string& path : paths) {
    if (stop_ && stop_()) throw JoinError("stopped before every part was read");
    std::unique_ptr<PngReader> reader = Open(path, "cannot join " + Quoted(path));
    JoinPart part{path, {}, {}, {}};
    if (std::string problem = ReadPart(*reader, part); !problem.empty()) {
      throw JoinError("cannot join " + Quoted(path) + ": " + problem);
    }
    if (parts_.empty()) {
      first_ = std::move(part);
    } else if (problem_ = MatchProblem(first_, part); !problem_.empty()) {
      return;
    }
    parts_.push_back({path, part.Region, nullptr});
    if (parts_.size() <= keepOpen_) parts_.back().Reader = std::move(reader);
  }
  std::vector<PixelRect> rects;
  std::vector<std::string> names;
  for (const Placed& p : parts_) {
    rects.push_back(p.Region.Rect);
    names.push_back(Quoted(p.Path));
  }
  problem_ = TilingProblem(rects, names, Width(), Height());
}

PictureJoin::~PictureJoin() = default;

std::vector<PngText> PictureJoin::Texts() const {
  if (!first_.Project) return {};
  if (first_.Supersample) return ProjectTexts(*first_.Project, *first_.Supersample);
  return {{kProjectKeyword, *first_.Project}};  // parts from before counts were recorded
}

// Opens path. When the parts open would leave fewer than kSpareFiles of the
// limit, or the process is out of files, closes the parts kept open that wait
// for their copy and tries again. Throws JoinError starting with failure.
std::unique_ptr<PngReader> PictureJoin::Open(const std::string& path, const std::string& failure) {
  for (;;) {
    size_t open = active_.size();
    for (const Placed& p : parts_) open += p.Reader ? 1 : 0;
    int error = 0;
    if (fileLimit_ <= 0 || static_cast<int64_t>(open) + kSpareFiles < fileLimit_) {
      errno = 0;
      try {
        return std::make_unique<PngReader>(path);
      } catch (const PngReadError& e) {
        error = errno;  // the reader fails right after the failed open
        if (error != EMFILE && error != ENFILE) throw JoinError(failure + ": " + e.what());
      }
    }
    if (CloseIdle()) continue;
    throw JoinError(
        failure + ": too many files open at once (" + std::to_string(open + 1) + " parts" +
        (fileLimit_ > 0 ? ", and the limit is " + std::to_string(fileLimit_) + " files" : "") +
        (error == ENFILE ? " for the whole system" : "") +
        "); raise the limit with ulimit -n, or render fewer columns so that fewer parts share a "
        "row");
  }
}

bool PictureJoin::CloseIdle() {
  keepOpen_ = 0;  // files are short: keep no more
  bool closed = false;
  for (Placed& p : parts_) {
    closed = closed || p.Reader;
    p.Reader.reset();
  }
  return closed;
}

void PictureJoin::Activate(size_t i) {
  Placed& part = parts_[i];
  std::unique_ptr<PngReader> reader = std::move(part.Reader);
  if (!reader) {
    const std::string changed = Quoted(part.Path) + " has changed since it was checked: ";
    reader = Open(part.Path, "cannot open " + Quoted(part.Path) + " again to copy it");
    JoinPart now{part.Path, {}, {}, {}};
    if (std::string problem = ReadPart(*reader, now); !problem.empty()) {
      throw JoinError(changed + problem);
    }
    if (now.Region != part.Region) {
      throw JoinError(changed + "it now says " + RegionText(now.Region) + " where it said " +
                      RegionText(part.Region));
    }
    if (std::string problem = MatchProblem(first_, now); !problem.empty()) {
      throw JoinError(changed + problem);
    }
  }
  active_.emplace_back(i, std::move(reader));
}

bool PictureJoin::Copy(PictureStream& out) {
  if (!problem_.empty() || out.Width() != Width() || out.Height() != Height() ||
      out.RowsWritten() != 0) {
    throw std::logic_error("PictureJoin::Copy on parts that do not tile the stream");
  }
  std::vector<size_t> order(parts_.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::sort(order.begin(), order.end(), [this](size_t a, size_t b) {
    const PixelRect& ra = parts_[a].Region.Rect;
    const PixelRect& rb = parts_[b].Region.Rect;
    return std::pair(ra.Y, ra.X) < std::pair(rb.Y, rb.X);
  });
  std::vector<uint32_t> row(static_cast<size_t>(Width()));
  size_t next = 0;
  for (int32_t y = 0; y < Height(); ++y) {
    if (stop_ && stop_()) return false;
    for (; next < order.size() && parts_[order[next]].Region.Rect.Y == y; ++next) {
      Activate(order[next]);
    }
    for (auto& [i, reader] : active_) {
      try {
        reader->ReadRow(row.data() + parts_[i].Region.Rect.X);
      } catch (const PngReadError& e) {
        throw JoinError("cannot join " + Quoted(parts_[i].Path) + ": " + e.what());
      }
    }
    out.WriteRows(row.data(), 1);
    std::erase_if(active_, [this, y](const auto& a) {
      return parts_[a.first].Region.Rect.Bottom() == int64_t{y} + 1;
    });
  }
  return true;
}

}  // namespace qv
