#include "engine/methods/QVFractalMethods.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <iomanip>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <typeinfo>
#include <utility>

namespace {

const QVComplex kGuard{1e10, 1e10};

QVComplex Iterate(int32_t kind, QVComplex z, QVComplex c) {
  return FractalMethods()[kind]->Iterate(z, c);
}

std::string Text(QVComplex z) {
  std::ostringstream out;
  out << std::setprecision(17) << "(" << z.re << ", " << z.im << ")";
  return out.str();
}

// --- An exact reference for the quotient: the textbook formula in long double,
// whose range holds every square of a double.
bool LongDoubleHoldsSquares() {
  return std::numeric_limits<long double>::max_exponent >= 2 * 1024 + 64;
}

void ExpectQuotientClose(QVComplex a, QVComplex b) {
  const long double ar = a.re, ai = a.im, br = b.re, bi = b.im;
  const long double den = br * br + bi * bi;
  const long double re = (ar * br + ai * bi) / den;
  const long double im = (ai * br - ar * bi) / den;
  const long double norm = std::hypot(re, im);
  const QVComplex q = qv::Div(a, b);
  // Smith's method is accurate to a few units in the last place of the
  // result's modulus (not of a part much smaller than it).
  const long double tolerance = 8 * std::numeric_limits<double>::epsilon() * norm;
  EXPECT_LE(std::fabs(q.re - re), tolerance) << Text(a) << " / " << Text(b);
  EXPECT_LE(std::fabs(q.im - im), tolerance) << Text(a) << " / " << Text(b);
}

// --- The formulas again with every product and quotient stored to a volatile
// double, so each is rounded on its own: a fused multiply-add in the library
// would make its results differ in the last bits.
QVComplex MulRounded(QVComplex a, QVComplex b) {
  volatile double rr = a.re * b.re;
  volatile double ii = a.im * b.im;
  volatile double ri = a.re * b.im;
  volatile double ir = b.re * a.im;
  return {rr - ii, ri + ir};
}

QVComplex DivRounded(QVComplex a, QVComplex b) {
  const bool realLarger = std::fabs(b.re) > std::fabs(b.im);
  volatile double r = realLarger ? b.im / b.re : b.re / b.im;
  volatile double rr = r * r;
  volatile double d = (realLarger ? b.re : b.im) * (rr + 1.0);
  if (realLarger) {
    volatile double t1 = r * a.im;
    volatile double t2 = r * a.re;
    return {(a.re + t1) / d, (a.im - t2) / d};
  }
  volatile double t1 = a.re * r;
  volatile double t2 = r * a.im;
  return {(t1 + a.im) / d, (t2 - a.re) / d};
}

QVComplex InverseRounded(QVComplex w, QVComplex c) { return qv::Add(DivRounded({1.0, 0.0}, w), c); }

QVComplex ReferenceIterate(int32_t kind, QVComplex z, QVComplex c) {
  const QVComplex z2 = MulRounded(z, z);
  const bool guarded = !(std::hypot(z.re, z.im) >= 1e-10);
  switch (kind) {
    case QVFractalMethod_Z3::KindIndex:
      return qv::Add(MulRounded(z2, z), c);
    case QVFractalMethod_1divZ::KindIndex:
      return guarded ? kGuard : InverseRounded(z, c);
    case QVFractalMethod_1divZ2::KindIndex:
      return guarded ? kGuard : InverseRounded(z2, c);
    case QVFractalMethod_1divZ3::KindIndex:
      return guarded ? kGuard : InverseRounded(MulRounded(z2, z), c);
    case QVFractalMethod_1divZ2_plus_c::KindIndex: {
      const QVComplex w = qv::Add(z2, c);
      if (!(std::hypot(w.re, w.im) >= 1e-10)) return kGuard;
      return qv::Add(qv::Sub(DivRounded({1.0, 0.0}, w), w), c);
    }
  }
  ADD_FAILURE() << "no reference for kind " << kind;
  return {};
}

bool SameBits(QVComplex a, QVComplex b) {
  return std::bit_cast<uint64_t>(a.re) == std::bit_cast<uint64_t>(b.re) &&
         std::bit_cast<uint64_t>(a.im) == std::bit_cast<uint64_t>(b.im);
}

// The family's list is the list of formulas: kind i is the method of the
// formula at position i, with its display name.
template <int32_t I>
void ExpectKindFollowsTheFormula() {
  const char* names[] = {"z^2+C", "z^3+C", "z+C", "z^-1+C", "z^-2+C", "z^-3+C", "z^-2-z^2"};
  const QVFractalMethod& method = *FractalMethods()[I];
  EXPECT_EQ(method.Kind(), I);
  EXPECT_EQ(method.Name(), names[I]);
  EXPECT_TRUE(typeid(method) == typeid(QVFormulaMethod<typename qv::formula::At<I>::Type>)) << I;
}

template <int32_t... I>
void ExpectListFollowsTheFormulas(std::integer_sequence<int32_t, I...>) {
  ASSERT_EQ(FractalMethods().size(), sizeof...(I));
  (ExpectKindFollowsTheFormula<I>(), ...);
}

}  // namespace

