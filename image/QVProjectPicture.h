#pragma once
// Pictures that carry their project: the project text goes into a PNG's
// "Q-Vell project" chunk when the picture is saved, and reading a project
// accepts such a PNG wherever it accepts a project file. Shared by the command
// line and the editor (its save, its load and a drop on a window). UI or main
// thread.
#include <cstdio>
#include <string>
#include <vector>

#include "engine/QVPicture.h"
#include "image/QVPictureStream.h"

namespace qv {

/// The chunks of a PNG that carries projectText ("" : none).
std::vector<PngText> ProjectTexts(const std::string& projectText);

/// Writes picture to path in format; a PNG carries projectText unless it is
/// empty. Throws std::runtime_error naming the file (the old file is then
/// unchanged).
void WritePictureWithProject(const std::string& path, const QVPicture& picture,
                             PictureFormat format, const std::string& projectText,
                             int jpegQuality = 75);

/// The project text of the file at path: a project file (UTF-8 or Shift-JIS,
/// any line ends), or a PNG that carries its project. The file is opened once
/// and its first bytes decide, so a pipe is read only once. Throws
/// ProjectFileError (the message names the file) or PngReadError (the caller
/// names the file).
std::string ReadProjectOrPicture(const std::string& path);

/// The same for a stream open for reading (standard input, say), which is
/// read once from where it stands; fileName names it in messages.
std::string ReadProjectOrPicture(std::FILE* file, const std::string& fileName);

}  // namespace qv
