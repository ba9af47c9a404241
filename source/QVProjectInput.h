#pragma once
// The project a command or the editor reads: a project file (UTF-8 with or
// without a byte order mark, or Shift-JIS, any line ends), or a PNG picture
// that carries its project (image/QVProjectPicture.h writes one); for the
// command line, "-" is either of them on standard input. Loading replaces the
// engine's project; a failure leaves the project as it was and comes back as
// the one line the command line prints for it. Main or UI thread.
#include <cstdint>
#include <cstdio>
#include <string>

class QVMain;

namespace qv {

/// The project text of the file at path: a project file, or a PNG that
/// carries its project. The file is opened once and its first bytes decide,
/// so a pipe is read only once. Throws ProjectFileError (the message names the
/// file) or PngReadError (the caller names the file).
/// With supersample given, a PNG's recorded sample count goes to *supersample
/// (0 for a project file or a PNG that records none; see ReadPngProject).
std::string ReadProjectOrPicture(const std::string& path, int32_t* supersample = nullptr);

/// The same for a stream open for reading (standard input, say), which is
/// read once from where it stands; fileName names it in messages.
std::string ReadProjectOrPicture(std::FILE* file, const std::string& fileName,
                                 int32_t* supersample = nullptr);

/// The file name messages use for standard input.
inline constexpr const char* kStandardInputName = "<stdin>";

/// Reads the project at path ("-" for standard input) into main. Returns ""
/// on success, else one line without line end:
///   FILE:LINE:COLUMN: error: MESSAGE  for a text that does not read;
///   FILE: error: MESSAGE              for a file that cannot be read or decoded.
/// FILE is DisplayFileName(path), or kStandardInputName. A text that reads but
/// has text after its last block sets *warning (when given) to the line
///   FILE:LINE:COLUMN: warning: text after the last block is ignored
/// With supersample given, the sample count a PNG input records goes to
/// *supersample (0 when it records none).
std::string LoadProjectInput(QVMain& main, const std::string& path, std::string* warning = nullptr,
                             int32_t* supersample = nullptr);

/// path as given, or quoted with its control characters shown as \xHH when
/// it has any, so that a message stays one line.
std::string DisplayFileName(const std::string& path);

}  // namespace qv
