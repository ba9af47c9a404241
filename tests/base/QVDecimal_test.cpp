#include "base/QVDecimal.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(QVDecimal, TextKeepsEveryDigitAndLaysThemOutAsNumbersAre) {
  const struct {
    const char* In;
    const char* Out;
    int64_t Digits;
  } cases[] = {
      {"0", "0", 0},
      {"-0.000", "0", 0},
      {"1.50", "1.5", 2},
      {"+12E3", "12000", 2},
      {"0.00001", "1E-5", 1},
      {"-1.543689012692076361570855971801747986525", "-1.543689012692076361570855971801747986525",
       40},
      {"123456789012345678901234567890", "1.2345678901234567890123456789E29", 29},
      {"0.000123456789012345678", "0.000123456789012345678", 18},
      {"1e-300", "1E-300", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.In);
    const qv::Decimal d = qv::DecimalFromText(c.In);
    EXPECT_EQ(qv::DecimalToText(d), c.Out);
    EXPECT_EQ(qv::SignificantDigits(d), c.Digits);
    EXPECT_EQ(qv::DecimalFromText(qv::DecimalToText(d)), d);  // the text reads back the same
  }
  EXPECT_THROW(qv::DecimalFromText("1.2.3"), qv::NumberFormatError);
  EXPECT_THROW(qv::DecimalFromText("1E400"), qv::NumberFormatError);
}

// A double's decimal is its 15 kept digits: the text of the decimal is the
// number's own text, and it reads back as the kept double.
TEST(QVDecimal, DoublesGiveTheirFifteenDigits) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  std::uniform_int_distribution<int> exponent(-300, 300);
  for (int i = 0; i < 2000; ++i) {
    const double v = std::ldexp(mantissa(random), exponent(random));
    const qv::Decimal d = qv::DecimalFromDouble(v);
    ASSERT_EQ(qv::DecimalToText(d), qv::NumberToText(qv::KeptNumber(v))) << v;
    ASSERT_EQ(qv::DecimalToDouble(d), qv::KeptNumber(v)) << v;
    ASSERT_EQ(qv::PreciseComplexToText({d, d}, {qv::KeptNumber(v), qv::KeptNumber(v)}, true),
              qv::ComplexToText({qv::KeptNumber(v), qv::KeptNumber(v)}));
  }
}

TEST(QVDecimal, AllDigitsOnlyWhenAskedAndBeyondFifteen) {
  const qv::DecimalComplex v{qv::DecimalFromText("-0.74364388703715870475219150611477"),
                             qv::DecimalFromText("0.25")};
  const QVComplex kept = qv::DecimalToComplex(v);
  EXPECT_EQ(qv::PreciseComplexToText(v, kept, false), "(-0.743643887037159, 0.25)");
  EXPECT_EQ(qv::PreciseComplexToText(v, kept, true), "(-0.74364388703715870475219150611477, 0.25)");
  qv::SourceText text("  ( -0.74364388703715870475219150611477 ,0.25)");
  qv::DecimalComplex read;
  ASSERT_FALSE(qv::ReadDecimalComplex(text, read));
  EXPECT_EQ(read, v);
  qv::SourceText bad("(1, x)");
  EXPECT_TRUE(qv::ReadDecimalComplex(bad, read));
  EXPECT_EQ(read, v);  // a failed read changes nothing
}

}  // namespace
