#include "render/QVZoomFrames.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "engine/QVMain.h"
#include "source/QVSourceReader.h"
#include "source/QVSourceWriter.h"

namespace qv {

// The scale's steps are taken in logarithms, so that a zoom across any range
// of doubles (1e300 to 1e-300) neither overflows nor underflows; with
// L = log(scale / s0) and t = k / (n - 1), s = s0 e^(L t) and the centre's
// fraction of the way is (1 - e^(L t)) / (1 - e^L), evaluated without
// overflow for either sign of L.
ZoomView ZoomFrameView(const ZoomPath& path, int k) {
  if (k == path.Frames - 1) return {path.To, path.ToScale};
  if (k == 0) return {path.From, path.FromScale};
  const double s0 = path.FromScale, scale = path.ToScale;
  const double t = static_cast<double>(k) / (path.Frames - 1);
  const double L = std::log(scale) - std::log(s0);
  double f = t;  // the scale stays: a plain linear move
  if (L < 0) {
    f = std::expm1(L * t) / std::expm1(L);
  } else if (L > 0) {  // the same fraction, divided through by e^L
    f = std::exp(L * (t - 1)) * (std::expm1(-L * t) / std::expm1(-L));
  }
  const QVComplex v0 = path.From, to = path.To;
  return {{v0.re + (to.re - v0.re) * f, v0.im + (to.im - v0.im) * f},
          std::clamp(std::exp(std::log(s0) + L * t), std::min(s0, scale), std::max(s0, scale))};
}

std::string LoadZoomFrame(QVMain& main, const ZoomPath& path, int k) {
  const ZoomView view = ZoomFrameView(path, k);
  main.Parameter.ChangeViewpoint(view.Viewpoint);
  main.Parameter.ChangeScale(view.Scale);
  std::string text = WriteProject(main);
  // The values the text gives, exactly as a reader of it gets them.
  if (const ReadResult read = ReadProject(main, text); !read.Ok) {
    throw std::runtime_error("frame " + std::to_string(k) + "'s project does not read back (" +
                             read.Describe() + ")");
  }
  return text;
}

}  // namespace qv
