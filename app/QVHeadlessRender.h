#pragma once
// A render without a window. The command line is the engine's host here: the
// render runs on QVMain's render thread, its hooks and its drawing run in
// place there (QVInlinePoster), and the calling thread only waits. While it
// waits it polls the engine's progress record every 100 ms for an optional
// progress display and looks every 20 ms for an interrupt (SIGINT, SIGTERM),
// which stops the render within milliseconds. Main thread.
#include <functional>
#include <string>

#include "engine/QVMain.h"
#include "engine/QVPicture.h"

namespace qv {

/// Called on the waiting thread every 100 ms and once at the end of a
/// successful render, with the engine's progress and the seconds since the
/// render started.
using RenderPoll = std::function<void(const QVProgress::Snapshot& snapshot, double seconds)>;

/// Renders main's last mixer, exactly as the engine renders it for the
/// viewer, and sets picture to the picture the engine hands to its canvas.
/// poll, when set, follows the progress. Returns "" on success, else what
/// went wrong (the engine's error, an interrupt, or no picture at all);
/// picture is then null.
std::string RenderHeadless(QVMain& main, const RenderPoll& poll, QVPictureRef& picture);

}  // namespace qv
