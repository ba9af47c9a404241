#include "base/QVAtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/ScratchFiles.h"

namespace {

using qv::test::ErrorOf;
using qv::test::ReadBytes;
using qv::test::ScratchDir;
using qv::test::WriteBytes;

TEST(QVAtomicFile, WritesANewFileAndReplacesAnOldOneWithoutLeftovers) {
  ScratchDir dir;
  const std::string path = dir.File("data.bin");
  const std::string first("first\0contents", 14);
  qv::WriteFileAtomically(path, first);
  EXPECT_EQ(ReadBytes(path), first);
  qv::WriteFileAtomically(path, "second");
  EXPECT_EQ(ReadBytes(path), "second");
  qv::WriteFileAtomically(path, "");
  EXPECT_EQ(ReadBytes(path), "");
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"data.bin"});
}

TEST(QVAtomicFile, NewFileModeFollowsTheUmask) {
  ScratchDir dir;
  for (const mode_t mask : {mode_t{022}, mode_t{027}, mode_t{077}}) {
    const std::string path = dir.File("mode" + std::to_string(mask));
    const mode_t old = umask(mask);
    qv::WriteFileAtomically(path, "x");
    umask(old);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask) << "umask " << mask;
  }
}

TEST(QVAtomicFile, StreamGoesToATemporaryFileBesideTheTargetUntilCommit) {
  using Temporary = qv::AtomicFile::Temporary;
  for (const Temporary kind : {Temporary::Unnamed, Temporary::Named}) {
    for (const bool existing : {true, false}) {
      SCOPED_TRACE(testing::Message() << (kind == Temporary::Named ? "named" : "unnamed")
                                      << (existing ? ", replacing" : ", new"));
      ScratchDir dir;
      const std::string path = dir.File("picture.png");
      if (existing) WriteBytes(path, "old");
      qv::AtomicFile file(path, kind);
      EXPECT_EQ(file.Path(), path);
      std::set<std::string> during;
      if (existing) during.insert("picture.png");
      const std::string temp = file.TemporaryName();
      // This file system (the test's temporary directory) takes unnamed files.
      EXPECT_EQ(file.Unnamed(), kind == Temporary::Unnamed);
      EXPECT_EQ(temp.empty(), file.Unnamed());
      if (!temp.empty()) {
        EXPECT_EQ(temp.front(), '.');
        during.insert(temp);
      }
      EXPECT_EQ(dir.Entries(), during);
      ASSERT_NE(file.Stream(), nullptr);
      std::fputs("new ", file.Stream());
      file.Write("contents", 8);
      if (existing) {
        EXPECT_EQ(ReadBytes(path), "old");
      }
      EXPECT_EQ(dir.Entries(), during);
      file.Commit();
      EXPECT_EQ(file.Stream(), nullptr);
      EXPECT_TRUE(file.TemporaryName().empty());
      EXPECT_EQ(ReadBytes(path), "new contents");
      EXPECT_EQ(dir.Entries(), std::set<std::string>{"picture.png"});
      EXPECT_THROW(file.Commit(), std::logic_error);
    }
  }
}

// A process killed in the middle of a write (no destructor, no handler runs)
// leaves the old file and nothing else.
TEST(QVAtomicFile, ProcessKilledWhileWritingLeavesNothingBehind) {
  ScratchDir dir;
  const std::string path = dir.File("keep.png");
  WriteBytes(path, "old");
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    qv::AtomicFile file(path);
    file.Write(std::string(100000, 'n').data(), 100000);
    std::fflush(file.Stream());
    (void)!write(ready[1], "w", 1);
    for (;;) pause();
  }
  close(ready[1]);
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  close(ready[0]);
  kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"keep.png"});
  EXPECT_EQ(ReadBytes(path), "old");
}

TEST(QVAtomicFile, AbandonedFileIsRemovedAndTargetKept) {
  ScratchDir dir;
  const std::string path = dir.File("keep.txt");
  WriteBytes(path, "precious");
  {
    qv::AtomicFile file(path);
    file.Write("garbage", 7);
  }
  EXPECT_EQ(ReadBytes(path), "precious");
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"keep.txt"});
  {
    qv::AtomicFile file(dir.File("never.txt"), qv::AtomicFile::Temporary::Named);
    file.Discard();
    EXPECT_TRUE(file.TemporaryName().empty());
  }
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"keep.txt"});
}

