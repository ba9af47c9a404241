// The scanning helpers and the number format of the project text.
#include "base/QVScan.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

using qv::SourceText;

namespace {

std::string Rest(const SourceText& text) { return std::string(text.Rest()); }

std::pair<int, int> LineColumnOf(const std::string& s, size_t pos) {
  SourceText text(s);
  int line = 0;
  int column = 0;
  text.LineColumn(pos, line, column);
  return {line, column};
}

}  // namespace

TEST(QVScan, SkipBlanksStopsAtLineBreakAndSkipWhitespaceDoesNot) {
  SourceText text(" \t \r\n\tx");
  qv::SkipBlanks(text);
  EXPECT_EQ(Rest(text), "\r\n\tx");
  qv::SkipWhitespace(text);
  EXPECT_EQ(Rest(text), "x");
}

TEST(QVScan, MatchKeywordConsumesBlanksAndTheWordOnlyOnAMatch) {
  SourceText match(" \tMixer: Mixer1");
  EXPECT_FALSE(qv::MatchKeyword(match, "Mixer:"));
  EXPECT_EQ(Rest(match), " Mixer1");

  SourceText lineBreak("\nMixer: Mixer1");
  EXPECT_TRUE(qv::MatchKeyword(lineBreak, "Mixer:"));
  EXPECT_EQ(Rest(lineBreak), "\nMixer: Mixer1");

  SourceText atEnd("Mixer:");
  EXPECT_FALSE(qv::MatchKeyword(atEnd, "Mixer:"));
  EXPECT_TRUE(atEnd.Empty());

  // The blanks before a mismatching word stay consumed; the word stays.
  SourceText other("  Depth:100");
  EXPECT_TRUE(qv::MatchKeyword(other, "Depth:"));
  EXPECT_EQ(Rest(other), "Depth:100");

  SourceText blankBeforeColon("Depth : 100");
  EXPECT_TRUE(qv::MatchKeyword(blankBeforeColon, "Depth:"));
  SourceText otherCase("depth: 100");
  EXPECT_TRUE(qv::MatchKeyword(otherCase, "Depth:"));
  // Probing records no failure.
  EXPECT_FALSE(otherCase.HasError());
}

TEST(QVScan, ReadWordTakesTheRunUpToWhitespace) {
  SourceText abc("abc");
  EXPECT_EQ(qv::ReadWord(abc), "abc");
  EXPECT_TRUE(abc.Empty());

  SourceText element("  +Effector1\r\n");
  EXPECT_EQ(qv::ReadWord(element), "+Effector1");
  EXPECT_EQ(Rest(element), "\r\n");

  SourceText lineBreak("\nword");
  EXPECT_EQ(qv::ReadWord(lineBreak), "");
  EXPECT_EQ(Rest(lineBreak), "\nword");

  SourceText empty("");
  EXPECT_EQ(qv::ReadWord(empty), "");

  SourceText japanese("\t回数 {");
  EXPECT_EQ(qv::ReadWord(japanese), "回数");
  EXPECT_EQ(Rest(japanese), " {");
}

TEST(QVScan, ReadNumberTakesTheNumberCharactersAndConverts) {
  SourceText text(" -1.5E-3)");
  double v = 0.0;
  EXPECT_FALSE(qv::ReadNumber(text, v));
  EXPECT_EQ(v, -0.0015);
  EXPECT_EQ(Rest(text), ")");

  SourceText lineBreak("\n5");
  EXPECT_TRUE(qv::ReadNumber(lineBreak, v));
  EXPECT_EQ(Rest(lineBreak), "\n5");
  EXPECT_TRUE(lineBreak.HasError());
  EXPECT_EQ(lineBreak.ErrorPosition(), 0u);

  SourceText plain("320\n");
  EXPECT_FALSE(qv::ReadNumber(plain, v));
  EXPECT_EQ(v, 320.0);
  SourceText plus("+2.5e1 ");
  EXPECT_FALSE(qv::ReadNumber(plus, v));
  EXPECT_EQ(v, 25.0);
  SourceText tiny("1e-400");  // underflow is not an error
  EXPECT_FALSE(qv::ReadNumber(tiny, v));
  EXPECT_EQ(v, 0.0);
}

