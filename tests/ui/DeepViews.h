#pragma once
// Deep views for the viewer's tests, and the plane distance between two
// decimals taken in MPFR, independently of the code under test.
#include "base/QVDecimal.h"
#include "ui/QVViewerGesture.h"

namespace qv::test {

/// A view near M(3,1) with more digits than any double holds (its imaginary
/// coordinate is 1.2345678901234567890123456789E-40), of scale 10^-exponent.
QVView DeepTestView(int exponent);

/// a - b, computed in MPFR at 4000 bits and rounded to a double.
double DecimalDifference(const Decimal& a, const Decimal& b);

}  // namespace qv::test
