#include "engine/deep/QVPreciseReal.h"

#include <algorithm>
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

}  // namespace qv
