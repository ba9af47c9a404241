#pragma once
// A render without a window. The command line is the engine's host here: the
// render runs on QVMain's render thread, its hooks and its drawing run in
// place there (QVInlinePoster), and the calling thread only waits. While it
// waits it polls the engine's progress record every 100 ms for an optional
// progress bar and watches for an interrupt (SIGINT, SIGTERM), which stops
// the render within one row. Main thread.
#include <cstdint>
#include <string>
#include <vector>

class QVMain;

namespace qv {

class QVProgressBar;

/// A finished picture: packed colours red | green << 8 | blue << 16,
/// row-major, row 0 at the top.
struct RenderedPicture {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<int32_t> Pixels;
};

/// Renders main's last mixer, exactly as the engine renders it for the
/// viewer, into picture. bar, when given, shows the progress (the caller
/// writes the closing line once the picture is saved). Returns "" on success, else what went wrong
/// (the engine's error, an interrupt, or no picture at all); picture is then incomplete and must
/// not be used.
std::string RenderHeadless(QVMain& main, QVProgressBar* bar, RenderedPicture& picture);

}  // namespace qv
