#include "source/QVProjectInput.h"

#include <cstdio>

#include "base/QVScan.h"
#include "engine/QVMain.h"
#include "image/QVPngReader.h"
#include "source/QVProjectFile.h"
#include "source/QVSourceReader.h"

namespace qv {

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

std::string DisplayFileName(const std::string& path) {
  for (const char c : path) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return QuoteText(path);
  }
  return path;
}

std::string LoadProjectInput(QVMain& main, const std::string& path, std::string* warning,
                             int32_t* supersample) {
  const bool standardInput = path == "-";
  const std::string file = standardInput ? kStandardInputName : DisplayFileName(path);
  std::string text;
  try {
    text = standardInput ? ReadProjectOrPicture(stdin, kStandardInputName, supersample)
                         : ReadProjectOrPicture(path, supersample);
  } catch (const ProjectFileError& e) {
    return file + ": error: " + e.Reason();
  } catch (const PngReadError& e) {
    return file + ": error: " + e.what();
  }
  const ReadResult result = ReadProject(main, std::move(text));
  const auto where = [&](int line, int column) {
    return file + ":" + std::to_string(line) + ":" + std::to_string(column);
  };
  if (!result.Ok) return where(result.Line, result.Column) + ": error: " + result.Message;
  if (warning && !result.Warning.empty()) {
    *warning = where(result.WarningLine, result.WarningColumn) + ": warning: " + result.Warning;
  }
  return "";
}

}  // namespace qv
