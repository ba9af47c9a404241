#pragma once
// Decimal numbers with every digit the project text gave them: the viewpoint
// and the constant C are held this way, so a deep view keeps the digits its
// scale needs, beyond the 15 a double keeps. Layer 0: text only, no
// arithmetic beyond rounding to a double.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/QVComplex.h"
#include "base/QVScan.h"

namespace qv {

/// A decimal number: Digits (no leading or trailing zeros; empty for zero)
/// times 10 to the Exponent, the first digit standing for units:
/// "-1.25E-3" is {true, "125", -3}.
struct Decimal {
  bool Negative = false;
  std::string Digits;
  int64_t Exponent = 0;

  friend bool operator==(const Decimal&, const Decimal&) = default;
};

/// A complex value of two decimals.
struct DecimalComplex {
  Decimal re;
  Decimal im;

  friend bool operator==(const DecimalComplex&, const DecimalComplex&) = default;
};

/// The number a token of the project text stands for, every digit kept
/// (zeros that do not count trimmed). The grammar and the range are those
/// of ConvertNumber, which throws NumberFormatError here too.
Decimal DecimalFromText(std::string_view token);
/// The decimal of the 15 digits the text keeps of value (KeptNumber); NaN and
/// the infinities give zero. Zero: -0 and 0 alike.
Decimal DecimalFromDouble(double value);
/// The digits laid out as NumberToText lays out its 15: plain decimal for
/// exponents -4 to 14, otherwise mantissa "E" exponent; zero is "0".
std::string DecimalToText(const Decimal& value);
/// The double the text keeps of value: KeptNumber of its nearest double.
double DecimalToDouble(const Decimal& value);
inline QVComplex DecimalToComplex(const DecimalComplex& value) {
  return {DecimalToDouble(value.re), DecimalToDouble(value.im)};
}
inline DecimalComplex DecimalFromComplex(QVComplex value) {
  return {DecimalFromDouble(value.re), DecimalFromDouble(value.im)};
}
/// The number of significant digits value holds (0 for zero).
inline int64_t SignificantDigits(const Decimal& value) {
  return static_cast<int64_t>(value.Digits.size());
}

/// The project text of a value held both ways: kept (its doubles) as
/// ComplexToText writes it, except that a part of precise with more than 15
/// digits is written with every digit when allDigits is true.
std::string PreciseComplexToText(const DecimalComplex& precise, QVComplex kept, bool allDigits);
/// ReadComplex keeping every digit: "(" number "," number ")".
bool ReadDecimalComplex(SourceText& text, DecimalComplex& value);

}  // namespace qv
