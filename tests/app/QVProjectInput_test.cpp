// The project a command reads from a pipe: a PNG that carries its project
// reads from standard input as from a file, through one open stream.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/AppTestSupport.h"

namespace qv::test {
namespace {

// Runs qvell with bytes on standard input through a pipe, as a shell
// pipeline gives them: a FIFO whose other end this process holds open (a
// PNG's project is read without waiting for the end of the input), so that
// /dev/stdin opened again reaches the same pipe.
ProcessResult RunQvellOnPipe(const std::vector<std::string>& args, const std::string& bytes,
                             const ScratchDir& dir) {
  const std::string fifo = dir.File("stdin.fifo");
  EXPECT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int end = open(fifo.c_str(), O_RDWR);  // does not wait for a reader
  EXPECT_LE(bytes.size(), 65536u) << "more than the pipe holds";
  EXPECT_EQ(write(end, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  ProcessResult result = RunQvell(args, StdinFrom(fifo));
  close(end);
  unlink(fifo.c_str());
  return result;
}

TEST(ProjectInput, APngOnAPipeReadsAsFromAFile) {
  ScratchDir dir;
  std::string text = ReplaceFirst(DefaultProjectText(), "Width: 320", "Width: 24");
  WriteBytes(dir.File("p.qvl"), ReplaceFirst(text, "Height: 320", "Height: 16"));
  ASSERT_EQ(RunQvell({"render", dir.File("p.qvl"), "-o", dir.File("x.png")}).ExitCode, 0);
  const std::string png = ReadBytes(dir.File("x.png"));
  const std::string project = RunQvell({"print", dir.File("x.png")}).Out;

  for (const std::string name : {"-", "/dev/stdin"}) {
    const ProcessResult printed = RunQvellOnPipe({"print", name}, png, dir);
    EXPECT_EQ(printed.Err, "") << printed.Describe();
    EXPECT_EQ(printed.Out, project) << name;
  }
  const ProcessResult rendered = RunQvellOnPipe({"render", "-", "-o", dir.File("y.png")}, png, dir);
  EXPECT_EQ(rendered.Err, "") << rendered.Describe();
  EXPECT_EQ(ReadBytes(dir.File("y.png")), png);

  std::string damaged = png;
  damaged[damaged.find("Q-Vell project") + 40] ^= 1;  // inside its deflated text
  const ProcessResult refused = RunQvellOnPipe({"print", "-"}, damaged, dir);
  EXPECT_EQ(refused.ExitCode, 2);
  EXPECT_EQ(refused.Err, "<stdin>: error: the \"Q-Vell project\" chunk is damaged (CRC error)\n");
}

}  // namespace
}  // namespace qv::test
