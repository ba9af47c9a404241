#pragma once
// The frames of a movie that zooms from a project's view to another centre and
// scale. The scale changes geometrically from frame to frame,
// s_k = s_0 (S / s_0)^(k / (N - 1)) (taken in logarithms), and the centre moves
// in step with the scale's change, by the fraction (s_0 - s_k) / (s_0 - S) of
// the way (a plain linear move when the scale stays), so the motion on screen
// is smooth however deep the zoom. A frame whose scale needs more digits than
// doubles hold (QVParameter::WritesAllDigits) takes its centre from the
// precise ends, in MPFR, rounded to ten digits below the frame's scale. Each
// frame's project is its text, written
// and read back, so frame K is bit for bit what a render of that printed
// project makes. The thread that owns the project calls these.
#include <optional>
#include <string>

#include "base/QVComplex.h"
#include "base/QVDecimal.h"

class QVMain;

namespace qv {

/// A zoom of Frames frames (at least 2) from (From, FromScale) to (To, ToScale);
/// both scales above 0 and finite. PreciseFrom and PreciseTo are the ends with
/// every digit; empty, they are From and To.
struct ZoomPath {
  QVComplex From;
  double FromScale = 1;
  QVComplex To;
  double ToScale = 1;
  int Frames = 2;
  std::optional<DecimalComplex> PreciseFrom = std::nullopt;
  std::optional<DecimalComplex> PreciseTo = std::nullopt;
};

/// The viewpoint and scale of one frame.
struct ZoomView {
  QVComplex Viewpoint;
  double Scale = 1;
};

/// The view of frame k (0 to path.Frames - 1): the first frame is path's
/// start and the last its end exactly.
ZoomView ZoomFrameView(const ZoomPath& path, int k);
/// The centre of frame k with the digits its scale needs, from the precise
/// ends in MPFR: To - (To - From) (s_k - S) / (s_0 - S), s_k the frame's scale.
DecimalComplex PreciseZoomCentre(const ZoomPath& path, int k);

/// Sets main's view to frame k's, through the project's text as a reader of
/// it gets it, and returns that text. Throws std::runtime_error when the text
/// does not read back.
std::string LoadZoomFrame(QVMain& main, const ZoomPath& path, int k);

}  // namespace qv
