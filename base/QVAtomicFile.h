#pragma once
// Replacing a file all at once: the new contents go to a temporary file in the
// target's directory, which is renamed over the target only when everything
// has been written and synced. A reader therefore sees the old file or the
// new one, never a torn mixture, and a failed write leaves the old file alone.
//
// The temporary file is made without a name (O_TMPFILE) where the file system
// allows it, so that a process killed in the middle (SIGKILL, a power cut
// before the commit) leaves nothing behind: the file gets a name only once it
// is complete, linked in under a hidden name and renamed over the target at
// once (or linked straight to the target's name when there is no target yet).
// Where unnamed files are not supported (some file systems, or no /proc), it
// is a hidden file ".qvell-XXXXXXXXXXXXXXXX.tmp" from the start, removed on
// every failure the process lives through.
//
// Only a regular file is ever replaced. A target that is a symbolic link stays
// one: the kernel follows it (so its protections of links in shared
// directories apply, and a loop is an error) and the regular file it reaches
// is replaced. Every name is used relative to an open directory, so the short
// temporary name fits wherever the target's name fits.
#include <atomic>
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

struct stat;

namespace qv {

/// The message of every failed file write: cannot write "path": reason.
std::string CannotWriteMessage(const std::string& path, const std::string& reason);

/// A failed file write: the message as CannotWriteMessage gives it, and the
/// errno value when the system refused (0 otherwise).
class FileWriteError : public std::runtime_error {
 public:
  FileWriteError(const std::string& message, int err) : std::runtime_error(message), err_(err) {}
  int Errno() const { return err_; }

 private:
  int err_;
};

/// The system's text for an errno value (thread-safe, unlike strerror).
std::string SystemErrorText(int err);

/// Why path cannot be replaced by an AtomicFile ("" when nothing speaks
/// against it): it is not a regular file, a link loop, a dangerous link, a
/// missing directory. The whole message, as CannotWriteMessage gives it.
/// Lets a caller refuse before a long computation; creates nothing.
std::string ReplaceProblem(const std::string& path);
/// The same, with err set to the system's refusal (an errno value) or 0.
std::string ReplaceProblem(const std::string& path, int& err);

/// While flag is set and non-zero (an interrupt arrived), every AtomicFile
/// refuses to commit: it removes its temporary file and throws, so the target
/// stays as it was. Null disconnects it. Main thread.
void SetWriteInterrupt(const std::atomic<int>* flag);

/// A new version of one file, streamed into a temporary file beside the
/// target and renamed over it by Commit. Without Commit (an exception, an
/// early return) the destructor deletes the temporary file. Used by one
/// thread at a time; the writer owns it for the length of one write.
class AtomicFile {
 public:
  /// How the temporary file is made: without a name where the system allows
  /// it (else named), or named from the start.
  enum class Temporary { Unnamed, Named };

  /// Creates the temporary file (mode 0666 less the umask, like any new
  /// file, or the mode, owner and group of the file it will replace). Throws
  /// std::runtime_error naming path when that fails or path is not a regular
  /// file.
  explicit AtomicFile(std::string path, Temporary kind = Temporary::Unnamed);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  /// The target's path, as given.
  const std::string& Path() const { return path_; }
  /// The temporary file's name inside the target's directory while it has
  /// one; empty while it is unnamed, and once committed or discarded.
  const std::string& TemporaryName() const { return temp_name_; }
  /// True while the temporary file has no name (nothing to remove after a
  /// crash).
  bool Unnamed() const { return unnamed_; }
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
  void OpenTemporary(const struct stat* replaced, Temporary kind);
  int OpenUnnamed();
  int OpenNamed();
  void NameUnnamed();
  [[noreturn]] void Fail(int err);
  [[noreturn]] void Fail(const std::string& reason);

  std::string path_;
  int directory_ = -1;  // the directory of the file replaced (after links)
  std::string name_;    // the file's name in directory_
  bool created_ = false;  // the target was created empty through a dangling link
  std::string temp_name_;
  FILE* stream_ = nullptr;
  bool unnamed_ = false;
};

/// Replaces the file at path by bytes through an AtomicFile. Throws
/// std::runtime_error naming the file and the system's reason on failure.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace qv
