#pragma once
// A render without a window. The command line is the engine's host here: the
// render runs on QVMain's render thread, its hooks and its drawing run in
// place there (QVInlinePoster), and the calling thread only waits. While it
// waits it polls the engine's progress record every 100 ms for an optional
// progress bar and watches for an interrupt (SIGINT, SIGTERM), which stops
// the render within one row. Main thread.
#include <string>

#include "engine/QVPicture.h"

class QVMain;

namespace qv {

class QVProgressBar;

/// Renders main's last mixer, exactly as the engine renders it for the
/// viewer, and sets picture to the picture the engine hands to its canvas.
/// bar, when given, shows the progress and, on success, the closing line.
/// Returns "" on success, else what went wrong (the engine's error, an
/// interrupt, or no picture at all); picture is then null.
std::string RenderHeadless(QVMain& main, QVProgressBar* bar, QVPictureRef& picture);

}  // namespace qv