TEST(QVFractalMethod, PrototypeListFollowsTheFormulaList) {
  ExpectListFollowsTheFormulas(
      std::make_integer_sequence<int32_t, qv::formula::FractalFormulas::Count>());
  EXPECT_EQ(QVFractalMethod_1divZ2_plus_c::KindIndex, 6);
}

TEST(QVFractalMethod, PolynomialFormulasOnSmallValues) {
  EXPECT_EQ(Iterate(QVFractalMethod_Z2::KindIndex, {0, 1}, {0, 0}), (QVComplex{-1, 0}));
  EXPECT_EQ(Iterate(QVFractalMethod_Z2::KindIndex, {1, 2}, {0.5, -1}), (QVComplex{-2.5, 3}));
  // (1 + 2i)^3 = -11 - 2i
  EXPECT_EQ(Iterate(QVFractalMethod_Z3::KindIndex, {1, 2}, {1, 1}), (QVComplex{-10, -1}));
  EXPECT_EQ(Iterate(QVFractalMethod_Z3::KindIndex, {0, 1}, {0, 0}), (QVComplex{0, -1}));
  EXPECT_EQ(Iterate(QVFractalMethod_Z::KindIndex, {1, 2}, {0.25, -4}), (QVComplex{1.25, -2}));
}

TEST(QVFractalMethod, InversePowersOnSmallValues) {
  // 1 / (1 + i) = (0.5, -0.5); 1 / (1 + i)^2 = 1 / 2i = (0, -0.5);
  // 1 / (1 + i)^3 = 1 / (-2 + 2i) = (-0.25, -0.25).
  EXPECT_EQ(Iterate(QVFractalMethod_1divZ::KindIndex, {1, 1}, {1, 0}), (QVComplex{1.5, -0.5}));
  EXPECT_EQ(Iterate(QVFractalMethod_1divZ2::KindIndex, {1, 1}, {0, 1}), (QVComplex{0, 0.5}));
  EXPECT_EQ(Iterate(QVFractalMethod_1divZ3::KindIndex, {1, 1}, {0, 0}), (QVComplex{-0.25, -0.25}));
  // z = 0, c = 2: w = 2, 1/w - w + c = 0.5.
  EXPECT_EQ(Iterate(QVFractalMethod_1divZ2_plus_c::KindIndex, {0, 0}, {2, 0}), (QVComplex{0.5, 0}));
}