TEST(QVAtomicFile, MissingDirectoryIsReportedWithFileAndReason) {
  ScratchDir dir;
  const std::string path = dir.File("missing/out.bin");
  EXPECT_EQ(ErrorOf([&] { qv::WriteFileAtomically(path, "x"); }),
            "cannot write \"" + path + "\": " + qv::SystemErrorText(ENOENT));
  EXPECT_TRUE(dir.Entries().empty());
}

TEST(QVAtomicFile, DirectoryIsRefusedAndLeftAlone) {
  ScratchDir dir;
  const std::string path = dir.File("taken");
  std::filesystem::create_directory(path);
  WriteBytes(path + "/inside", "kept");
  const std::string message = ErrorOf([&] { qv::WriteFileAtomically(path, "x"); });
  EXPECT_TRUE(message.starts_with("cannot write \"" + path + "\": it is a directory, not a regular file"))
      << message;
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"taken"});
  EXPECT_EQ(ReadBytes(path + "/inside"), "kept");
}

TEST(QVAtomicFile, FailedWriteKeepsTheOldFileByteForByte) {
  ScratchDir dir;
  const std::string path = dir.File("full.bin");
  const std::string old(300, 'o');
  WriteBytes(path, old);
  std::string message;
  {
    qv::test::FileSizeLimit limit(1000);
    message = ErrorOf([&] { qv::WriteFileAtomically(path, std::string(100000, 'n')); });
  }
  EXPECT_EQ(message, "cannot write \"" + path + "\": " + qv::SystemErrorText(EFBIG));
  EXPECT_EQ(ReadBytes(path), old);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"full.bin"});
}

TEST(QVAtomicFile, VeryLongNameStillGetsATemporaryFile) {
  ScratchDir dir;
  const std::string name(250, 'n');  // near the usual 255-byte limit
  qv::WriteFileAtomically(dir.File(name), "long");
  EXPECT_EQ(ReadBytes(dir.File(name)), "long");
  EXPECT_EQ(dir.Entries(), std::set<std::string>{name});
}

}  // namespace

namespace {

TEST(QVAtomicFile, WritingThroughALinkReplacesTheFileItPointsTo) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.File("real"));
  const std::string target = dir.File("real/picture.png");
  WriteBytes(target, "old");
  // A relative link to the file, and a link to that link.
  std::filesystem::create_symlink("real/picture.png", dir.File("link.png"));
  std::filesystem::create_symlink(dir.File("link.png"), dir.File("chain.png"));
  qv::WriteFileAtomically(dir.File("link.png"), "new");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.png")));
  EXPECT_EQ(ReadBytes(target), "new");
  qv::WriteFileAtomically(dir.File("chain.png"), "newer");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("chain.png")));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.png")));
  EXPECT_EQ(ReadBytes(target), "newer");
  // A link whose file does not exist yet creates that file.
  std::filesystem::create_symlink("real/later.png", dir.File("dangling.png"));
  qv::WriteFileAtomically(dir.File("dangling.png"), "born");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("dangling.png")));
  EXPECT_EQ(ReadBytes(dir.File("real/later.png")), "born");
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"real", "link.png", "chain.png", "dangling.png"}));
}

}  // namespace

namespace {

TEST(QVAtomicFile, ReplacedFileKeepsItsPermissions) {
  ScratchDir dir;
  const mode_t old = umask(022);
  for (const mode_t mode : {mode_t{0600}, mode_t{0640}, mode_t{0755}}) {
    const std::string path = dir.File("kept" + std::to_string(mode));
    WriteBytes(path, "old");
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
    qv::WriteFileAtomically(path, "new");
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, mode) << "mode " << std::oct << mode;
    EXPECT_EQ(ReadBytes(path), "new");
  }
  umask(old);
}

}  // namespace

