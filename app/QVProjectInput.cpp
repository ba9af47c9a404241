#include "app/QVProjectInput.h"

#include <cstdio>

#include "engine/QVMain.h"
#include "image/QVPngReader.h"
#include "source/QVProjectFile.h"
#include "source/QVSourceReader.h"

namespace qv {

namespace {

// The decoded text of standard input. Throws ProjectFileError.
std::string ReadStandardInput() {
  return DecodeProjectBytes(ReadProjectBytes(stdin, kStandardInputName), kStandardInputName);
}

// The project text of a project file, or of a PNG that carries one. The file
// is opened once and its first bytes decide, so a pipe is read only once.
// Throws ProjectFileError or PngReadError.
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

}  // namespace

std::string LoadProjectInput(QVMain& main, const std::string& path) {
  const bool standardInput = path == "-";
  const std::string file = standardInput ? kStandardInputName : path;
  std::string text;
  try {
    if (standardInput) {
      text = ReadStandardInput();
    } else {
      text = ReadProjectOrPicture(path);
    }
  } catch (const ProjectFileError& e) {
    return file + ": error: " + e.what();
  } catch (const PngReadError& e) {
    return file + ": error: " + e.what();
  }
  const ReadResult result = ReadProject(main, std::move(text));
  if (result.Ok) return "";
  return file + ":" + std::to_string(result.Line) + ":" + std::to_string(result.Column) +
         ": error: " + result.Message;
}

}  // namespace qv