TEST(QVScan, ReadNumberThrowsOnTokensThatDoNotConvertAndConsumesNothing) {
  for (const char* token :
       {"1.2.3", "1D5", "1e400", "-1e400", "1-2", "+-1", "-", ".", "1e", "1E+", "d", "1..2"}) {
    SourceText text(std::string(" ") + token + " ");
    double v = 0.0;
    try {
      qv::ReadNumber(text, v);
      ADD_FAILURE() << token << " converted to " << v;
    } catch (const qv::NumberFormatError& e) {
      EXPECT_EQ(e.Token(), token);
      const bool range = std::string(token).ends_with("e400");  // grammatical, beyond a double
      EXPECT_EQ(std::string(e.what()),
                std::string("'") + token + "' is " +
                    (range ? "out of range: a number must lie between -1.79E308 and 1.79E308"
                           : "not a number"));
      EXPECT_EQ(text.Position(), 1u) << token;  // the blank only
    }
  }
}

TEST(QVScan, ConvertNumberRejectsWhatTheLibraryWouldAcceptBeyondTheGrammar) {
  EXPECT_THROW(qv::ConvertNumber("inf"), qv::NumberFormatError);
  EXPECT_THROW(qv::ConvertNumber("nan"), qv::NumberFormatError);
  EXPECT_THROW(qv::ConvertNumber("0x10"), qv::NumberFormatError);
  EXPECT_THROW(qv::ConvertNumber(""), qv::NumberFormatError);
  EXPECT_EQ(qv::ConvertNumber("1."), 1.0);
  EXPECT_EQ(qv::ConvertNumber(".5"), 0.5);
  EXPECT_EQ(qv::ConvertNumber("-0"), 0.0);
  EXPECT_TRUE(std::signbit(qv::ConvertNumber("-0")));
  EXPECT_EQ(qv::ConvertNumber("1.7976931348623157e308"), 1.7976931348623157e308);
}

TEST(QVScan, ReadComplexAllowsBlanksBeforeEachItem) {
  QVComplex c{9.0, 9.0};
  SourceText compact("(0,0)");
  EXPECT_FALSE(qv::ReadComplex(compact, c));
  EXPECT_EQ(c, (QVComplex{0.0, 0.0}));

  SourceText spaced("(0, 0)x");
  c = {9.0, 9.0};
  EXPECT_FALSE(qv::ReadComplex(spaced, c));
  EXPECT_EQ(c, (QVComplex{0.0, 0.0}));
  EXPECT_EQ(Rest(spaced), "x");

  SourceText blanks("( 1 , -2 )");
  EXPECT_FALSE(qv::ReadComplex(blanks, c));
  EXPECT_EQ(c, (QVComplex{1.0, -2.0}));
  EXPECT_TRUE(blanks.Empty());
}

TEST(QVScan, ReadComplexFailsWhereTheGrammarBreaks) {
  QVComplex c{7.0, 7.0};
  SourceText semicolon("(1; 2)");
  EXPECT_TRUE(qv::ReadComplex(semicolon, c));
  EXPECT_EQ(Rest(semicolon), "; 2)");  // what was read stays consumed
  EXPECT_EQ(semicolon.ErrorPosition(), 2u);
  EXPECT_EQ(semicolon.ErrorMessage(), "expected \",\"");
  EXPECT_EQ(c, (QVComplex{7.0, 7.0}));

  SourceText lineBreak("(1,\n2)");
  EXPECT_TRUE(qv::ReadComplex(lineBreak, c));
  EXPECT_EQ(lineBreak.ErrorPosition(), 3u);

  SourceText truncated("(1, 2");
  EXPECT_TRUE(qv::ReadComplex(truncated, c));
  EXPECT_EQ(truncated.ErrorMessage(), "expected \")\" but the text ends");
}

TEST(QVScan, ExpectCharOnTheEmptyTextFailsWithoutCrashing) {
  SourceText empty("");
  EXPECT_TRUE(qv::ExpectChar(empty, '{'));
  EXPECT_TRUE(empty.HasError());
  EXPECT_EQ(empty.ErrorMessage(), "expected \"{\" but the text ends");

  SourceText blanks("  \t");
  EXPECT_TRUE(qv::ExpectChar(blanks, '}'));
  EXPECT_EQ(blanks.ErrorPosition(), 3u);

  SourceText other(" x{");
  EXPECT_TRUE(qv::ExpectChar(other, '{'));
  EXPECT_EQ(Rest(other), "x{");
  EXPECT_EQ(other.ErrorMessage(), "expected \"{\"");

  SourceText brace(" {x");
  EXPECT_FALSE(qv::ExpectChar(brace, '{'));
  EXPECT_EQ(Rest(brace), "x");
}

