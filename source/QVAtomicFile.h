#pragma once
// Replacing a file all at once: the new contents go to a temporary file in the
// target's directory, which is renamed over the target only when everything
// has been written and synced. A reader therefore sees the old file or the
// new one, never a torn mixture, and a failed write leaves the old file alone.
// A target that is a symbolic link stays one: the file it points to is
// replaced.
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace qv {

/// The message of every failed file write: cannot write "path": reason.
std::string CannotWriteMessage(const std::string& path, const std::string& reason);

/// The system's text for an errno value (thread-safe, unlike strerror).
std::string SystemErrorText(int err);

/// A new version of one file, streamed into a temporary file beside the
/// target and renamed over it by Commit. Without Commit (an exception, an
/// early return) the destructor deletes the temporary file. Used by one
/// thread at a time; the writer owns it for the length of one write.
class AtomicFile {
 public:
  /// Creates the temporary file (mode 0666 less the umask, like any new
  /// file, or the mode of the file it will replace). Throws
  /// std::runtime_error naming path when that fails.
  explicit AtomicFile(std::string path);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  /// The target's path, as given.
  const std::string& Path() const { return path_; }
  /// The temporary file's path; empty once committed or discarded.
  const std::string& TemporaryPath() const { return temp_path_; }
  /// The open temporary file, for libraries that write to a FILE*; null once
  /// committed or discarded.
  FILE* Stream() const { return stream_; }
  /// True when a write to Stream has failed.
  bool StreamFailed() const;

  /// Appends bytes; on failure discards the temporary file and throws.
  void Write(const void* data, size_t size);
  /// Flushes, syncs and closes the temporary file and renames it over the
  /// target. On failure discards the temporary file and throws; the target is
  /// then as it was.
  void Commit();
  /// Closes and deletes the temporary file; the target is left as it was.
  void Discard() noexcept;

 private:
  [[noreturn]] void Fail(int err);

  std::string path_;
  std::string target_;  // path_ with symbolic links followed: the file replaced
  std::string temp_path_;
  FILE* stream_ = nullptr;
};

/// Replaces the file at path by bytes through an AtomicFile. Throws
/// std::runtime_error naming the file and the system's reason on failure.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace qv
