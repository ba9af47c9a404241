#include "source/QVAtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstring>
#include <filesystem>
#include <random>
#include <stdexcept>

namespace qv {
namespace {

// strerror_r comes in a GNU form (returns the text) and an XSI form (fills the
// buffer, returns 0); these overloads accept whichever the library declares.
[[maybe_unused]] const char* ErrorText(int result, const char* buffer) {
  return result == 0 ? buffer : nullptr;
}
[[maybe_unused]] const char* ErrorText(const char* result, const char*) { return result; }

// The directory part of a path, as open() takes it.
std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A hidden name beside the target: same directory, so rename() never has to
// cross file systems. The base name is shortened so that the added suffix
// cannot push a long but valid name over the file system's limit.
std::string TemporaryName(const std::string& path) {
  thread_local std::mt19937_64 random{std::random_device{}()};
  const size_t slash = path.rfind('/');
  const size_t baseStart = slash == std::string::npos ? 0 : slash + 1;
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".tmp%016" PRIx64, static_cast<uint64_t>(random()));
  return path.substr(0, baseStart) + "." + path.substr(baseStart, 100) + suffix;
}

// The file that path names once symbolic links are followed (at most 40
// links, as the system allows), so that a link is kept and the file it points
// to is replaced. A path that is no link stays as it is.
std::string FollowLinks(const std::string& path) {
  std::filesystem::path current(path);
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code error;
    const std::filesystem::path target = std::filesystem::read_symlink(current, error);
    if (error) break;
    current = target.is_absolute() ? target : current.parent_path() / target;
  }
  return current.string();
}

// Makes the rename itself durable. The new file is already in place when this
// runs, so a failure here cannot be undone and only weakens crash safety.
void SyncDirectory(const std::string& directory) {
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

std::string CannotWriteMessage(const std::string& path, const std::string& reason) {
  return "cannot write \"" + path + "\": " + reason;
}

std::string SystemErrorText(int err) {
  char buffer[256] = {};
  const char* text = ErrorText(strerror_r(err, buffer, sizeof buffer), buffer);
  return text ? std::string(text) : "system error " + std::to_string(err);
}

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)), target_(FollowLinks(path_)) {
  // open() with O_EXCL and mode 0666 gives the file exactly the permissions
  // (umask, default ACLs) of any newly created file, which mkstemp's fixed
  // 0600 would not without reading the process-wide umask.
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp_path_ = TemporaryName(target_);
    fd = open(temp_path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    const int err = errno;
    temp_path_.clear();
    throw std::runtime_error(CannotWriteMessage(path_, SystemErrorText(err)));
  }
  // A file that is replaced keeps its permissions (a private file stays private).
  struct stat existing {};
  if (stat(target_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
    fchmod(fd, existing.st_mode & 07777);
  }
  stream_ = fdopen(fd, "wb");
  if (!stream_) {
    const int err = errno;
    close(fd);
    Fail(err);
  }
}

AtomicFile::~AtomicFile() { Discard(); }

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
  if (std::fflush(stream_) != 0) Fail(errno);
  if (fsync(fileno(stream_)) != 0) Fail(errno);
  FILE* stream = stream_;
  stream_ = nullptr;
  if (std::fclose(stream) != 0) Fail(errno);
  if (std::rename(temp_path_.c_str(), target_.c_str()) != 0) Fail(errno);
  temp_path_.clear();
  SyncDirectory(DirectoryOf(target_));
}

void AtomicFile::Discard() noexcept {
  if (stream_) {
    std::fclose(stream_);
    stream_ = nullptr;
  }
  if (!temp_path_.empty()) {
    unlink(temp_path_.c_str());
    temp_path_.clear();
  }
}

void AtomicFile::Fail(int err) {
  Discard();
  throw std::runtime_error(CannotWriteMessage(path_, SystemErrorText(err)));
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  AtomicFile file(path);
  file.Write(bytes.data(), bytes.size());
  file.Commit();
}

}  // namespace qv
