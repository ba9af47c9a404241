#include "tests/deep/DeepReference.h"

#include "engine/deep/QVDeepKernel.h"
#include "engine/deep/QVPreciseReal.h"

namespace qv::test {

std::vector<int32_t> BruteForceCounts(const QVParameter& p, int32_t depth, double range,
                                      int64_t bits) {
  const int32_t formula = DeepFormulaKind(p.FractalMethod());  // 0: z^2, 1: z^3, 2: z
  const bool julia = p.FractalType() != 0;
  const PlaneMapping mapping(p);
  const PixelRect rect = p.ComputedRect();
  PreciseReal vr(bits), vi(bits), qr(bits), qi(bits);
  vr.Set(p.PreciseViewpoint().re);
  vi.Set(p.PreciseViewpoint().im);
  qr.Set(p.PreciseFractalParameter().re);
  qi.Set(p.PreciseFractalParameter().im);
  PreciseReal zr(bits), zi(bits), cr(bits), ci(bits), xx(bits), yy(bits), t(bits), norm(bits);
  std::vector<int32_t> counts;
  for (int32_t y = rect.Y; y < rect.Y + rect.Height; ++y) {
    for (int32_t x = rect.X; x < rect.X + rect.Width; ++x) {
      PreciseReal& pr = julia ? zr : cr;  // the pixel's point: the viewpoint plus its offset
      PreciseReal& pi = julia ? zi : ci;
      mpfr_add_d(pr.Get(), vr.Get(), mapping.ColumnOffset(x), MPFR_RNDN);
      mpfr_add_d(pi.Get(), vi.Get(), mapping.RowOffset(y), MPFR_RNDN);
      (julia ? cr : zr) = qr;
      (julia ? ci : zi) = qi;
      int32_t count = depth;
      for (int32_t j = 1; j <= depth; ++j) {
        mpfr_sqr(xx.Get(), zr.Get(), MPFR_RNDN);
        mpfr_sqr(yy.Get(), zi.Get(), MPFR_RNDN);
        if (formula == 0) {  // (x^2 - y^2, 2xy)
          mpfr_mul(zi.Get(), zi.Get(), zr.Get(), MPFR_RNDN);
          mpfr_mul_2ui(zi.Get(), zi.Get(), 1, MPFR_RNDN);
          mpfr_sub(zr.Get(), xx.Get(), yy.Get(), MPFR_RNDN);
        } else if (formula == 1) {  // (x^3 - 3xy^2, 3x^2y - y^3)
          mpfr_mul_ui(t.Get(), yy.Get(), 3, MPFR_RNDN);
          mpfr_sub(t.Get(), xx.Get(), t.Get(), MPFR_RNDN);
          mpfr_mul(zr.Get(), zr.Get(), t.Get(), MPFR_RNDN);
          mpfr_mul_ui(t.Get(), xx.Get(), 3, MPFR_RNDN);
          mpfr_sub(t.Get(), t.Get(), yy.Get(), MPFR_RNDN);
          mpfr_mul(zi.Get(), zi.Get(), t.Get(), MPFR_RNDN);
        }
        mpfr_add(zr.Get(), zr.Get(), cr.Get(), MPFR_RNDN);
        mpfr_add(zi.Get(), zi.Get(), ci.Get(), MPFR_RNDN);
        mpfr_sqr(xx.Get(), zr.Get(), MPFR_RNDN);
        mpfr_sqr(yy.Get(), zi.Get(), MPFR_RNDN);
        mpfr_add(norm.Get(), xx.Get(), yy.Get(), MPFR_RNDN);
        if (mpfr_cmp_d(norm.Get(), range) > 0) {
          count = j;
          break;
        }
      }
      counts.push_back(count);
    }
  }
  return counts;
}

}  // namespace qv::test
