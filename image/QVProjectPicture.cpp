#include "image/QVProjectPicture.h"


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

}  // namespace qv
