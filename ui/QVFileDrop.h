#pragma once
// Dropping a project on a window: a drag is taken when it carries exactly one
// local file (a project file, or a PNG that carries its project); the window
// then loads it as the load button does, once the drop has ended (a message
// box shown inside the drop would hold the application the file came from).
// UI thread.
#include <functional>
#include <string>

class QEvent;
class QMimeData;
class QWidget;

namespace qv {

/// The local file data carries when it carries exactly one URL and that URL
/// names a local file; "" otherwise.
std::string DroppedFile(const QMimeData& data);

/// Takes a drag enter, drag move or drop event that carries one local file
/// (true): accepts it and, for the drop, queues load(path) on window's event
/// loop, its exceptions shown over window. Returns false for any other event.
bool TakeFileDrop(QWidget* window, QEvent* event,
                  const std::function<void(const std::string& path)>& load);

}  // namespace qv
