#include "image/QVProjectPicture.h"

#include <cstdio>

#include "image/QVPngReader.h"
#include "source/QVProjectFile.h"

namespace qv {

std::vector<PngText> ProjectTexts(const std::string& projectText) {
  if (projectText.empty()) return {};
  return {{kProjectKeyword, projectText}};
}

void WritePictureWithProject(const std::string& path, const QVPicture& picture,
                             PictureFormat format, const std::string& projectText,
                             int jpegQuality) {
  PictureFileOptions options;
  options.JpegQuality = jpegQuality;
  if (format == PictureFormat::Png) options.Texts = ProjectTexts(projectText);
  WritePicture(path, picture, format, options);
}

std::string ReadProjectOrPicture(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return ReadProjectFile(path);  // reports why it cannot be opened
  std::string bytes(8, '\0');
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  if (HasPngSignature(bytes)) {
    std::fclose(file);
    return ReadPngProject(path);  // the project a rendered picture carries
  }
  try {
    bytes += ReadProjectBytes(file, path);
  } catch (...) {
    std::fclose(file);
    throw;
  }
  std::fclose(file);
  return DecodeProjectBytes(bytes, path);
}

}  // namespace qv
