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
      {" 1", false, 0},       {"1e999", false, 0},  {"abc", false, 0},
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
      {"2147483648", false, 0},
      {"640.0", false, 0},
      {"1e3", false, 0},
      {"", false, 0},
      {"+-1", false, 0},
      {"++1", false, 0},
      {"0x10", false, 0},
      {" 5", false, 0},
      {"5 ", false, 0},
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

TEST(QVNumberEntry, NumbersShowAsTheProjectTextWritesThem) {
  EXPECT_EQ(QVNumberEntry::RealText(0.123456789012345678), "0.123456789012346");
  EXPECT_EQ(QVNumberEntry::RealText(1e-20), "1E-20");
  EXPECT_EQ(QVNumberEntry::RealText(-0.5), "-0.5");
  EXPECT_EQ(QVNumberEntry::IntegerText(-640), "-640");
}
