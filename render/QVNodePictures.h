#pragma once
// The pictures of single nodes: every effector's and mixer's own picture, at
// a size of its own (the workspace's thumbnails) or the whole picture's (the
// viewer showing one node). A detached frozen copy of the project is
// computed, so nothing is shared with the project's renders.
//
// Thumbnail size: the picture's W x H scaled to fit a box of 36 x 27 pixels,
// the proportions kept: 36 wide and round(36 H / W) high when W / H is at
// least 4 / 3, else 27 high and round(27 W / H) wide, each side at least 1
// (halves round up). A thumbnail is the node's picture computed at that size
// with the same viewpoint and scale: exactly the render of the project with
// its Width and Height set to the thumbnail's.
//
// Thread: the caller's (a background job); the snapshot is the caller's own.
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/QVGraph.h"
#include "engine/QVPass.h"
#include "engine/QVPicture.h"

class QVSnapshot;

namespace qv {

inline constexpr int32_t kThumbnailWidth = 36;
inline constexpr int32_t kThumbnailHeight = 27;

struct PictureSize {
  int32_t Width = 0;
  int32_t Height = 0;
  bool operator==(const PictureSize&) const = default;
};
/// The thumbnail size of a w x h picture (0 x 0 when either side is below 1).
PictureSize ThumbnailSize(int32_t w, int32_t h);

/// One node's picture: the node's kind and registry index, and its picture
/// (null when the node has none: an effector without a generator).
struct NodePicture {
  NodeKind Kind = NodeKind::Effector;
  int32_t Row = 0;
  QVPictureRef Picture;
};

/// Which nodes to compute: every effector and mixer, or only one.
struct NodeChoice {
  std::optional<NodeKind> Kind;  ///< empty: every effector and mixer
  int32_t Row = 0;
};

/// Computes the chosen nodes of snapshot (a detached copy: see
/// qv::FrozenCopy) at its size and appends their pictures to out, effectors
/// first, in registry order. Returns false when the pass was stopped. Throws
/// on errors (memory).
bool RenderNodePictures(QVSnapshot& snapshot, const Pass& pass, const NodeChoice& choice,
                        std::vector<NodePicture>& out);

}  // namespace qv