namespace {

// The kind of file at path, without following a link.
mode_t KindAt(const std::string& path, bool follow) {
  struct stat info {};
  const int r = follow ? stat(path.c_str(), &info) : lstat(path.c_str(), &info);
  return r == 0 ? (info.st_mode & S_IFMT) : 0;
}

TEST(QVAtomicFile, NonRegularTargetsAreRefusedAndLeftAlone) {
  ScratchDir dir;
  ASSERT_EQ(mkfifo(dir.File("pipe.png").c_str(), 0644), 0);
  std::filesystem::create_symlink("pipe.png", dir.File("to-pipe.png"));
  std::vector<std::pair<std::string, std::string>> cases = {{"pipe.png", "a named pipe (FIFO)"},
                                                            {"to-pipe.png", "a named pipe (FIFO)"}};
  // A device node of its own (a copy of the null device), never a system one.
  const bool device = mknod(dir.File("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  if (device) {
    std::filesystem::create_symlink("null", dir.File("device.png"));
    cases.push_back({"device.png", "a character device"});
  }
  for (const auto& [name, kind] : cases) {
    const std::string path = dir.File(name);
    const std::string expected = "cannot write \"" + path + "\": it is " + kind + ", not a regular file";
    EXPECT_TRUE(ErrorOf([&] { qv::WriteFileAtomically(path, "x"); }).starts_with(expected)) << name;
    EXPECT_TRUE(qv::ReplaceProblem(path).starts_with(expected)) << name;
  }
  EXPECT_EQ(KindAt(dir.File("pipe.png"), false), S_IFIFO);
  std::set<std::string> entries = {"pipe.png", "to-pipe.png"};
  if (device) {
    EXPECT_EQ(KindAt(dir.File("null"), false), S_IFCHR);
    EXPECT_EQ(KindAt(dir.File("device.png"), false), S_IFLNK);
    entries.insert({"null", "device.png"});
  }
  EXPECT_EQ(dir.Entries(), entries);
  WriteBytes(dir.File("plain.png"), "old");
  EXPECT_EQ(qv::ReplaceProblem(dir.File("plain.png")), "");
  EXPECT_EQ(qv::ReplaceProblem(dir.File("new.png")), "");
}

TEST(QVAtomicFile, SymbolicLinkLoopIsAnError) {
  ScratchDir dir;
  std::filesystem::create_symlink("b.png", dir.File("a.png"));
  std::filesystem::create_symlink("a.png", dir.File("b.png"));
  const std::string message = ErrorOf([&] { qv::WriteFileAtomically(dir.File("a.png"), "x"); });
  EXPECT_NE(message.find("loops"), std::string::npos) << message;
  EXPECT_EQ(KindAt(dir.File("a.png"), false), S_IFLNK);
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"a.png", "b.png"}));
}

TEST(QVAtomicFile, AnyPathTheSystemAcceptsCanBeWritten) {
  ScratchDir dir;
  // Nested directories up to a 4088-byte path, just under the 4096-byte
  // limit, ending in a 100-byte name.
  std::string path = dir.File("");
  while (path.size() < 3988) {
    const size_t length = std::min<size_t>(200, 3988 - path.size() - 1);
    path += std::string(std::max<size_t>(length, 1), 'd') + "/";
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0) << path.size();
  }
  path += std::string(4088 - path.size(), 'f');
  ASSERT_EQ(path.size(), 4088u);
  qv::WriteFileAtomically(path, "deep");
  EXPECT_EQ(ReadBytes(path), "deep");
  qv::WriteFileAtomically(path, "deeper");
  EXPECT_EQ(ReadBytes(path), "deeper");
}

TEST(QVAtomicFile, RootReplacingAnotherUsersFileKeepsOwnerAndGroup) {
  if (geteuid() != 0) GTEST_SKIP() << "changing a file's owner needs root";
  ScratchDir dir;
  const std::string path = dir.File("theirs.png");
  WriteBytes(path, "old");
  ASSERT_EQ(chown(path.c_str(), 4321, 4322), 0);
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  qv::WriteFileAtomically(path, "new");
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 4321u);
  EXPECT_EQ(info.st_gid, 4322u);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(ReadBytes(path), "new");
}

}  // namespace