TEST(QVFractalMethod, InverseGuardTestsTheModulusOfZ) {
  for (QVComplex c : {QVComplex{0, 0}, QVComplex{3, -4}, QVComplex{-1e300, 1e-300}}) {
    EXPECT_EQ(Iterate(QVFractalMethod_1divZ::KindIndex, {0, 0}, c), kGuard);
    EXPECT_EQ(Iterate(QVFractalMethod_1divZ2::KindIndex, {0, 0}, c), kGuard);
    EXPECT_EQ(Iterate(QVFractalMethod_1divZ3::KindIndex, {0, 0}, c), kGuard);
  }
  // |z| = 7.07e-11 is below the guard even though each part is not tiny.
  EXPECT_EQ(Iterate(QVFractalMethod_1divZ::KindIndex, {5e-11, 5e-11}, {1, 1}), kGuard);
  // A NaN modulus is not "at least 1e-10" either.
  EXPECT_EQ(Iterate(QVFractalMethod_1divZ::KindIndex, {NAN, 0}, {1, 1}), kGuard);

  // |z| = 1e-10 exactly is evaluated.
  const QVComplex edge = Iterate(QVFractalMethod_1divZ::KindIndex, {1e-10, 0}, {0, 0});
  EXPECT_DOUBLE_EQ(edge.re, 1e10);
  EXPECT_EQ(edge.im, 0.0);
}

TEST(QVFractalMethod, InverseSquareOfSmallZIsNotGuarded) {
  // z*z = 1e-12 lies below the guard constant, but the guard tests |z| = 1e-6.
  const QVComplex c{0.25, -0.5};
  const QVComplex r = Iterate(QVFractalMethod_1divZ2::KindIndex, {1e-6, 0}, c);
  EXPECT_NE(r, kGuard);
  EXPECT_DOUBLE_EQ(r.re, 1e12 + 0.25);
  EXPECT_EQ(r.im, -0.5);

  const QVComplex cube = Iterate(QVFractalMethod_1divZ3::KindIndex, {1e-6, 0}, {0, 0});
  EXPECT_DOUBLE_EQ(cube.re, 1e18);
  EXPECT_EQ(cube.im, 0.0);
}

TEST(QVFractalMethod, InverseSquarePlusCGuardsOnW) {
  EXPECT_EQ(Iterate(QVFractalMethod_1divZ2_plus_c::KindIndex, {0, 0}, {0, 0}), kGuard);
  // |z| = 1 but w = z*z + c = 0.
  EXPECT_EQ(Iterate(QVFractalMethod_1divZ2_plus_c::KindIndex, {1, 0}, {-1, 0}), kGuard);
  // Tiny z with a large c is evaluated.
  EXPECT_NE(Iterate(QVFractalMethod_1divZ2_plus_c::KindIndex, {1e-20, 0}, {1, 0}), kGuard);
}

TEST(QVFractalMethod, InverseSquarePlusCRoundsInTheWrittenOrder) {
  // w = 1e17: 1/w - w rounds to -1e17, and adding c = 1e17 gives exactly 0.
  // Any other grouping (1/w + (c - w), or 1/w - z*z) would give 1e-17.
  const QVComplex r = Iterate(QVFractalMethod_1divZ2_plus_c::KindIndex, {0, 0}, {1e17, 0});
  EXPECT_EQ(r, (QVComplex{0, 0}));
}

TEST(QVFractalMethod, SmithQuotientOnExactCases) {
  // |b.re| == |b.im| takes the second branch: (1 + 3i) / (2 - 2i) = -0.5 + i.
  EXPECT_EQ(qv::Div({1, 3}, {2, -2}), (QVComplex{-0.5, 1}));
  EXPECT_EQ(qv::Div({1, 3}, {-2, -2}), (QVComplex{-1, -0.5}));
  // On a tie both branches agree but for the sign of a zero part; the second
  // branch gives -0 here.
  const QVComplex tie = qv::Div({1, 1}, {2, -2});
  EXPECT_EQ(tie, (QVComplex{0, 0.5}));
  EXPECT_TRUE(std::signbit(tie.re));
  EXPECT_EQ(qv::Div({6, 4}, {2, 0}), (QVComplex{3, 2}));
  EXPECT_EQ(qv::Div({6, 4}, {0, 2}), (QVComplex{2, -3}));
  EXPECT_EQ(qv::Reciprocal({0, 1}), (QVComplex{0, -1}));
  // Equal huge parts: the textbook denominator 2e600 would overflow.
  const QVComplex huge = qv::Div({1, 1}, {1e300, 1e300});
  EXPECT_DOUBLE_EQ(huge.re, 1e-300);
  EXPECT_EQ(huge.im, 0.0);
  // 1 / (4e-300 (1 + i)) = (1.25e299, -1.25e299); the textbook denominator underflows.
  const QVComplex tiny = qv::Reciprocal({4e-300, 4e-300});
  EXPECT_DOUBLE_EQ(tiny.re, 1.25e299);
  EXPECT_DOUBLE_EQ(tiny.im, -1.25e299);
  // The reciprocal used by "z^-1+C" matches.
  EXPECT_EQ(Iterate(QVFractalMethod_1divZ::KindIndex, {2, -2}, {0, 0}), qv::Reciprocal({2, -2}));
}

