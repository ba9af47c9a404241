#pragma once
// What the three node editor windows share: a top-level window with its
// frame above a status line that repeats the message of a marked box, and
// the release that runs before the node graph is replaced: every control's
// signals blocked while the frame's node reference is cleared, then hidden,
// so that no handler (a commit on focus-out among them) can reach a destroyed
// node. UI thread.
#include <QWidget>
#include <functional>

class QVStatusLine;

namespace qv {

/// Lays out frame above a new status line in window; returns the status line.
QVStatusLine* LayOutEditor(QWidget* window, QWidget* frame);

/// Clears a frame's node reference with every signal of window and its
/// children blocked, then hides window.
void ReleaseEditor(QWidget* window, const std::function<void()>& clear);

}  // namespace qv