TEST(QVScan, FirstRecordedFailureWins) {
  SourceText text("abc");
  text.FailAt(1, "first");
  text.FailAt(2, "second");
  EXPECT_EQ(text.ErrorMessage(), "first");
  EXPECT_EQ(text.ErrorPosition(), 1u);
}

TEST(QVScan, NumberToTextUsesFifteenDigitsAndTheGeneralFormat) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {4.0, "4"},
      {0.1, "0.1"},
      {1.0 / 3.0, "0.333333333333333"},
      {0.0001, "0.0001"},
      {0.00005, "5E-5"},
      {1e-20, "1E-20"},
      {1e15, "1E15"},
      {1.5e20, "1.5E20"},
      {-1.0, "-1"},
      {-0.0, "0"},
      {0.0, "0"},
      {1.9875, "1.9875"},
      {-1.9875, "-1.9875"},
      {0.5, "0.5"},
      {0.25, "0.25"},
      {100.0, "100"},
      {999999999999999.0, "999999999999999"},
      {2.0 / 3.0, "0.666666666666667"},
      {-2.5e-7, "-2.5E-7"},
      {123456.789, "123456.789"},
      {1e100, "1E100"},
  };
  for (const auto& c : cases) EXPECT_EQ(qv::NumberToText(c.value), c.text) << c.text;
}

TEST(QVScan, NumberToTextReadsBackWithinFifteenDigits) {
  for (double v : {1.0 / 3.0, -7.123456789012345e-9, 6.02214076e23, 0.1 + 0.2, 1e-4, 9.99e14}) {
    const double back = qv::ConvertNumber(qv::NumberToText(v));
    EXPECT_NEAR(back, v, std::fabs(v) * 1e-14) << v;
    // Written again, the text is the same (the text is a fixed point).
    EXPECT_EQ(qv::NumberToText(back), qv::NumberToText(v));
  }
}

// KeptNumber against its definition, reading the written text back, bit for
// bit, over the edges of the format and random doubles of every magnitude.
TEST(QVScan, KeptNumberIsTheWrittenTextReadBack) {
  using Limits = std::numeric_limits<double>;
  const double largestKept = 1.79769313486231e308;
  const double edges[] = {0.0,
                          -0.0,
                          Limits::denorm_min(),
                          -Limits::denorm_min(),
                          Limits::min() - Limits::denorm_min(),
                          Limits::min(),
                          1e-308,
                          2.0 / 3.0,
                          0.666666666666667,
                          1e15,
                          999999999999999.5,
                          0.12345678901234450,
                          0.12345678901234449,
                          9.999999999999995e-5,
                          3e-11,
                          Limits::max(),
                          largestKept,
                          -Limits::max()};
  std::vector<double> values;
  for (double edge : edges) {
    values.push_back(edge);
    values.push_back(std::nextafter(edge, Limits::infinity()));
    values.push_back(std::nextafter(edge, -Limits::infinity()));
  }
  std::mt19937_64 rng(7);
  for (int i = 0; i < 100000; ++i) {
    const double v = std::bit_cast<double>(rng());
    if (std::isfinite(v)) values.push_back(v);
    values.push_back(std::uniform_real_distribution<double>(-10.0, 10.0)(rng));
  }
  for (double v : values) {
    if (!std::isfinite(v)) continue;                  // the neighbours of the largest double
    double expected = std::copysign(largestKept, v);  // 15 digits past the double range
    try {
      expected = qv::ConvertNumber(qv::NumberToText(v));
    } catch (const qv::NumberFormatError&) {
      EXPECT_GT(std::fabs(v), largestKept) << v;
    }
    const double kept = qv::KeptNumber(v);
    ASSERT_EQ(std::bit_cast<uint64_t>(kept), std::bit_cast<uint64_t>(expected)) << v;
    // A kept value keeps as itself, and writes as itself.
    ASSERT_EQ(qv::KeptNumber(kept), kept) << v;
    ASSERT_EQ(qv::ConvertNumber(qv::NumberToText(kept)), kept) << v;
  }
  EXPECT_TRUE(std::isnan(qv::KeptNumber(Limits::quiet_NaN())));
  EXPECT_EQ(qv::KeptNumber(-Limits::infinity()), -Limits::infinity());
}

