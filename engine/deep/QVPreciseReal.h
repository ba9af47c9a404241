#pragma once
// A real number in MPFR at a chosen precision, owned (copy and move follow
// the value). Rounding is to nearest everywhere. The deep path holds the
// viewpoint and the reference orbit in it; the tests' brute-force reference
// iterates whole orbits in it.
#include <mpfr.h>

#include <cstdint>

#include "base/QVDecimal.h"

namespace qv {

class PreciseReal {
 public:
  /// Zero at bits of precision (at least MPFR_PREC_MIN).
  explicit PreciseReal(int64_t bits);
  PreciseReal(const PreciseReal& other);
  PreciseReal& operator=(const PreciseReal& other);
  ~PreciseReal();

  mpfr_ptr Get() { return value_; }
  mpfr_srcptr Get() const { return value_; }
  double ToDouble() const { return mpfr_get_d(value_, MPFR_RNDN); }
  void Set(double v) { mpfr_set_d(value_, v, MPFR_RNDN); }
  /// The decimal's value, rounded to this precision.
  void Set(const Decimal& d);

 private:
  mpfr_t value_;
};

/// The bits that hold a decimal of digits significant digits exactly enough
/// that writing it back with as many digits gives the same digits.
int64_t BitsForDigits(int64_t digits);

/// The value as a decimal of digits significant digits (rounded to nearest).
Decimal ToDecimal(const PreciseReal& value, int64_t digits);

/// value + first + second (the sum exact), rounded to nearest at the finer of
/// the decimal place 10^place and the last place value holds: a move of a
/// view keeps every digit of its viewpoint and gains those its pixels need.
/// Zero is {}.
Decimal ShiftedDecimal(const Decimal& value, double first, double second, int64_t place);

}  // namespace qv
