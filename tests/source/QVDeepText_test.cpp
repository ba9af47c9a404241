#include <gtest/gtest.h>

#include <string>

#include "engine/QVMain.h"
#include "source/QVSourceReader.h"
#include "source/QVSourceWriter.h"

namespace {

const char* const kDigits = "-1.5436890126920763615708559718017479865252032976509839";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// A deep view's text keeps every digit through a write and a read; at an
// ordinary scale the same digits are written as the 15 of the double.
TEST(QVDeepText, ViewpointDigitsFollowTheScale) {
  QVMain main;
  const std::string plain = qv::WriteProject(main);
  std::string deep =
      Replaced(plain, "Viewpoint: (0, 0)", std::string("Viewpoint: (") + kDigits + ", 1)");
  deep = Replaced(deep, "Scale: 4", "Scale: 1E-40");
  QVMain read;
  ASSERT_TRUE(qv::ReadProject(read, deep).Ok);
  EXPECT_EQ(qv::WriteProject(read), deep);
  EXPECT_EQ(read.Parameter.Viewpoint().re, -1.54368901269208);

  read.Parameter.ChangeScale(2e-6);  // just above 2^-20 times 1.54...: 1.47E-6
  const std::string ordinary = qv::WriteProject(read);
  EXPECT_NE(ordinary.find("Viewpoint: (-1.54368901269208, 1)\n"), std::string::npos);
  read.Parameter.ChangeScale(1e-6);
  EXPECT_NE(qv::WriteProject(read).find(std::string("Viewpoint: (") + kDigits + ", 1)\n"),
            std::string::npos);
}

}  // namespace
