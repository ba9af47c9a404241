// qvell join: assembles PNG regions of one picture (each written by qvell
// render --region) into one PNG through image/QVPictureJoin.h. This file holds
// the command's side: the output checks, the limit of open files, Ctrl-C and
// SIGTERM, and the messages. Main thread.
#include <sys/resource.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "app/QVCommands.h"
#include "app/QVInterrupt.h"
#include "base/QVAtomicFile.h"
#include "image/QVPictureJoin.h"
#include "image/QVPictureStream.h"

namespace qv {

namespace {

// Files left to the process besides the parts (standard streams, the output,
// libraries), and the most parts kept open from their check to their copy.
constexpr rlim_t kFileReserve = 64;
constexpr rlim_t kMostKeptOpen = 256;

// Raises the soft limit of open files to the hard one (every part of a row is
// open at once) and returns how many parts to keep open from check to copy:
// half of what the reserve leaves, so that parts opened again still fit.
size_t RaiseFileLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
  if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < limit.rlim_max) {
    rlimit raised = limit;
    raised.rlim_cur = limit.rlim_max;
    if (setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
  }
  if (limit.rlim_cur <= kFileReserve) return 0;
  return static_cast<size_t>(std::min(kMostKeptOpen, (limit.rlim_cur - kFileReserve) / 2));
}

}  // namespace

int RunJoin(const CommandLineOptions& options) {
  if (std::string problem = SameFileProblem(options.Output, options.Parts); !problem.empty()) {
    return CommandError("cannot join: " + problem);
  }
  if (std::string problem = ReplaceProblem(options.Output); !problem.empty()) {
    return CommandError(problem);
  }
  const size_t keepOpen = RaiseFileLimit();
  ScopedInterruptHandler interrupts;  // covers the reads and the write
  try {
    PictureJoin join(options.Parts, keepOpen, [] { return InterruptSignal() != 0; });
    if (!join.Problem().empty()) return CommandError("cannot join: " + join.Problem());
    PictureFileOptions file;
    file.Texts = join.Texts();
    const std::unique_ptr<PictureStream> out =
        OpenPictureStream(options.Output, PictureFormat::Png, join.Width(), join.Height(), file);
    if (!join.Copy(*out)) return CommandError(kInterruptedMessage);
    out->Finish();  // refuses to replace the file once interrupted
  } catch (const std::bad_alloc&) {
    return CommandError("out of memory for a row of the joined picture");
  } catch (const std::runtime_error& e) {
    return CommandError(InterruptSignal() != 0 ? kInterruptedMessage : e.what());
  }
  return ExitSuccess;
}

}  // namespace qv
