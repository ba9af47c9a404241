#pragma once
// The one place where text crosses between the engine (std::string, UTF-8)
// and Qt (QString). Every widget text goes through these two functions.
#include <QString>
#include <string>
#include <string_view>

namespace qv {

/// UTF-8 text as a QString.
QString ToQString(std::string_view text);
/// A QString as UTF-8 text.
std::string FromQString(const QString& text);

}  // namespace qv
