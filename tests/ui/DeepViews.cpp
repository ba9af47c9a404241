#include "tests/ui/DeepViews.h"

#include <cmath>

#include "base/QVScan.h"
#include "engine/deep/QVPreciseReal.h"

namespace qv::test {

QVView DeepTestView(int exponent) {
  QVView view;
  view.Precise = {DecimalFromText("-1.5436890126920763615708559718017479865"),
                  DecimalFromText("1.2345678901234567890123456789E-40")};
  view.Viewpoint = DecimalToComplex(view.Precise);
  view.Scale = KeptNumber(std::pow(10.0, -exponent));
  return view;
}

double DecimalDifference(const Decimal& a, const Decimal& b) {
  PreciseReal x(4000), y(4000);
  x.Set(a);
  y.Set(b);
  mpfr_sub(x.Get(), x.Get(), y.Get(), MPFR_RNDN);
  return x.ToDouble();
}

}  // namespace qv::test