// A number read from a project's 15-digit text is kept as it is: reading and
// saving an existing project changes nothing.
TEST(QVScan, KeptNumberLeavesFifteenDigitTextsAlone) {
  std::mt19937_64 rng(11);
  for (int i = 0; i < 100000; ++i) {
    const std::string text = std::to_string(rng() % 1000000000000000) + "E" +
                             std::to_string(static_cast<int>(rng() % 600) - 320);
    const double read = qv::ConvertNumber(text);
    ASSERT_EQ(qv::KeptNumber(read), read) << text;
  }
}

TEST(QVScan, IntAndComplexToText) {
  EXPECT_EQ(qv::IntToText(320), "320");
  EXPECT_EQ(qv::IntToText(-5), "-5");
  EXPECT_EQ(qv::ComplexToText({1.0, -1.0}), "(1, -1)");
  EXPECT_EQ(qv::ComplexToText({50.0, 0.0}), "(50, 0)");
}

TEST(QVScan, LineColumnCountsCharactersAndEveryKindOfLineEnd) {
  EXPECT_EQ(LineColumnOf("abc", 0), std::make_pair(1, 1));
  EXPECT_EQ(LineColumnOf("abc", 2), std::make_pair(1, 3));
  EXPECT_EQ(LineColumnOf("ab\ncd", 3), std::make_pair(2, 1));
  EXPECT_EQ(LineColumnOf("ab\r\ncd", 5), std::make_pair(2, 2));
  EXPECT_EQ(LineColumnOf("ab\rcd", 3), std::make_pair(2, 1));
  // "回数" is two characters of three bytes each; x follows at column 3.
  const std::string japanese = "回数x";
  EXPECT_EQ(LineColumnOf(japanese, japanese.find('x')), std::make_pair(1, 3));
  EXPECT_EQ(LineColumnOf("a\n\tマンデルブロ Z", std::string("a\n\tマンデルブロ ").size()),
            std::make_pair(2, 9));
  // A position beyond the end counts to the end.
  EXPECT_EQ(LineColumnOf("ab\n", 99), std::make_pair(2, 1));
}

// A host program may switch the process to a locale whose decimal mark is a
// comma (a Qt application does so on start-up); project text must not change.
TEST(QVScan, NumbersIgnoreADecimalCommaLocale) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  const char* comma = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE"}) {
    if (std::setlocale(LC_ALL, name) && std::string(std::localeconv()->decimal_point) == ",") {
      comma = name;
      break;
    }
  }
  if (!comma) {
    std::setlocale(LC_ALL, saved.c_str());
    GTEST_SKIP() << "no locale with a decimal comma is installed";
  }
  const std::string half = qv::NumberToText(1.5);
  const std::string four = qv::NumberToText(4.0);
  const std::string tiny = qv::NumberToText(-2.5e-7);
  const std::string complex = qv::ComplexToText({0.25, -1e20});
  const double underflow = qv::ConvertNumber("1.5e-400");
  const double smallest = qv::ConvertNumber("-2.5e-324");
  std::setlocale(LC_ALL, saved.c_str());
  SCOPED_TRACE(comma);
  EXPECT_EQ(half, "1.5");
  EXPECT_EQ(four, "4");
  EXPECT_EQ(tiny, "-2.5E-7");
  EXPECT_EQ(complex, "(0.25, -1E20)");
  EXPECT_EQ(underflow, 0.0);
  EXPECT_EQ(smallest, -std::numeric_limits<double>::denorm_min());
}

TEST(QVScan, ConvertNumberTakesUnderflowAsZeroAndRejectsOverflow) {
  EXPECT_EQ(qv::ConvertNumber("1.5e-400"), 0.0);
  EXPECT_TRUE(std::signbit(qv::ConvertNumber("-1e-999999999999999999999")));
  EXPECT_EQ(qv::ConvertNumber("0.0000000000000000000000001e-320"), 0.0);
  EXPECT_EQ(qv::ConvertNumber("4.9e-324"), std::numeric_limits<double>::denorm_min());
  EXPECT_THROW(qv::ConvertNumber("1e309"), qv::NumberFormatError);
  EXPECT_THROW(qv::ConvertNumber("-1e999999999999999999999"), qv::NumberFormatError);
  EXPECT_EQ(qv::ConvertNumber("0e999999999999999999999"), 0.0);
}
