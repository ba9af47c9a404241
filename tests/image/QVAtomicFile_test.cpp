#include "source/QVAtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "ImageTestSupport.h"

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

TEST(QVAtomicFile, StreamGoesToAHiddenFileBesideTheTargetUntilCommit) {
  ScratchDir dir;
  const std::string path = dir.File("picture.png");
  WriteBytes(path, "old");
  qv::AtomicFile file(path);
  EXPECT_EQ(file.Path(), path);
  const std::filesystem::path temp(file.TemporaryPath());
  EXPECT_EQ(temp.parent_path(), std::filesystem::path(path).parent_path());
  EXPECT_EQ(temp.filename().string().front(), '.');
  ASSERT_NE(file.Stream(), nullptr);
  std::fputs("new ", file.Stream());
  file.Write("contents", 8);
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_EQ(dir.Entries().size(), 2u);
  file.Commit();
  EXPECT_EQ(file.Stream(), nullptr);
  EXPECT_EQ(ReadBytes(path), "new contents");
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"picture.png"});
  EXPECT_THROW(file.Commit(), std::logic_error);
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
    qv::AtomicFile file(dir.File("never.txt"));
    file.Discard();
    EXPECT_TRUE(file.TemporaryPath().empty());
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

TEST(QVAtomicFile, FailedRenameLeavesNoTemporaryFile) {
  ScratchDir dir;
  const std::string path = dir.File("taken");
  std::filesystem::create_directory(path);
  WriteBytes(path + "/inside", "kept");
  const std::string message = ErrorOf([&] { qv::WriteFileAtomically(path, "x"); });
  EXPECT_EQ(message, "cannot write \"" + path + "\": " + qv::SystemErrorText(EISDIR));
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
