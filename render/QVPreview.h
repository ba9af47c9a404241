#pragma once
// A render that sharpens. The generators a render must compute fill their
// fields in four passes over the whole grid: first every 8th pixel in each
// direction (x % 8 == 0 and y % 8 == 0), then every 4th pixel not computed
// yet, then every 2nd, and last all the rest. No pixel is computed twice, and
// each is computed exactly as the plain render computes it.
//
// After each pass but the last, the effectors and mixers colour the grid of
// the pixels computed so far (a detached copy of the project at that grid's
// size), and the picture is handed on at the full size, each computed pixel's
// colour filling its block until finer ones arrive. A colour that reads
// neighbours (the differential) reads them on that grid, so a preview of it
// approximates. After the last pass the effectors and mixers run on the whole
// fields: the final picture is the plain render's bit for bit.
//
// The thread that runs the render (the render thread) calls these.
#include <cstdint>

#include "engine/QVMain.h"

namespace qv {

/// The passes' strides, coarsest first: a pass computes the pixels whose
/// coordinates are both multiples of its stride and were not computed before.
inline constexpr int32_t kPreviewStrides[] = {8, 4, 2, 1};

/// Brings snapshot's last mixer up to date, with the same result, return and
/// throws as snapshot.RunPass(pass, hostBytes), computing the generators that
/// are out of date in the passes above and handing preview the picture after
/// each pass but the last. A stop is looked at between the passes and inside
/// them (between rows, and inside long orbits). The whole picture only: with
/// a window set, or when no generator is out of date, this is the plain pass.
/// A QVPassRunner (QVMain::Render).
bool RunPreviewPasses(QVSnapshot& snapshot, const Pass& pass, int64_t hostBytes,
                      const QVPreviewSink& preview);

}  // namespace qv
