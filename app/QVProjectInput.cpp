#include "app/QVProjectInput.h"

#include <cstdio>

#include "engine/QVMain.h"
#include "image/QVPngReader.h"
#include "image/QVProjectPicture.h"
#include "source/QVProjectFile.h"
#include "source/QVSourceReader.h"

namespace qv {

namespace {

// The decoded text of standard input. Throws ProjectFileError.
std::string ReadStandardInput() {
  return DecodeProjectBytes(ReadProjectBytes(stdin, kStandardInputName), kStandardInputName);
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
