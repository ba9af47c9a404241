#include "image/QVProjectPicture.h"

#include <cstdio>

#include "image/QVPngReader.h"
#include "source/QVProjectFile.h"

namespace qv {

std::vector<PngText> ProjectTexts(const std::string& projectText, int32_t supersample) {
  if (projectText.empty()) return {};
  return {{kProjectKeyword, projectText}, {kSupersampleKeyword, std::to_string(supersample)}};
}

void WritePictureWithProject(const std::string& path, const QVPicture& picture,
                             PictureFormat format, const std::string& projectText,
                             int jpegQuality) {
  PictureFileOptions options;
  options.JpegQuality = jpegQuality;
  if (format == PictureFormat::Png) options.Texts = ProjectTexts(projectText);
  WritePicture(path, picture, format, options);
}

std::string ReadProjectOrPicture(const std::string& path, int32_t* supersample) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (supersample) *supersample = 0;
  if (!file) return ReadProjectFile(path);  // reports why it cannot be opened
  try {
    std::string text = ReadProjectOrPicture(file, path, supersample);
    std::fclose(file);
    return text;
  } catch (...) {
    std::fclose(file);
    throw;
  }
}

std::string ReadProjectOrPicture(std::FILE* file, const std::string& fileName,
                                 int32_t* supersample) {
  if (supersample) *supersample = 0;
  std::string head(8, '\0');
  head.resize(std::fread(head.data(), 1, head.size(), file));
  if (HasPngSignature(head)) return ReadPngProject(file, supersample);  // the project a rendered picture carries
  return DecodeProjectBytes(ReadProjectBytes(file, fileName, std::move(head)), fileName);
}

}  // namespace qv
