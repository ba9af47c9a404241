#pragma once
// Joining PNG regions of one picture (each written by qvell render --region,
// which records where it lies) into the whole. PictureJoin reads what every
// part says about itself and checks that the parts are one render that tiles
// one picture; Copy then streams their rows into a picture stream, so that no
// picture is ever whole in memory.
//
// A part is copied through the file opened for its check while the budget of
// open files allows, so a pipe is read once and a file replaced meanwhile
// does not matter. A part opened again is checked again (size, region,
// project, sample count) and refused when anything differs. Main thread.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "image/QVPictureRegion.h"
#include "image/QVPictureStream.h"

namespace qv {

class PngReader;

/// A part that cannot be read or copied; the message names it and says why.
class JoinError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// What a part's PNG says about itself.
struct JoinPart {
  std::string Path;
  PictureRegion Region;
  std::optional<std::string> Project;  ///< its project chunk
  std::optional<int> Supersample;      ///< its sample-count chunk
};

/// Why output is the same file as one of the parts (links followed), or ""
/// (also when output does not exist yet).
std::string SameFileProblem(const std::string& output, const std::vector<std::string>& parts);

class PictureJoin {
 public:
  /// Reads every part (at least one) up to its pixels, keeping up to keepOpen
  /// of them open for Copy, and checks them. Stops with a JoinError when stop
  /// says so between parts; throws JoinError naming a part that cannot be
  /// read or that does not say where it lies.
  PictureJoin(const std::vector<std::string>& paths, size_t keepOpen,
              std::function<bool()> stop = {});
  ~PictureJoin();
  PictureJoin(const PictureJoin&) = delete;
  PictureJoin& operator=(const PictureJoin&) = delete;

  /// Why the parts are not one render tiling one picture, or "". The rule for
  /// projects: every part carries the same project, or none carries one.
  const std::string& Problem() const { return problem_; }
  int32_t Width() const { return first_.Region.WholeWidth; }
  int32_t Height() const { return first_.Region.WholeHeight; }
  /// The chunks the joined picture carries: the parts' project and sample count.
  std::vector<PngText> Texts() const;

  /// Copies the parts' rows into out (Width x Height, no row written yet),
  /// top to bottom. False when stop said so before a row. Throws JoinError
  /// naming a part that fails to read or has changed since it was checked,
  /// std::logic_error when Problem() is not "".
  bool Copy(PictureStream& out);

 private:
  struct Placed {
    std::string Path;
    PictureRegion Region;
    std::unique_ptr<PngReader> Reader;  ///< kept open since the check, until its copy
  };
  std::unique_ptr<PngReader> Open(const std::string& path, const std::string& failure);
  bool CloseIdle();
  void Activate(size_t part);

  std::function<bool()> stop_;
  size_t keepOpen_;
  int64_t fileLimit_;  ///< open files allowed, or -1 for no limit
  JoinPart first_;  ///< what every part must match
  std::vector<Placed> parts_;
  std::vector<std::pair<size_t, std::unique_ptr<PngReader>>> active_;  ///< rows being copied
  std::string problem_;
};

}  // namespace qv
