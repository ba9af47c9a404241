#include "base/QVProjectText.h"

#include <gtest/gtest.h>

namespace {

TEST(QVProjectText, Utf8ValidationRejectsMalformedSequences) {
  EXPECT_TRUE(qv::IsValidUtf8("abc マ 😀"));
  EXPECT_FALSE(qv::IsValidUtf8("\xC0\xAF"));          // overlong "/"
  EXPECT_FALSE(qv::IsValidUtf8("\xE0\x80\xAF"));      // overlong
  EXPECT_FALSE(qv::IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(qv::IsValidUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
  EXPECT_FALSE(qv::IsValidUtf8("\xE3\x83"));          // cut short
  EXPECT_FALSE(qv::IsValidUtf8("\xBF"));              // lone continuation
  EXPECT_EQ(qv::FirstInvalidUtf8("ab マ\xE3\x83"), 6u);  // where the cut character begins
  EXPECT_EQ(qv::FirstInvalidUtf8("ab マ"), std::string_view::npos);
}

}  // namespace
