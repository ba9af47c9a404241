#include "render/QVNodePictures.h"

#include <algorithm>
#include <type_traits>

#include "engine/QVEffector.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "engine/QVSnapshot.h"

namespace qv {

namespace {

int32_t RoundedRatio(int64_t num, int64_t den) {
  return static_cast<int32_t>(std::max<int64_t>(1, (2 * num + den) / (2 * den)));
}

bool Chosen(const NodeChoice& choice, NodeKind kind, size_t row) {
  return !choice.Kind || (*choice.Kind == kind && static_cast<size_t>(choice.Row) == row);
}

}  // namespace

PictureSize ThumbnailSize(int32_t w, int32_t h) {
  if (w < 1 || h < 1) return {};
  const int64_t W = w, H = h;
  if (W * kThumbnailHeight >= H * kThumbnailWidth) {
    return {kThumbnailWidth, RoundedRatio(H * kThumbnailWidth, W)};
  }
  return {RoundedRatio(W * kThumbnailHeight, H), kThumbnailHeight};
}

bool RenderNodePictures(QVSnapshot& snapshot, const Pass& pass, const NodeChoice& choice,
                        std::vector<NodePicture>& out) {
  QVNodeGraph& graph = snapshot.ComputedGraph();
  const int64_t required = RequiredBytes(snapshot.Parameter(), graph, pass.WorkerCount(), 0);
  if (required > AvailableMemory()) {
    throw MemoryRefusal(MemoryMessage(snapshot.Parameter(), required));
  }
  const auto take = [&](NodeKind kind, size_t row, auto* node) {
    if (!node->Update(pass) || pass.StopRequested()) return false;
    int32_t w = 0, h = 0;
    if constexpr (std::is_same_v<decltype(node), QVEffector*>) {
      node->ComputedSize(w, h);
    } else {
      node->PictureSize(w, h);
    }
    QVPictureRef picture = w > 0 && h > 0 ? PictureOf(node->RGBField) : nullptr;
    out.push_back({kind, static_cast<int32_t>(row), std::move(picture)});
    return true;
  };
  for (size_t i = 0; i < graph.Effectors.size(); ++i) {
    if (Chosen(choice, NodeKind::Effector, i) && !take(NodeKind::Effector, i, graph.Effectors[i])) {
      return false;
    }
  }
  for (size_t i = 0; i < graph.Mixers.size(); ++i) {
    if (Chosen(choice, NodeKind::Mixer, i) && !take(NodeKind::Mixer, i, graph.Mixers[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace qv
