#pragma once
// The engine's names as the editor shows them: methods, their parameter
// slots, fractal types and transparence types are stored and written under
// their Japanese names (the project format), and shown in the current
// language. UI thread.
#include <QString>
#include <string>

namespace qv {

/// name (as the engine and project files spell it) in the current language.
QString DisplayName(const std::string& name);

}  // namespace qv
