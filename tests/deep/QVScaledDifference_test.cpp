#include "engine/deep/QVScaledDifference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace {

// Where every term of the doubles' step is a normal double, the scaled form
// is the same arithmetic times powers of 2, so it gives the doubles' bits:
// the differences, the range test and the rebasing test, step by step, until
// the difference has grown enough to leave the form.
TEST(QVScaledDifference, EqualsTheDoublesBitForBitWhereTheyAreExact) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-330, -300);  // cubes stay normal
  const auto tiny = [&] {
    const int e = exponent(random);
    return QVComplex{std::ldexp(unit(random), e), std::ldexp(unit(random), e)};
  };
  int steps = 0, left = 0;
  for (int formula = 0; formula < 3; ++formula) {
    for (int pixel = 0; pixel < 200; ++pixel) {
      const QVComplex dc = tiny();
      QVComplex d = tiny();
      qv::ScaledDifference s;
      s.Enter(d, dc);
      for (int i = 0; i < 60 && s.Active(); ++i, ++steps) {
        const QVComplex Z{2.0 * unit(random), 2.0 * unit(random)};
        d = qv::DifferenceStep(formula, Z, d, d, dc);
        s.Step(formula, Z);
        ASSERT_EQ(s.Difference().re, d.re) << formula << " " << pixel << " " << i;
        ASSERT_EQ(s.Difference().im, d.im);
        if (!s.Active()) break;
        const double gap = qv::Norm(Z) - 4.0;
        const QVComplex z = qv::Add(Z, d);
        ASSERT_EQ(s.Escaped(Z, gap, z, 4.0),
                  gap + (2.0 * (Z.re * d.re + Z.im * d.im) + qv::Norm(d)) > 0.0);
        ASSERT_EQ(s.Closer(Z), qv::Norm(z) < qv::Norm(d));
      }
      left += !s.Active();
    }
  }
  EXPECT_GT(steps, 1000);
  EXPECT_GT(left, 300);  // most pixels grew out of the form
}

// Far below the doubles (offsets of 2^-1000 to 2^-700; the form renormalises
// every few steps as the difference grows) it follows the same steps in long
// double, whose exponent reaches 2^-16382, to the rounding of doubles.
TEST(QVScaledDifference, FollowsAWiderExponentFarBelowTheDoubles) {
  if (std::numeric_limits<long double>::min_exponent > -2000) GTEST_SKIP() << "narrow long double";
  using LD = long double;
  std::mt19937 random(8);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-1000, -700);
  int compared = 0;
  for (int formula = 0; formula < 3; ++formula) {
    for (int pixel = 0; pixel < 100; ++pixel) {
      const int e = exponent(random);
      const QVComplex dc{std::ldexp(unit(random), e), std::ldexp(unit(random), e)};
      qv::ScaledDifference s;
      s.Enter({}, dc);
      LD re = 0, im = 0;
      const LD cre = std::ldexp(LD(1), -e) * dc.re, cim = std::ldexp(LD(1), -e) * dc.im;
      LD scale = std::ldexp(LD(1), e);  // re, im in units of 2^e
      for (int i = 0; i < 300 && s.Active(); ++i) {
        const QVComplex Z{1.5 * unit(random), 1.5 * unit(random)};
        const LD ur = re * scale, ui = im * scale;
        LD ar, ai;  // the factor of the difference in the step
        if (formula == 0) {
          ar = 2 * LD(Z.re) + ur;
          ai = 2 * LD(Z.im) + ui;
        } else if (formula == 1) {
          const LD tr = 3 * LD(Z.re) + ur, ti = 3 * LD(Z.im) + ui;
          ar = 3 * (LD(Z.re) * Z.re - LD(Z.im) * Z.im) + (tr * ur - ti * ui);
          ai = 6 * LD(Z.re) * Z.im + (tr * ui + ti * ur);
        } else {
          ar = 1;
          ai = 0;
        }
        const LD nr = ar * re - ai * im + cre, ni = ar * im + ai * re + cim;
        re = nr;
        im = ni;
        s.Step(formula, Z);
        const QVComplex d = s.Difference();
        // Compared in units of 2^e, where both are ordinary numbers.
        const LD er = LD(d.re) / scale - re, ei = LD(d.im) / scale - im;
        const LD size = std::sqrt(re * re + im * im);
        if (std::fabs(double(size)) * double(scale) < 0x1p-1000) continue;  // d itself subnormal
        ASSERT_LE(double(std::sqrt(er * er + ei * ei) / size), 1e-12)
            << formula << " " << pixel << " " << i;
        ++compared;
      }
    }
  }
  EXPECT_GT(compared, 20000);  // about 140 steps a pixel: many renormalisations each
}

// Below 2^-480 the doubles lose the square of the difference; the scaled form
// keeps it. At c = -2 + iy (Z = 2 at every step, |Z|^2 exactly the range 4)
// the first step gives z = -2 + iy, just outside the escape circle by y^2,
// which only the square shows.
TEST(QVScaledDifference, KeepsTheSquareTheDoublesLose) {
  const QVComplex dc{0.0, 1e-300};
  qv::ScaledDifference s;
  ASSERT_TRUE(qv::ScaledDifference::Needed({}, dc));
  s.Enter({}, dc);
  s.Step(0, {0.0, 0.0});  // d = dc: z = Z_1 + d with Z_1 = -2
  const QVComplex z{-2.0, 1e-300};
  EXPECT_TRUE(s.Escaped({-2.0, 0.0}, 0.0, z, 4.0));
  const QVComplex d = s.Difference();
  EXPECT_FALSE(0.0 + (2.0 * (-2.0 * d.re + 0.0 * d.im) + qv::Norm(d)) > 0.0);  // the doubles' test
}

}  // namespace
