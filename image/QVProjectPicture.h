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

/// The chunks of a PNG that carries projectText ("" : none) and was rendered
/// with supersample samples per side of each pixel: the project, then the
/// count (written with the project, so that rendering the PNG again makes the
/// same file).
std::vector<PngText> ProjectTexts(const std::string& projectText, int32_t supersample = 1);

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
/// With supersample given, a PNG's recorded sample count goes to *supersample
/// (0 for a project file or a PNG that records none; see ReadPngProject).
std::string ReadProjectOrPicture(const std::string& path, int32_t* supersample = nullptr);

/// The same for a stream open for reading (standard input, say), which is
/// read once from where it stands; fileName names it in messages.
std::string ReadProjectOrPicture(std::FILE* file, const std::string& fileName,
                                 int32_t* supersample = nullptr);

}  // namespace qv
