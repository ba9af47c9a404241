#include "source/QVProjectFile.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <optional>

#include "base/QVAtomicFile.h"
#include "base/QVScan.h"
#include "source/QVSourceWriter.h"

namespace qv {

namespace {

constexpr const char* kShiftJis = "CP932";

// The whole of input converted between two encodings; nullopt when a byte
// sequence does not convert (or the conversion is not available).
std::optional<std::string> Convert(std::string_view input, const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  char* in = const_cast<char*>(input.data());  // iconv's signature; it does not write
  size_t inLeft = input.size();
  char buffer[4096];
  bool ok = true;
  while (ok && inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    const size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    // E2BIG: the buffer is full. Read before append, whose allocation may set
    // errno even when it succeeds (a growing block moved by another arena).
    ok = r != static_cast<size_t>(-1) || errno == E2BIG;
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
  }
  if (ok) {  // ends any shift state the output encoding has
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    ok = iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != static_cast<size_t>(-1);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
  }
  iconv_close(cd);
  if (!ok) return std::nullopt;
  return out;
}

std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

[[noreturn]] void CannotRead(const std::string& path, const std::string& reason,
                             FileProblem problem, int code = 0, int line = 0, int column = 0) {
  throw ProjectFileError("cannot read " + QuoteText(path) + ": " + reason,
                         "cannot read the file: " + reason, problem, code, line, column);
}

[[noreturn]] void CannotRead(const std::string& path, int err) {
  CannotRead(path, SystemErrorText(err), FileProblem::System, err);
}

}  // namespace

std::string DecodeProjectBytes(std::string_view bytes, const std::string& fileName) {
  std::string text;
  if (IsValidUtf8(bytes)) {
    if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
    text = NormaliseLineEnds(bytes);
  } else if (std::optional<std::string> sjis = Convert(bytes, "UTF-8", kShiftJis)) {
    text = NormaliseLineEnds(*sjis);
  } else {
    CannotRead(fileName,
               "the file is neither UTF-8 nor Shift-JIS text; save it in one of these encodings",
               FileProblem::Encoding);
  }
  if (const size_t at = ControlCharacterAt(text); at != std::string::npos) {
    int line = 0, column = 0;
    SourceText(text).LineColumn(at, line, column);
    CannotRead(fileName,
               "the text holds " + ControlCharacterProblem(text) +
                   ", which a project cannot hold; remove it",
               FileProblem::ControlCharacter, static_cast<unsigned char>(text[at]), line, column);
  }
  return text;
}

std::string EncodeProjectText(std::string_view text, ProjectEncoding encoding) {
  if (encoding == ProjectEncoding::Utf8) return NormaliseLineEnds(text);
  const std::string utf8 = WithCrLf(NormaliseLineEnds(text));
  // Shift-JIS only when it keeps every character and the reader cannot
  // mistake its bytes for different UTF-8 text.
  if (std::optional<std::string> sjis = Convert(utf8, kShiftJis, "UTF-8")) {
    const std::optional<std::string> back = Convert(*sjis, "UTF-8", kShiftJis);
    if (back && *back == utf8 && (*sjis == utf8 || !IsValidUtf8(*sjis))) return *sjis;
  }
  throw ProjectFileError(
      "the project holds characters that Shift-JIS cannot keep; save it as UTF-8", "",
      FileProblem::Encoding);
}

std::string ReadProjectBytes(std::FILE* file, const std::string& fileName, std::string head) {
  std::string bytes = std::move(head);
  char buffer[65536];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    if (bytes.size() > kMaxProjectBytes || n > kMaxProjectBytes - bytes.size()) {
      CannotRead(fileName,
                 "it is larger than " + std::to_string(kMaxProjectBytes >> 20) +
                     " MiB, too large for a project file",
                 FileProblem::TooLarge, static_cast<int>(kMaxProjectBytes >> 20));
    }
    bytes.append(buffer, n);
  }
  if (std::ferror(file)) CannotRead(fileName, errno);
  return bytes;
}

std::string ReadProjectFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) CannotRead(path, errno);
  std::string bytes;
  try {
    bytes = ReadProjectBytes(file, path);
  } catch (...) {
    std::fclose(file);
    throw;
  }
  std::fclose(file);
  return DecodeProjectBytes(bytes, path);
}

void WriteProjectFile(const std::string& path, std::string_view text, ProjectEncoding encoding) {
  std::string bytes;
  try {
    bytes = EncodeProjectText(text, encoding);
  } catch (const ProjectFileError& e) {  // nothing is written: the old file stays
    throw ProjectFileError("cannot write " + QuoteText(path) + ": " + e.what(), e.what(),
                           e.Problem());
  }
  try {
    WriteFileAtomically(path, bytes);
  } catch (const ProjectFileError&) {
    throw;
  } catch (const FileWriteError& e) {  // already names the file and the reason
    throw ProjectFileError(e.what(), "", e.Errno() ? FileProblem::System : FileProblem::Other,
                           e.Errno());
  } catch (const std::runtime_error& e) {
    throw ProjectFileError(e.what());  // already names the file and the reason
  }
}

ReadResult LoadProjectFile(QVMain& main, const std::string& path) {
  return ReadProject(main, ReadProjectFile(path));
}

void SaveProjectFile(const QVMain& main, const std::string& path, ProjectEncoding encoding) {
  WriteProjectFile(path, WriteProject(main), encoding);
}

}  // namespace qv