TEST(QVFractalMethod, SmithQuotientAgainstLongDoubleOnHardCases) {
  if (!LongDoubleHoldsSquares()) GTEST_SKIP() << "long double cannot hold squares of doubles";
  const QVComplex cases[][2] = {
      {{1e307, 2e307}, {3e307, 4e307}},    // products overflow a double
      {{2, -3}, {1e-200, 3e-200}},         // squares underflow
      {{1, 0}, {1e-300, 1e-300}},          // equal tiny parts
      {{-7, 5}, {1e300, -1e300}},          // equal huge parts, opposite signs
      {{1e-150, 1e150}, {1e150, 1e-150}},  // parts far apart
      {{3, 4}, {1e154, 1e-154}},           // r*r underflows to 0
      {{1.5e-300, -2e-300}, {3e-300, 1e-310}},
      {{1e200, 1e200}, {1e-100, 2e-100}},
  };
  for (const auto& c : cases) ExpectQuotientClose(c[0], c[1]);

  std::mt19937_64 rng(12345);
  std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-300, 300);
  auto random = [&] {
    return QVComplex{std::ldexp(mantissa(rng), exponent(rng) / 2),
                     std::ldexp(mantissa(rng), exponent(rng) / 2)};
  };
  for (int i = 0; i < 20000; ++i) {
    const QVComplex a = random();
    const QVComplex b = random();
    if (b.re == 0.0 && b.im == 0.0) continue;
    ExpectQuotientClose(a, b);
    if (::testing::Test::HasFailure()) break;
  }
}

TEST(QVFractalMethod, EveryProductAndQuotientIsRoundedSeparately) {
  std::mt19937_64 rng(2024);
  std::uniform_real_distribution<double> mantissa(-2.0, 2.0);
  std::uniform_int_distribution<int> exponent(-12, 12);
  auto random = [&] {
    return QVComplex{std::ldexp(mantissa(rng), exponent(rng)),
                     std::ldexp(mantissa(rng), exponent(rng))};
  };
  const int32_t kinds[] = {QVFractalMethod_Z3::KindIndex, QVFractalMethod_1divZ::KindIndex,
                           QVFractalMethod_1divZ2::KindIndex, QVFractalMethod_1divZ3::KindIndex,
                           QVFractalMethod_1divZ2_plus_c::KindIndex};
  for (int32_t kind : kinds) {
    const QVFractalMethod& method = *FractalMethods()[kind];
    int mismatches = 0;
    for (int i = 0; i < 100000; ++i) {
      const QVComplex z = random();
      const QVComplex c = random();
      const QVComplex got = method.Iterate(z, c);
      const QVComplex want = ReferenceIterate(kind, z, c);
      if (!SameBits(got, want) && mismatches++ < 3) {
        ADD_FAILURE() << method.Name() << " z=" << Text(z) << " c=" << Text(c);
      }
    }
    EXPECT_EQ(mismatches, 0) << method.Name();
  }
}

TEST(QVFractalMethod, NonFiniteValuesFlowThrough) {
  const QVComplex big = Iterate(QVFractalMethod_Z2::KindIndex, {1e200, 0}, {0, 0});
  EXPECT_TRUE(std::isinf(big.re));
  const QVComplex nan = Iterate(QVFractalMethod_Z3::KindIndex, {NAN, 1}, {0, 0});
  EXPECT_TRUE(std::isnan(nan.re));
}
