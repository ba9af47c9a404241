#include "tests/deep/DeepReference.h"

#include <memory>
#include <thread>

#include "engine/deep/QVDeepKernel.h"
#include "engine/deep/QVPreciseReal.h"

namespace qv::test {

namespace {

// Rows first, first + step, ... of the rectangle into pixels (row by row).
void BruteForceRows(const QVParameter& p, const QVOutputMethod& output, int32_t depth, double range,
                    int64_t bits, int32_t first, int32_t step, std::vector<FractalPixel>& pixels) {
  const std::unique_ptr<QVOutputMethod> out = CloneAs(output);
  const int32_t formula = DeepFormulaKind(p.FractalMethod());  // 0: z^2, 1: z^3, 2: z
  const bool julia = p.FractalType() != 0;
  const PlaneMapping mapping(p);
  const PixelRect rect = p.ComputedRect();
  PreciseReal vr(bits), vi(bits), qr(bits), qi(bits);
  vr.Set(p.PreciseViewpoint().re);
  vi.Set(p.PreciseViewpoint().im);
  qr.Set(p.PreciseFractalParameter().re);
  qi.Set(p.PreciseFractalParameter().im);
  // The squares are exact (twice the bits) and their sum carries 64 bits more,
  // so |z|^2 against range is decided right even where z lies within an
  // ulp of the bits of the escape circle (as along the spine of c = -2).
  PreciseReal zr(bits), zi(bits), cr(bits), ci(bits), t(bits);
  PreciseReal xx(2 * bits), yy(2 * bits), norm(2 * bits + 64);
  for (int32_t row = first; row < rect.Height; row += step) {
    const int32_t y = rect.Y + row;
    for (int32_t x = rect.X; x < rect.X + rect.Width; ++x) {
      PreciseReal& pr = julia ? zr : cr;  // the pixel's point: the viewpoint plus its offset
      PreciseReal& pi = julia ? zi : ci;
      mpfr_add_d(pr.Get(), vr.Get(), mapping.ColumnOffset(x), MPFR_RNDN);
      mpfr_add_d(pi.Get(), vi.Get(), mapping.RowOffset(y), MPFR_RNDN);
      (julia ? cr : zr) = qr;
      (julia ? ci : zi) = qi;
      mpfr_sqr(xx.Get(), zr.Get(), MPFR_RNDN);
      mpfr_sqr(yy.Get(), zi.Get(), MPFR_RNDN);
      out->Start();
      for (int32_t j = 1; j <= depth; ++j) {
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
        out->Step(j, {zr.ToDouble(), zi.ToDouble()});
        if (mpfr_cmp_d(norm.Get(), range) > 0) break;
      }
      pixels[static_cast<size_t>(row) * static_cast<size_t>(rect.Width) +
             static_cast<size_t>(x - rect.X)] = out->Result();
    }
  }
}

}  // namespace

std::vector<FractalPixel> BruteForcePixels(const QVParameter& p, const QVOutputMethod& output,
                                           int32_t depth, double range, int64_t bits) {
  const PixelRect rect = p.ComputedRect();
  std::vector<FractalPixel> pixels(static_cast<size_t>(rect.Width) *
                                   static_cast<size_t>(rect.Height));
  // Two workers on alternate rows: each has its own values and writes its own rows.
  {
    std::jthread other([&] { BruteForceRows(p, output, depth, range, bits, 1, 2, pixels); });
    BruteForceRows(p, output, depth, range, bits, 0, 2, pixels);
  }
  return pixels;
}

}  // namespace qv::test
