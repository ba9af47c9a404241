// The memory a render may use: within the process's address-space limit
// (ulimit -v), and refusals that say what is needed, what is allowed and why.
// They run the built qvell.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/AppTestSupport.h"

namespace qv::test {
namespace {

// AddressSanitizer and ThreadSanitizer map terabytes of shadow memory when a
// process starts, so in those builds no process starts under ulimit -v at all.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kShadowMemory = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kShadowMemory = true;
#else
constexpr bool kShadowMemory = false;
#endif
#else
constexpr bool kShadowMemory = false;
#endif

// A wide, shallow picture: quick to compute, yet a band of 32 rows (the
// fewest rows a picture that fits is cut into) holds about 160 MiB of fields.
std::string WideProject(const ScratchDir& dir) {
  std::string text = ReplaceFirst(DefaultProjectText(), "Width: 320", "Width: 100000");
  text = ReplaceFirst(ReplaceFirst(text, "Height: 320", "Height: 40"), "Depth: 100", "Depth: 2");
  WriteBytes(dir.File("wide.qvl"), text);
  return dir.File("wide.qvl");
}

TEST(MemoryAllowance, AnAddressSpaceLimitIsKeptWithSmallerBands) {
  if (kShadowMemory) GTEST_SKIP() << "ulimit -v cannot apply under a sanitizer's shadow memory";
  ScratchDir dir;
  const std::string project = WideProject(dir);
  const std::vector<std::string> render = {"render", project, "--threads", "1", "-o"};
  std::vector<std::string> whole = render, limited = render;
  whole.push_back(dir.File("whole.png"));
  limited.push_back(dir.File("limited.png"));
  const ProcessResult free = RunQvell(whole);
  ASSERT_EQ(free.ExitCode, 0) << free.Describe();
  ProcessOptions options;
  options.AddressLimitKiB = 260 << 10;
  const ProcessResult kept = RunQvell(limited, options);
  ASSERT_EQ(kept.ExitCode, 0) << kept.Describe();
  EXPECT_EQ(kept.Err, "");
  EXPECT_EQ(ReadBytes(dir.File("limited.png")), ReadBytes(dir.File("whole.png")));
  // A limit that leaves no room for one row is refused before anything is
  // allocated, naming the limit instead of the memory the machine has.
  options.AddressLimitKiB = 160 << 10;
  const ProcessResult refused = RunQvell(limited, options);
  EXPECT_EQ(refused.ExitCode, 3) << refused.Describe();
  EXPECT_TRUE(refused.Err.starts_with(
      "qvell: error: a band of one row of the 100000 x 40 picture needs "))
      << refused.Describe();
  EXPECT_NE(refused.Err.find("limit of 160 MiB (ulimit -v) leaves only "), std::string::npos)
      << refused.Describe();
}

TEST(MemoryAllowance, ATooSmallMemoryOptionIsToldInItsOwnUnitWithWhatWouldDo) {
  ScratchDir dir;
  WriteBytes(dir.File("p.qvl"), DefaultProjectText());
  for (const auto& [given, shown] : {std::pair{"1K", "1 KiB"}, {"1000", "1000 bytes"}, {"3m", "3 MiB"}}) {
    const ProcessResult run =
        RunQvell({"render", dir.File("p.qvl"), "-o", dir.File("a.png"), "--memory", given});
    EXPECT_EQ(run.ExitCode, 3) << run.Describe();
    const std::string expected = std::string("but --memory allows ") + shown + "; allow at least --memory ";
    const size_t at = run.Err.find(expected);
    ASSERT_NE(at, std::string::npos) << run.Describe();
    // The size suggested is enough.
    const std::string suggested = run.Err.substr(at + expected.size(), run.Err.find(',', at) - at - expected.size());
    const ProcessResult again =
        RunQvell({"render", dir.File("p.qvl"), "-o", dir.File("a.png"), "--memory", suggested});
    EXPECT_EQ(again.ExitCode, 0) << again.Describe();
  }
}

}  // namespace
}  // namespace qv::test
