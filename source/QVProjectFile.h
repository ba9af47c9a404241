#pragma once
// Project files (".qvl"): the project text on disk. Reading accepts UTF-8 with
// or without a byte order mark and Shift-JIS (code page 932), told apart
// automatically, with LF, CR LF or CR line ends. Writing uses UTF-8 with LF
// line ends, as `qvell print` does, or on request Shift-JIS with CR LF for
// older files, and replaces the file atomically. UI thread.
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/QVProjectText.h"
#include "source/QVSourceReader.h"

class QVMain;

namespace qv {

/// Why a project file could not be read, for a caller that words it itself.
enum class FileProblem {
  Other,             ///< see the message
  System,            ///< opening, reading or writing failed: Code() is the errno value
  TooLarge,          ///< over kMaxProjectBytes: Code() is the limit in MiB
  Encoding,          ///< neither UTF-8 nor Shift-JIS
  ControlCharacter,  ///< Code() is the byte, at Line() and Column()
};

/// A project file that cannot be read or written; the message names the file
/// and the reason, Reason() gives the reason alone (for a caller that names
/// the file itself, as in "FILE: error: REASON"); Problem() and its details
/// say the same as data.
class ProjectFileError : public std::runtime_error {
 public:
  explicit ProjectFileError(const std::string& message, std::string reason = "",
                            FileProblem problem = FileProblem::Other, int code = 0, int line = 0,
                            int column = 0)
      : std::runtime_error(message),
        reason_(reason.empty() ? message : std::move(reason)),
        problem_(problem),
        code_(code),
        line_(line),
        column_(column) {}
  const std::string& Reason() const { return reason_; }
  FileProblem Problem() const { return problem_; }
  int Code() const { return code_; }
  int Line() const { return line_; }
  int Column() const { return column_; }

 private:
  std::string reason_;
  FileProblem problem_;
  int code_, line_, column_;
};

/// The text of a file's bytes as UTF-8 with LF line ends: UTF-8 (a leading
/// byte order mark is dropped) when the bytes are valid UTF-8, else Shift-JIS.
/// Throws ProjectFileError naming fileName when they are neither, or when the
/// text holds a control character (see ControlCharacterProblem).
std::string DecodeProjectBytes(std::string_view bytes, const std::string& fileName);

/// How a project file is written.
enum class ProjectEncoding {
  Utf8,      ///< UTF-8 without a byte order mark, LF line ends
  ShiftJis,  ///< Shift-JIS (code page 932), CR LF line ends, for older files
};

/// The bytes of a file for text in encoding. Throws ProjectFileError (problem
/// Encoding) when Shift-JIS is asked for and a character does not convert
/// there and back unchanged, or its bytes would read back as other UTF-8 text.
std::string EncodeProjectText(std::string_view text,
                              ProjectEncoding encoding = ProjectEncoding::Utf8);

/// head (bytes already read from file) and the rest of the file, read to its
/// end. Throws ProjectFileError naming fileName when reading fails or there
/// are over kMaxProjectBytes in all.
std::string ReadProjectBytes(std::FILE* file, const std::string& fileName, std::string head = {});

/// The decoded text of a project file. Throws ProjectFileError.
std::string ReadProjectFile(const std::string& path);

/// Writes text to path as EncodeProjectText gives it, atomically: a failed
/// write leaves the old file intact. Throws ProjectFileError.
void WriteProjectFile(const std::string& path, std::string_view text,
                      ProjectEncoding encoding = ProjectEncoding::Utf8);

/// Replaces main's project by the one in the file. A file that cannot be read
/// throws ProjectFileError; a text that does not read is reported in the
/// result. Either way a failure leaves the current project untouched.
ReadResult LoadProjectFile(QVMain& main, const std::string& path);

/// Writes main's project to path. Throws ProjectFileError.
void SaveProjectFile(const QVMain& main, const std::string& path,
                     ProjectEncoding encoding = ProjectEncoding::Utf8);

}  // namespace qv
