#pragma once
// The editor's general error handling: a handler's exception is caught where
// the handler is connected and shown in a message box titled "Q-Vell"; the
// program goes on. Tests replace the box by a recorder. UI thread.
#include <exception>
#include <functional>
#include <new>
#include <string>

class QWidget;

namespace qv {

using ErrorSink = std::function<void(QWidget* parent, const std::string& message)>;

/// Replaces how errors are shown (an empty sink restores the message box).
/// Returns the previous sink.
ErrorSink SetErrorSink(ErrorSink sink);

/// Shows message in a modal message box titled "Q-Vell" (or the sink).
void ShowError(QWidget* parent, const std::string& message);

/// The messages for a failure that carries no text of its own, in the
/// current language.
std::string OutOfMemoryText();
std::string UnknownErrorText();

/// Runs handler; any exception it throws is shown and goes no further.
template <typename Handler>
void Guarded(QWidget* parent, Handler&& handler) noexcept {
  try {
    try {
      handler();
    } catch (const std::bad_alloc&) {
      ShowError(parent, OutOfMemoryText());
    } catch (const std::exception& e) {
      ShowError(parent, e.what());
    } catch (...) {
      ShowError(parent, UnknownErrorText());
    }
  } catch (...) {
    // Showing the error failed too (no memory left for the box): nothing more to do.
  }
}

}  // namespace qv
