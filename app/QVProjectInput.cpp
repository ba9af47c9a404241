#include "app/QVProjectInput.h"

#include <cerrno>
#include <cstdio>

#include "engine/QVMain.h"
#include "source/QVAtomicFile.h"
#include "source/QVProjectFile.h"
#include "source/QVSourceReader.h"

namespace qv {

namespace {

// The decoded text of standard input. Throws ProjectFileError.
std::string ReadStandardInput() {
  std::string bytes;
  char buffer[65536];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) bytes.append(buffer, n);
  if (std::ferror(stdin)) {
    throw ProjectFileError(std::string("cannot read standard input: ") + SystemErrorText(errno));
  }
  return DecodeProjectBytes(bytes, kStandardInputName);
}

}  // namespace

std::string LoadProjectInput(QVMain& main, const std::string& path) {
  const bool standardInput = path == "-";
  const std::string file = standardInput ? kStandardInputName : path;
  std::string text;
  try {
    text = standardInput ? ReadStandardInput() : ReadProjectFile(path);
  } catch (const ProjectFileError& e) {
    return file + ": error: " + e.what();
  }
  const ReadResult result = ReadProject(main, std::move(text));
  if (result.Ok) return "";
  return file + ":" + std::to_string(result.Line) + ":" + std::to_string(result.Column) +
         ": error: " + result.Message;
}

}  // namespace qv
