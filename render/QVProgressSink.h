#pragma once
// What the render services tell their host while they work, and what they say
// when they are stopped. A host shows the progress however it likes (a
// terminal bar, a status line); the services never draw anything themselves.
#include <cstdint>
#include <functional>
#include <string>

namespace qv {

/// Receives a render's progress: done of total rows of the work named name
/// (a node, "Picture", a zoom's frames). It may be called from any thread of
/// the render, so it must be thread-safe; it must not throw.
using ProgressSink = std::function<void(const std::string& name, int64_t done, int64_t total)>;

/// What a render stopped through its stop token says.
inline constexpr const char* kStoppedMessage = "stopped; no picture was written";

}  // namespace qv
