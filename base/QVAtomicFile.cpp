#include "base/QVAtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstring>
#include <random>
#include <stdexcept>
#include <utility>

#include "base/QVScan.h"

namespace qv {
namespace {

// strerror_r comes in a GNU form (returns the text) and an XSI form (fills the
// buffer, returns 0); these overloads accept whichever the library declares.
[[maybe_unused]] const char* ErrorText(int result, const char* buffer) {
  return result == 0 ? buffer : nullptr;
}
[[maybe_unused]] const char* ErrorText(const char* result, const char*) { return result; }

// Why a target cannot be replaced; turned into the whole message by the caller.
class ReplaceError : public std::runtime_error {
 public:
  explicit ReplaceError(const std::string& reason, int err = 0)
      : std::runtime_error(reason), err_(err) {}
  /// The system's refusal itself (an errno value), or 0.
  static ReplaceError System(int err) { return ReplaceError(SystemErrorText(err), err); }
  int Errno() const { return err_; }

 private:
  int err_;
};

// Owns one file descriptor.
class UniqueFd {
 public:
  explicit UniqueFd(int fd = -1) : fd_(fd) {}
  ~UniqueFd() {
    if (fd_ >= 0) close(fd_);
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  int Get() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// The directory part of a path ("." when there is none) and its last name.
void SplitPath(const std::string& path, std::string& directory, std::string& name) {
  const size_t slash = path.rfind('/');
  directory = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  name = slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a directory";
  if (S_ISFIFO(mode)) return "a named pipe (FIFO)";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

[[noreturn]] void NotRegular(mode_t mode) {
  throw ReplaceError("it is " + KindOf(mode) +
                         ", not a regular file, and only a regular file is replaced; "
                         "choose a file name",
                     S_ISDIR(mode) ? EISDIR : 0);
}

// Opens a directory for the *at calls (readable when it can be, so that it can
// also be synced). Throws ReplaceError.
int OpenDirectory(const std::string& directory) {
  int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0 && errno == EACCES) fd = open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) throw ReplaceError::System(errno);
  return fd;
}

// The kernel's link to an open descriptor: it tells the name a file was
// reached by, and links an unnamed file into a directory (linkat with
// AT_EMPTY_PATH would need a privilege).
std::string ProcPathOf(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// The name under which the kernel reached the open file fd, after it followed
// every link on the way; the kernel keeps it for each descriptor.
std::string KernelPathOf(int fd) {
  const std::string link = ProcPathOf(fd);
  std::string buffer(4096, '\0');
  const ssize_t n = readlink(link.c_str(), buffer.data(), buffer.size());
  if (n <= 0 || static_cast<size_t>(n) >= buffer.size() || buffer[0] != '/') {
    throw ReplaceError("it is a symbolic link, and the system does not tell where it leads");
  }
  buffer.resize(static_cast<size_t>(n));
  return buffer;
}

// The file the kernel opens for path, following links itself: O_PATH needs no
// permission on the file and never blocks on a FIFO or a device. With create,
// a link to a missing file creates that file (empty), as writing through the
// link would. Returns -1 when path names no file. Throws ReplaceError.
int OpenThroughLinks(const std::string& path, bool create, bool& created) {
  created = false;
  const int fd = open(path.c_str(), O_PATH | O_CLOEXEC);
  if (fd >= 0) return fd;
  const int err = errno;
  if (err == ELOOP) throw ReplaceError("it is a symbolic link that loops (" + SystemErrorText(err) + ")");
  if (err != ENOENT) throw ReplaceError::System(err);
  struct stat link {};
  if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return -1;
  if (!create) return -1;
  const int made = open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  if (made < 0) throw ReplaceError::System(errno);
  created = true;
  return made;
}

// Where the new file goes: the directory that holds the target once links are
// followed, the name in it, and the target's status when it exists.
struct Destination {
  int Directory = -1;
  std::string Name;
  bool Exists = false;
  bool Created = false;
  struct stat Info {};
};

// Resolves path as the kernel does. Throws ReplaceError.
Destination Resolve(const std::string& path, bool create) {
  Destination d;
  std::string directory;
  SplitPath(path, directory, d.Name);
  if (d.Name.empty() || d.Name == "." || d.Name == "..") NotRegular(S_IFDIR);
  UniqueFd file(OpenThroughLinks(path, create, d.Created));
  if (file.Get() < 0) {
    d.Directory = OpenDirectory(directory);
    return d;
  }
  if (fstat(file.Get(), &d.Info) != 0) throw ReplaceError::System(errno);
  if (!S_ISREG(d.Info.st_mode)) NotRegular(d.Info.st_mode);
  struct stat named {};
  if (lstat(path.c_str(), &named) == 0 && S_ISLNK(named.st_mode)) {
    SplitPath(KernelPathOf(file.Get()), directory, d.Name);
  }
  UniqueFd held(OpenDirectory(directory));
  struct stat check {};
  if (fstatat(held.Get(), d.Name.c_str(), &check, AT_SYMLINK_NOFOLLOW) != 0 ||
      check.st_dev != d.Info.st_dev || check.st_ino != d.Info.st_ino) {
    throw ReplaceError("the file changed while it was being opened; try again");
  }
  d.Exists = true;
  d.Directory = held.Release();
  return d;
}

// A short hidden name beside the target: the same directory, so renaming
// never crosses file systems, and short, so it fits wherever the target fits.
std::string TemporaryNameFor() {
  thread_local std::mt19937_64 random{std::random_device{}()};
  char name[32];
  std::snprintf(name, sizeof name, ".qvell-%016" PRIx64 ".tmp", static_cast<uint64_t>(random()));
  return name;
}

// Gives the new file the owner, group and permissions of the file it replaces
// (a private file stays private). Changing the owner needs privilege: only
// root can, and only root must (a user replacing a file of someone else in
// their own directory becomes its owner, as with any new file).
std::string KeepOwnerAndMode(int fd, const struct stat& old) {
  struct stat now {};
  if (fstat(fd, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid)) {
    if (fchown(fd, old.st_uid, old.st_gid) != 0 && geteuid() == 0) {
      return "cannot keep the owner of the file it replaces: " + SystemErrorText(errno);
    }
  }
  if (fchmod(fd, old.st_mode & 07777) != 0) {
    return "cannot keep the permissions of the file it replaces: " + SystemErrorText(errno);
  }
  return "";
}

std::atomic<const std::atomic<int>*> writeInterrupt{nullptr};

bool WriteInterrupted() {
  const std::atomic<int>* flag = writeInterrupt.load();
  return flag && flag->load() != 0;
}

}  // namespace

void SetWriteInterrupt(const std::atomic<int>* flag) { writeInterrupt.store(flag); }

std::string CannotWriteMessage(const std::string& path, const std::string& reason) {
  return "cannot write " + QuoteText(path) + ": " + reason;
}

std::string SystemErrorText(int err) {
  char buffer[256] = {};
  const char* text = ErrorText(strerror_r(err, buffer, sizeof buffer), buffer);
  return text ? std::string(text) : "system error " + std::to_string(err);
}

std::string ReplaceProblem(const std::string& path, int& err) {
  err = 0;
  try {
    const Destination d = Resolve(path, false);
    UniqueFd directory(d.Directory);
    if (faccessat(directory.Get(), ".", W_OK | X_OK, 0) != 0) {
      err = errno;
      return CannotWriteMessage(path, SystemErrorText(err));
    }
    return "";
  } catch (const ReplaceError& e) {
    err = e.Errno();
    return CannotWriteMessage(path, e.what());
  }
}

std::string ReplaceProblem(const std::string& path) {
  int err = 0;
  return ReplaceProblem(path, err);
}

AtomicFile::AtomicFile(std::string path, Temporary kind) : path_(std::move(path)) {
  Destination d;
  try {
    d = Resolve(path_, true);
  } catch (const ReplaceError& e) {
    throw FileWriteError(CannotWriteMessage(path_, e.what()), e.Errno());
  }
  directory_ = d.Directory;
  name_ = d.Name;
  created_ = d.Created;
  try {
    OpenTemporary(d.Exists && !d.Created ? &d.Info : nullptr, kind);
  } catch (...) {
    close(directory_);  // the destructor does not run for a failed constructor
    throw;
  }
}

// An unnamed file in the directory, or -1 where the file system or the
// missing /proc (through which it gets its name) does not allow one.
int AtomicFile::OpenUnnamed() {
  const int fd = openat(directory_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) return -1;  // EOPNOTSUPP, EISDIR, EINVAL...: the named file says why, if it fails too
  struct stat proc {};
  if (stat(ProcPathOf(fd).c_str(), &proc) != 0) {
    close(fd);
    return -1;
  }
  unnamed_ = true;
  return fd;
}

// A new hidden file beside the target. open() with O_EXCL and mode 0666 gives
// the file exactly the permissions (umask, default ACLs) of any newly created
// file, which mkstemp's fixed 0600 would not without reading the process-wide
// umask. Fails (and throws) as the system says.
int AtomicFile::OpenNamed() {
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp_name_ = TemporaryNameFor();
    fd = openat(directory_, temp_name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    const int err = errno;
    temp_name_.clear();
    Fail(err);
  }
  return fd;
}

void AtomicFile::OpenTemporary(const struct stat* replaced, Temporary kind) {
  int fd = kind == Temporary::Unnamed ? OpenUnnamed() : -1;
  if (fd < 0) fd = OpenNamed();
  if (replaced) {
    if (std::string problem = KeepOwnerAndMode(fd, *replaced); !problem.empty()) {
      close(fd);
      unnamed_ = false;
      Fail(problem);
    }
  }
  stream_ = fdopen(fd, "wb");
  if (!stream_) {
    const int err = errno;
    close(fd);
    unnamed_ = false;
    Fail(err);
  }
}

// Gives the complete unnamed file its name: the target's, when there is no
// target (a link cannot replace a file), else a hidden one that Commit
// renames over the target.
void AtomicFile::NameUnnamed() {
  const std::string proc = ProcPathOf(fileno(stream_));
  struct stat target {};
  if (!created_ && fstatat(directory_, name_.c_str(), &target, AT_SYMLINK_NOFOLLOW) != 0 &&
      errno == ENOENT) {
    if (linkat(AT_FDCWD, proc.c_str(), directory_, name_.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      unnamed_ = false;
      return;
    }
    if (errno != EEXIST) Fail(errno);
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = TemporaryNameFor();
    if (linkat(AT_FDCWD, proc.c_str(), directory_, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      temp_name_ = name;
      unnamed_ = false;
      return;
    }
    if (errno != EEXIST) Fail(errno);
  }
  Fail(EEXIST);
}

AtomicFile::~AtomicFile() {
  Discard();
  if (directory_ >= 0) close(directory_);
}

bool AtomicFile::StreamFailed() const { return stream_ && std::ferror(stream_); }

void AtomicFile::Write(const void* data, size_t size) {
  if (!stream_) throw std::logic_error("AtomicFile::Write after Commit or Discard");
  if (size == 0) return;
  errno = 0;
  if (std::fwrite(data, 1, size, stream_) != size) Fail(errno != 0 ? errno : EIO);
}

void AtomicFile::Commit() {
  if (!stream_) throw std::logic_error("AtomicFile::Commit after Commit or Discard");
  // A failed write that the writer did not notice still fails the commit.
  if (std::ferror(stream_)) Fail(EIO);
  if (WriteInterrupted()) Fail("interrupted; nothing was replaced");
  if (std::fflush(stream_) != 0) Fail(errno);
  if (fsync(fileno(stream_)) != 0) Fail(errno);
  if (WriteInterrupted()) Fail("interrupted; nothing was replaced");
  // Whatever took the target's name meanwhile must still be a regular file.
  struct stat now {};
  if (fstatat(directory_, name_.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(now.st_mode)) {
    Fail("it is " + KindOf(now.st_mode) + " now, not a regular file; nothing was replaced");
  }
  bool linkedInPlace = false;  // no target before: the new file took its name
  if (unnamed_) {
    NameUnnamed();
    linkedInPlace = temp_name_.empty();
  }
  FILE* stream = stream_;
  stream_ = nullptr;
  if (std::fclose(stream) != 0) {
    const int err = errno;
    if (linkedInPlace) unlinkat(directory_, name_.c_str(), 0);  // there was no file before
    Fail(err);
  }
  if (!temp_name_.empty()) {
    if (renameat(directory_, temp_name_.c_str(), directory_, name_.c_str()) != 0) Fail(errno);
    temp_name_.clear();
  }
  created_ = false;
  // Makes the rename itself durable. The new file is already in place, so a
  // failure here cannot be undone and only weakens crash safety.
  fsync(directory_);
}

void AtomicFile::Discard() noexcept {
  if (stream_) {
    std::fclose(stream_);  // an unnamed file vanishes with its last descriptor
    stream_ = nullptr;
  }
  unnamed_ = false;
  if (!temp_name_.empty()) {
    unlinkat(directory_, temp_name_.c_str(), 0);
    temp_name_.clear();
  }
  // The empty file made through a dangling link goes too, if still empty.
  struct stat made {};
  if (created_ && fstatat(directory_, name_.c_str(), &made, AT_SYMLINK_NOFOLLOW) == 0 &&
      S_ISREG(made.st_mode) && made.st_size == 0) {
    unlinkat(directory_, name_.c_str(), 0);
  }
  created_ = false;
}

void AtomicFile::Fail(int err) {
  Discard();
  throw FileWriteError(CannotWriteMessage(path_, SystemErrorText(err)), err);
}

void AtomicFile::Fail(const std::string& reason) {
  Discard();
  throw FileWriteError(CannotWriteMessage(path_, reason), 0);
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  AtomicFile file(path);
  file.Write(bytes.data(), bytes.size());
  file.Commit();
}

}  // namespace qv
