#include "base/QVDecimal.h"

#include <limits>

namespace qv {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Decimal exponents beyond this lie far outside any double and any view:
// they saturate here, so no arithmetic on them overflows.
constexpr int64_t kExponentLimit = int64_t{1} << 40;

int64_t Saturated(int64_t v) {
  return v > kExponentLimit ? kExponentLimit : v < -kExponentLimit ? -kExponentLimit : v;
}

}  // namespace

Decimal DecimalFromText(std::string_view token) {
  ConvertNumber(token);  // the grammar and the range, with the reader's own errors
  Decimal d;
  size_t i = 0;
  if (token[i] == '+' || token[i] == '-') d.Negative = token[i++] == '-';
  std::string digits;
  int64_t pointAt = -1;  // digits before the point
  for (; i < token.size() && (IsDigit(token[i]) || token[i] == '.'); ++i) {
    if (token[i] == '.') {
      pointAt = static_cast<int64_t>(digits.size());
    } else {
      digits += token[i];
    }
  }
  if (pointAt < 0) pointAt = static_cast<int64_t>(digits.size());
  int64_t exponent = 0;
  if (i < token.size()) {  // 'E' or 'e', checked by ConvertNumber
    ++i;
    bool negative = false;
    if (token[i] == '+' || token[i] == '-') negative = token[i++] == '-';
    for (; i < token.size(); ++i) exponent = Saturated(exponent * 10 + (token[i] - '0'));
    if (negative) exponent = -exponent;
  }
  const size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return {};  // zero, of either sign
  const size_t last = digits.find_last_not_of('0');
  d.Digits = digits.substr(first, last - first + 1);
  d.Exponent = Saturated(exponent + pointAt - static_cast<int64_t>(first) - 1);
  return d;
}

Decimal DecimalFromDouble(double value) {
  if (!std::isfinite(value) || value == 0.0) return {};
  return DecimalFromText(NumberToText(KeptNumber(value)));
}

std::string DecimalToText(const Decimal& value) {
  return value.Digits.empty() ? "0" : DigitsToText(value.Negative, value.Digits, value.Exponent);
}

double DecimalToDouble(const Decimal& value) {
  if (value.Digits.empty()) return 0.0;
  // Far beyond the double range either way: the text's own limits.
  if (value.Exponent > 400) {
    return value.Negative ? -1.79769313486231e308 : 1.79769313486231e308;
  }
  if (value.Exponent < -400) return 0.0;
  try {
    return KeptNumber(ConvertNumber(DecimalToText(value)));
  } catch (const NumberFormatError&) {  // digits that round past the largest double
    return value.Negative ? -1.79769313486231e308 : 1.79769313486231e308;
  }
}

std::string PreciseComplexToText(const DecimalComplex& precise, QVComplex kept, bool allDigits) {
  const auto part = [allDigits](const Decimal& d, double k) {
    return allDigits && SignificantDigits(d) > 15 ? DecimalToText(d) : NumberToText(k);
  };
  std::string out = "(";
  out.append(part(precise.re, kept.re)).append(", ").append(part(precise.im, kept.im)).append(")");
  return out;
}

bool ReadDecimalComplex(SourceText& text, DecimalComplex& value) {
  const auto part = [&text](Decimal& d) {
    std::string_view token;
    if (ReadNumberToken(text, token)) return true;
    d = DecimalFromText(token);
    text.Consume(token.size());
    return false;
  };
  DecimalComplex read;
  if (ExpectChar(text, '(') || part(read.re) || ExpectChar(text, ',') || part(read.im) ||
      ExpectChar(text, ')')) {
    return true;
  }
  value = read;
  return false;
}

}  // namespace qv
