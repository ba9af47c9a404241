#pragma once
// A render without a window. The caller is the engine's host here: the render
// runs on QVMain's render thread, its hooks and its drawing run in place there
// (QVInlinePoster), and the calling thread only waits. While it waits it reads
// the engine's progress record every 100 ms for the progress sink, and a stop
// request wakes it at once, which stops the render within milliseconds. The
// thread that owns main calls it.
#include <stop_token>
#include <string>

#include "engine/QVMain.h"
#include "engine/QVPicture.h"
#include "render/QVProgressSink.h"

namespace qv {

/// Renders main's last mixer, exactly as the engine renders it for the
/// viewer, and sets picture to the picture the engine hands to its canvas.
/// progress, when set, gets the rows of the node being computed (node name,
/// rows done, its height) from the calling thread, every 100 ms and once at
/// the end of a successful render. Returns "" on success, else what went
/// wrong (the engine's error, kStoppedMessage once stop is requested, or no
/// picture at all); picture is then null.
std::string RenderHeadless(QVMain& main, std::stop_token stop, const ProgressSink& progress,
                           QVPictureRef& picture);

}  // namespace qv
