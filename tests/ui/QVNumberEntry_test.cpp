#include "ui/QVNumberEntry.h"

#include <gtest/gtest.h>

TEST(QVNumberEntry, RealsConvertStrictlyWithTheirMessage) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  };
  const Case cases[] = {
      {"0", true, 0.0},       {"-2.5", true, -2.5}, {"+1e3", true, 1000.0}, {".5", true, 0.5},
      {"1E-20", true, 1e-20}, {"", false, 0},       {"-", false, 0},        {"1e", false, 0},
      {"nan", false, 0},      {"inf", false, 0},    {"1,5", false, 0},      {"0x10", false, 0},
      {"1 e3", false, 0},     {"abc", false, 0},
  };
  for (const Case& c : cases) {
    const QVConverted<double> r = QVNumberEntry::ToReal(c.text);
    EXPECT_EQ(r.Ok(), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(*r.Value, c.value) << c.text;
      EXPECT_EQ(r.Message, "") << c.text;
    } else {
      EXPECT_EQ(r.Message, std::string("'") + c.text + "' は浮動小数点数ではありません");
    }
  }
}

TEST(QVNumberEntry, IntegersConvertIn32BitsOnly) {
  struct Case {
    const char* text;
    bool ok;
    int32_t value;
  };
  const Case cases[] = {
      {"640", true, 640},
      {"-1", true, -1},
      {"+7", true, 7},
      {"2147483647", true, INT32_MAX},
      {"-2147483648", true, INT32_MIN},
      {"640.0", false, 0},
      {"1e3", false, 0},
      {"", false, 0},
      {"+-1", false, 0},
      {"++1", false, 0},
      {"0x10", false, 0},
      {"5 5", false, 0},
  };
  for (const Case& c : cases) {
    const QVConverted<int32_t> r = QVNumberEntry::ToInteger(c.text);
    EXPECT_EQ(r.Ok(), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(*r.Value, c.value) << c.text;
    } else {
      EXPECT_EQ(r.Message, std::string("'") + c.text + "' は整数ではありません");
    }
  }
}

// What an input method types: full-width digits, signs, point and exponent,
// the minus sign, and blanks (ideographic ones too) around the number.
TEST(QVNumberEntry, FullWidthFormsAndSurroundingBlanksAreAccepted) {
  struct Case {
    const char* text;
    const char* normal;
    double real;  // 0 with no integer: the text is no integer
    bool integer;
  };
  const Case cases[] = {
      {"６４０", "640", 640, true},
      {"－１．５", "-1.5", -1.5, false},
      {"＋２ｅ３", "+2e3", 2000, false},
      {"１Ｅ－２", "1E-2", 0.01, false},
      {"\xE2\x88\x92"
       "7",
       "-7", -7, true},
      {"  12\t", "12", 12, true},
      {"\xE3\x80\x80"
       "３\xE3\x80\x80",
       "3", 3, true},
      {" -0.25 ", "-0.25", -0.25, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(QVNumberEntry::Normalise(c.text), c.normal) << c.text;
    const QVConverted<double> r = QVNumberEntry::ToReal(c.text);
    ASSERT_TRUE(r.Ok()) << c.text;
    EXPECT_EQ(*r.Value, c.real) << c.text;
    EXPECT_EQ(QVNumberEntry::ToInteger(c.text).Ok(), c.integer) << c.text;
  }
  // What is not a full-width ASCII form stays, and is refused.
  EXPECT_EQ(QVNumberEntry::Normalise("１，５"), "1,5");
  EXPECT_EQ(QVNumberEntry::Normalise("ー１"), "ー1");
  EXPECT_EQ(QVNumberEntry::ToReal("　").Message, "'　' は浮動小数点数ではありません");
}

// Beyond the range is not "not a number": the command line says out of range too.
TEST(QVNumberEntry, NumbersBeyondTheRangeAreToldAsOutOfRange) {
  EXPECT_EQ(QVNumberEntry::ToReal("1e400").Message,
            "'1e400' は範囲外です（数は -1.79E308 から 1.79E308 までです）");
  EXPECT_EQ(QVNumberEntry::ToInteger("2147483648").Message,
            "'2147483648' は範囲外です（整数は -2147483648 から 2147483647 までです）");
  EXPECT_TRUE(QVNumberEntry::ToPositive("1e-300", "x").Ok());
  EXPECT_EQ(QVNumberEntry::ToPositive("0e5", "x").Message,
            "'0e5' はxにできません（0 より大きい数にしてください）");
  EXPECT_EQ(QVNumberEntry::ToCount("1", "x").Value, 1);
}

TEST(QVNumberEntry, NumbersShowAsTheProjectTextWritesThem) {
  EXPECT_EQ(QVNumberEntry::RealText(0.123456789012345678), "0.123456789012346");
  EXPECT_EQ(QVNumberEntry::RealText(1e-20), "1E-20");
  EXPECT_EQ(QVNumberEntry::RealText(-0.5), "-0.5");
  EXPECT_EQ(QVNumberEntry::IntegerText(-640), "-640");
}
