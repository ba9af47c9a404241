#include "app/AppTestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

extern char** environ;

namespace qv::test {

namespace {

constexpr std::chrono::seconds kTimeout{120};

// A temporary file for one captured stream, removed with this object.
class CaptureFile {
 public:
  CaptureFile() {
    char name[] = "/tmp/qv-app-test-XXXXXX";
    fd_ = mkostemp(name, O_CLOEXEC);
    path_ = name;
  }
  ~CaptureFile() {
    if (fd_ >= 0) close(fd_);
    unlink(path_.c_str());
  }
  CaptureFile(const CaptureFile&) = delete;
  CaptureFile& operator=(const CaptureFile&) = delete;
  int Fd() const { return fd_; }
  std::string Contents() const { return ReadBytes(path_); }

 private:
  int fd_ = -1;
  std::string path_;
};

// The master side of a pseudo-terminal whose slave the child opens as its
// standard error.
class PseudoTerminal {
 public:
  PseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    const char* name = ptsname(master_);
    if (name) slave_ = name;
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
  }
  ~PseudoTerminal() {
    if (master_ >= 0) close(master_);
  }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;
  bool Ok() const { return master_ >= 0 && !slave_.empty(); }
  const std::string& SlavePath() const { return slave_; }

  /// Appends what the terminal has received, waiting up to timeoutMs for it.
  void Drain(std::string& out, int timeoutMs) {
    pollfd entry{master_, POLLIN, 0};
    if (poll(&entry, 1, timeoutMs) <= 0) return;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = read(master_, buffer, sizeof buffer)) > 0)
      out.append(buffer, static_cast<size_t>(n));
  }

 private:
  int master_ = -1;
  std::string slave_;
};

std::vector<std::string> ChildEnvironment(const ProcessOptions& options) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    bool overridden = false;
    for (const auto& [name, value] : options.Environment) {
      overridden = overridden || entry.starts_with(name + "=");
    }
    if (!overridden) env.push_back(entry);
  }
  for (const auto& [name, value] : options.Environment) {
    if (value) env.push_back(name + "=" + *value);
  }
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> out;
  for (std::string& t : texts) out.push_back(t.data());
  out.push_back(nullptr);
  return out;
}

// Waits for the child, reading the terminal meanwhile so that it never blocks
// on a full terminal buffer. Kills it after kTimeout.
int WaitForChild(pid_t pid, PseudoTerminal* terminal, const ProcessOptions& options,
                 ProcessResult& result) {
  const std::string& interruptOn = options.InterruptOnOutput;
  const auto deadline = std::chrono::steady_clock::now() + kTimeout;
  int status = 0;
  bool interrupted = false;
  bool called = !options.OnWrite;
  // Looked at right after each read, so that a child that writes the text and
  // ends at once is still probed (after its end the probe proves less, but
  // it does not fail a correct program).
  const auto probe = [&] {
    if (!result.ProbeFileExisted && !options.ProbeOnOutput.empty() &&
        result.Err.find(options.ProbeOnOutput) != std::string::npos) {
      result.ProbeFileExisted = std::filesystem::exists(options.ProbeFile);
    }
  };
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (!interrupted &&
        ((!interruptOn.empty() && result.Err.find(interruptOn) != std::string::npos) ||
         (!options.InterruptOnWriteIn.empty() && WritesIn(pid, options.InterruptOnWriteIn)))) {
      kill(pid, options.InterruptWith);
      interrupted = true;
    }
    if (!called && WritesIn(pid, options.CallOnWriteIn)) {
      // The child waits while the call changes its inputs, so a loaded
      // machine cannot let it finish first.
      kill(pid, SIGSTOP);
      options.OnWrite();
      kill(pid, SIGCONT);
      called = true;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      result.TimedOut = true;
      break;
    }
    if (terminal) {
      terminal->Drain(result.Err, 10);
      probe();
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  if (terminal) terminal->Drain(result.Err, 0);
  probe();
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

namespace {

// The access mode of open file fd of process pid (O_RDONLY, O_WRONLY or
// O_RDWR; a file opened with O_PATH reads as O_RDONLY).
int AccessMode(pid_t pid, const std::string& fd) {
  std::ifstream info("/proc/" + std::to_string(pid) + "/fdinfo/" + fd);
  std::string key, value;
  while (info >> key >> value) {
    if (key == "flags:") return static_cast<int>(std::stol(value, nullptr, 8) & O_ACCMODE);
  }
  return O_RDONLY;
}

}  // namespace

// True when process pid holds a file open for writing in directory (which
// ends in '/'), named or unnamed ("DIR/#123 (deleted)"). A file opened only
// to be looked at (the check of the file a write will replace) does not count.
bool WritesIn(pid_t pid, const std::string& directory) {
  std::error_code error;
  const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
  for (const auto& entry : std::filesystem::directory_iterator(fds, error)) {
    const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
    if (!error && target.starts_with(directory) &&
        AccessMode(pid, entry.path().filename().string()) != O_RDONLY) {
      return true;
    }
  }
  return false;
}

std::string ProcessResult::Describe() const {
  return "qvell" + Command + " exited " + std::to_string(ExitCode) +
         (TimedOut ? " (timed out)" : "") + ", stderr: \"" + Err + "\"";
}

ProcessResult RunQvell(const std::vector<std::string>& args, const ProcessOptions& options) {
  ProcessResult result;
  for (const std::string& a : args) result.Command += " " + a;
  CaptureFile out, err;
  PseudoTerminal terminal;
  if (options.StderrOnTerminal && !terminal.Ok()) {
    result.Err = "no pseudo-terminal available";
    return result;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string input = options.StdinFile.empty() ? "/dev/null" : options.StdinFile;
  posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out.Fd(), 1);
  if (options.StderrOnTerminal) {
    posix_spawn_file_actions_addopen(&actions, 2, terminal.SlavePath().c_str(), O_RDWR | O_NOCTTY,
                                     0);
  } else {
    posix_spawn_file_actions_adddup2(&actions, err.Fd(), 2);
  }
  std::vector<std::string> argv = {QVELL_BINARY};
  std::string limits;  // the shell sets the limits, then becomes qvell
  const auto limit = [&](const char* flag, int64_t value) {
    if (value > 0) limits += std::string("ulimit ") + flag + " " + std::to_string(value) + " && ";
  };
  limit("-v", options.AddressLimitKiB);
  limit("-S -n", options.FileLimitSoft);  // the soft limit first: it may not exceed the hard one
  limit("-H -n", options.FileLimitHard);
  if (!limits.empty()) argv = {"/bin/sh", "-c", limits + "exec \"$0\" \"$@\"", QVELL_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<std::string> env = ChildEnvironment(options);
  std::vector<char*> argvPointers = Pointers(argv), envPointers = Pointers(env);
  pid_t pid = 0;
  const int spawned =
      posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, argvPointers.data(), envPointers.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    result.Err = std::string("cannot start qvell: ") + std::strerror(spawned);
    return result;
  }
  result.ExitCode =
      WaitForChild(pid, options.StderrOnTerminal ? &terminal : nullptr, options, result);
  result.Out = out.Contents();
  if (!options.StderrOnTerminal) result.Err = err.Contents();
  return result;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::string DefaultProjectText() {
  const ProcessResult printed = RunQvell({"print"});
  EXPECT_EQ(printed.ExitCode, 0) << printed.Describe();
  return printed.Out;
}

}  // namespace qv::test
