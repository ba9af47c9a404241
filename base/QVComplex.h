#pragma once
// Complex values as the formulas use them: a pair of doubles with the textbook
// product, Smith's quotient and a hypot modulus. Every operation rounds each
// part to double once, in the written order (the build disables contraction).
#include <cmath>

struct QVComplex {
  double re = 0.0;
  double im = 0.0;

  friend bool operator==(const QVComplex&, const QVComplex&) = default;
};

namespace qv {

inline QVComplex Add(QVComplex a, QVComplex b) { return {a.re + b.re, a.im + b.im}; }
inline QVComplex Sub(QVComplex a, QVComplex b) { return {a.re - b.re, a.im - b.im}; }

/// real = a.re*b.re - a.im*b.im, imaginary = a.re*b.im + b.re*a.im.
inline QVComplex Mul(QVComplex a, QVComplex b) {
  return {a.re * b.re - a.im * b.im, a.re * b.im + b.re * a.im};
}

/// Smith's method; the second branch also covers |b.re| == |b.im|.
inline QVComplex Div(QVComplex a, QVComplex b) {
  if (std::fabs(b.re) > std::fabs(b.im)) {
    const double r = b.im / b.re;
    const double d = b.re * (r * r + 1.0);
    return {(a.re + r * a.im) / d, (a.im - r * a.re) / d};
  }
  const double r = b.re / b.im;
  const double d = b.im * (r * r + 1.0);
  return {(a.re * r + a.im) / d, (r * a.im - a.re) / d};
}

inline QVComplex Reciprocal(QVComplex w) { return Div({1.0, 0.0}, w); }

/// |z|^2, the squared modulus: re^2 + im^2.
inline double Norm(QVComplex z) { return z.re * z.re + z.im * z.im; }

/// Modulus without intermediate overflow.
inline double Abs(QVComplex z) { return std::hypot(z.re, z.im); }

}  // namespace qv
