#include "app/QVProgressBar.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

TEST(QVProgressBar, LineShowsRowsPercentAndTime) {
  EXPECT_EQ(qv::ProgressLine("Generator1", 160, 320, 1.25),
            "Generator1   [############............] 160/320  50%  1.2 s");
  EXPECT_EQ(qv::ProgressLine("Mixer1", 320, 320, 0),
            "Mixer1       [########################] 320/320 100%  0.0 s");
  // Out-of-range inputs stay inside the bar.
  EXPECT_EQ(qv::ProgressLine("A", 9, 4, -2), "A            [########################] 4/4 100%  0.0 s");
  EXPECT_EQ(qv::ProgressLine("A", -3, 0, 0), "A            [########################] 0/0 100%  0.0 s");
  const std::string longName(20, 'n');
  EXPECT_EQ(qv::ProgressLine(longName, 0, 10, 0).rfind(longName + " [....", 0), 0u);
}

TEST(QVProgressBar, SummaryGivesSizeTimeAndRate) {
  EXPECT_EQ(qv::RenderSummaryLine(1000, 500, 2.0),
            "1000 x 500 pixels in 2.00 s (250000 pixels per second)");
  // A render faster than the clock's grain still has a finite rate.
  EXPECT_EQ(qv::RenderSummaryLine(10, 10, 0.0), "10 x 10 pixels in 0.00 s (100000 pixels per second)");
}

// What the bar wrote, with carriage-return redraws resolved line by line.
std::string Screen(const std::string& raw) {
  std::string screen, line;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\r') {
      line.clear();
    } else if (raw.compare(i, 3, "\x1b[K") == 0) {
      i += 2;
    } else if (raw[i] == '\n') {
      screen += line + "\n";
      line.clear();
    } else {
      line += raw[i];
    }
  }
  return screen + line;
}

TEST(QVProgressBar, ANewNodeCompletesTheLineOfThePreviousOne) {
  char* buffer = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  ASSERT_NE(out, nullptr);
  {
    qv::QVProgressBar bar(out);
    bar.Show({}, 0.0);  // nothing reported yet: nothing drawn
    bar.Show({"Generator1", 3, 1, 4, 1, 0, {}, 0, 0}, 0.5);
    bar.Show({"Effector1", 2, 1, 4, 2, 0, {}, 0, 0}, 1.0);  // the generator was last seen at 1 of 4 rows
    bar.Finish(8, 4, 1.5);
  }
  std::fclose(out);
  const std::string raw(buffer, size);
  std::free(buffer);
  EXPECT_EQ(Screen(raw),
            "Generator1   [########################] 4/4 100%  1.0 s\n"
            "Effector1    [########################] 4/4 100%  0.5 s\n"
            "8 x 4 pixels in 1.50 s (21 pixels per second)\n");
}

}  // namespace
