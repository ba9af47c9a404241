#include "engine/deep/QVPreciseReal.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace qv {

namespace {

mpfr_prec_t Precision(int64_t bits) {
  return static_cast<mpfr_prec_t>(std::clamp<int64_t>(bits, MPFR_PREC_MIN, int64_t{1} << 24));
}

}  // namespace

PreciseReal::PreciseReal(int64_t bits) {
  mpfr_init2(value_, Precision(bits));
  mpfr_set_zero(value_, 1);
}

PreciseReal::PreciseReal(const PreciseReal& other) {
  mpfr_init2(value_, mpfr_get_prec(other.value_));
  mpfr_set(value_, other.value_, MPFR_RNDN);
}

PreciseReal& PreciseReal::operator=(const PreciseReal& other) {
  if (this != &other) {
    mpfr_set_prec(value_, mpfr_get_prec(other.value_));
    mpfr_set(value_, other.value_, MPFR_RNDN);
  }
  return *this;
}

PreciseReal::~PreciseReal() { mpfr_clear(value_); }

void PreciseReal::Set(const Decimal& d) {
  if (d.Digits.empty()) {
    mpfr_set_zero(value_, 1);
    return;
  }
  // The digits as a whole number times a power of ten: no decimal point, so
  // the process's locale has no say in how MPFR reads them.
  std::string text = d.Negative ? "-" : "";
  const int64_t power = d.Exponent + 1 - static_cast<int64_t>(d.Digits.size());
  text.append(d.Digits).append("e").append(std::to_string(power));
  mpfr_set_str(value_, text.c_str(), 10, MPFR_RNDN);
}

int64_t BitsForDigits(int64_t digits) {
  // log2(10) < 3.33; 8 bits spare.
  return std::max<int64_t>(digits, 1) * 333 / 100 + 8;
}

Decimal ToDecimal(const PreciseReal& value, int64_t digits) {
  if (mpfr_zero_p(value.Get()) || !mpfr_number_p(value.Get())) return {};
  mpfr_exp_t exponent = 0;
  char* s = mpfr_get_str(nullptr, &exponent, 10, static_cast<size_t>(std::max<int64_t>(digits, 1)),
                         value.Get(), MPFR_RNDN);
  std::string text(s);
  mpfr_free_str(s);
  Decimal d;
  if (!text.empty() && text[0] == '-') {
    d.Negative = true;
    text.erase(0, 1);
  }
  const size_t last = text.find_last_not_of('0');
  d.Digits = text.substr(0, last + 1);
  d.Exponent = static_cast<int64_t>(exponent) - 1;  // MPFR's digits stand for 0.DIGITS
  return d;
}

// The sum is taken at the bits of every place from the larger term's first
// digit down to the last place kept, and some more, so the one rounding that
// counts is the decimal one.
Decimal ShiftedDecimal(const Decimal& value, double first, double second, int64_t place) {
  const bool hasValue = !value.Digits.empty();
  if (!hasValue && first == 0.0 && second == 0.0) return {};
  const int64_t last =
      hasValue ? value.Exponent + 1 - static_cast<int64_t>(value.Digits.size()) : place;
  const int64_t finest = std::min(place, last);
  int64_t top = hasValue ? value.Exponent : finest;
  for (const double offset : {first, second}) {
    if (offset == 0.0) continue;
    top = std::max(top, static_cast<int64_t>(std::floor(std::log10(std::fabs(offset)))));
  }
  PreciseReal sum(BitsForDigits(top - finest + 3) + 16);
  sum.Set(value);
  // Each double is exact at 53 bits below its first; the sum's bits reach
  // below the place kept, so the additions round only there.
  mpfr_add_d(sum.Get(), sum.Get(), first, MPFR_RNDN);
  mpfr_add_d(sum.Get(), sum.Get(), second, MPFR_RNDN);
  if (mpfr_zero_p(sum.Get())) return {};
  // |sum| < 2^e, so its first digit lies at most at 10^ceil(e log10 2): one
  // place more than needed at worst, never one fewer.
  const double e = static_cast<double>(mpfr_get_exp(sum.Get()));
  const int64_t lead = static_cast<int64_t>(std::ceil(e * 0.30102999566398120));
  return ToDecimal(sum, std::max<int64_t>(lead - finest + 1, 1));
}

}  // namespace qv
