#pragma once
// Pictures that carry their project: the project text goes into a PNG's
// "Q-Vell project" chunk when the picture is saved, and reading a project
// accepts such a PNG wherever it accepts a project file (ReadProjectOrPicture,
// source/QVProjectInput.h). Shared by the command line and the editor (its
// save). UI or main thread.
#include <cstdint>
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

}  // namespace qv
