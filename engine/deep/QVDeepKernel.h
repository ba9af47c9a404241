#pragma once
// The deep path of a generator: for views finer than doubles resolve at the
// viewpoint, one reference orbit (from the viewpoint, in MPFR at the
// precision the view needs) is rounded to doubles and stored, and every pixel
// iterates its difference d from the reference in doubles. Where the pixel's
// orbit z = Z + d comes closer to 0 than d is long, or the stored orbit ends,
// the pixel is rebased: it goes on as the difference d = z from the
// reference's orbit of 0 (the same orbit where the pixels start at 0, as the
// Mandelbrot-like type does by default; a second one from the same C
// otherwise), so one reference serves every pixel, however early the
// reference itself escapes. The divergence test and the output method see z
// as on the plain path; the range test |z|^2 > range is taken as
// (|Z|^2 - range) + (2 Z.d + |d|^2) > 0, the first term from MPFR, so a
// pixel whose d is too small to change z in doubles still escapes where it
// should.
//
// The differences are doubles, except in a pixel's first steps while its
// difference and offset are below 2^-480 (about 3e-145), where the square of
// the difference would fall out of the normal doubles: the pixel keeps it as
// a double times a power of 2 of its own (QVScaledDifference.h), rebasing
// included, until it grows past that. So views go down to the smallest normal
// doubles, about 1e-305 at a thousand pixels. (A pixel that later rebases onto
// a z below 2^-480 goes on in doubles.) Runs of steps where the difference
// stays linear are skipped (QVDeepApproximation.h), in either form.
#include <cstdint>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

#include "base/QVComplex.h"
#include "base/QVPixelRect.h"
#include "engine/QVField.h"
#include "engine/QVParameter.h"
#include "engine/methods/QVMethod.h"

class QVGenerator;

namespace qv {

class DeepApproximation;
class PreciseReal;
struct DeepStepCounts;

/// A point of a reference orbit rounded to doubles, with |Z|^2 - range
/// computed before the rounding.
struct ReferencePoint {
  QVComplex Z;
  double Gap;
};

/// The formulas whose step from Z to Z + d can be written in d without
/// cancellation, by kind: "z^2+C", "z^3+C" and "z+C". -1 for any other formula.
int32_t DeepFormulaKind(const QVFractalMethod& formula);

/// Whether the view needs the deep path: when the pixel spacing, scale /
/// width, falls below 2^-42 times the larger of 1 and the largest part of the
/// viewpoint (a pixel spans fewer than about 2^10 steps of the doubles there).
bool DeepViewNeeded(const QVParameter& p);

/// What the user is told when a view needs the deep path and its formula has
/// none: the picture is then computed in doubles, in blocks of equal pixels.
/// Empty when the view is ordinary or the formula takes the deep path.
std::string DeepPathRefusal(const QVParameter& p);

/// The bits of the reference orbit: those that resolve a pixel at the
/// viewpoint's magnitude, and 64 more.
int64_t DeepPrecisionBits(const QVParameter& p);

class DeepKernel {
 public:
  /// Orbits store at most this many points (96 MiB each), so a huge depth
  /// cannot exhaust the memory. A pixel that outlives a reference cut there
  /// (one that had not escaped) rebases as at an escaped orbit's end, d = z,
  /// and keeps only the precision of z's doubles from then on.
  static constexpr int32_t MaxReferencePoints = 1 << 22;

  /// Computes the reference orbit for the generator's current settings (a
  /// formula of DeepFormulaKind, width and height >= 1), each orbit stored
  /// up to maxPoints points (at least 2). A stop requested meanwhile cuts the
  /// orbits short; the rows then give up on their own.
  DeepKernel(const QVGenerator& generator, std::stop_token stop,
             int32_t maxPoints = MaxReferencePoints);
  DeepKernel(const DeepKernel&) = delete;
  DeepKernel& operator=(const DeepKernel&) = delete;
  ~DeepKernel();

  /// As GeneratorKernel::ComputeRow and ComputeColumns. Thread: any worker.
  void ComputeRow(int32_t row, FractalPixel* out) const;
  void ComputeColumns(int32_t row, int32_t first, int32_t step, FractalPixel* out) const;

  /// The stored reference orbit Z_0, Z_1, ... (Z_0 the start value).
  const std::vector<ReferencePoint>& Reference() const { return orbit_; }

 private:
  /// One pixel's orbit, runs of it skipped where the table allows
  /// (QVDeepApproximation.h); adds the pixel's steps to counts.
  FractalPixel Pixel(QVOutputMethod& output, int32_t col, int32_t row,
                     DeepStepCounts& counts) const;
  /// Where Pixel goes on after its first steps in a ScaledDifference.
  struct ScaledStart {
    const std::vector<ReferencePoint>* Orbit;  // the orbit and point the difference D is from
    size_t M;
    QVComplex D;
    int32_t Done;     // the steps taken
    int32_t Skipped;  // of those, the steps taken through the table without a point of their own
    bool Ended;       // the orbit ended (beyond the range, diverged, or at the depth)
  };
  /// Pixel's first steps, from the difference d and offset dc, while the
  /// difference is too small for doubles: steps, skips, records, tests and
  /// rebases as Pixel does, in a ScaledDifference, until it has grown out of it.
  /// (Returned by value: the addresses of Pixel's own values never escape,
  /// so its loop keeps them in registers.)
  ScaledStart ScaledSteps(QVOutputMethod& output, QVComplex d, QVComplex dc) const;
  /// Whether the pixel z = Z + d is beyond the range.
  bool Escaped(const ReferencePoint& r, QVComplex d, QVComplex z) const;
  /// The orbit of start under the formula with c = (cr, ci), in MPFR at bits,
  /// each point rounded to doubles; up to the depth or the first point
  /// beyond the range.
  std::vector<ReferencePoint> Orbit(const DecimalComplex& start, const PreciseReal& cr,
                                    const PreciseReal& ci, int64_t bits) const;

  std::vector<ReferencePoint> orbit_;      // from the pixels' common start
  std::vector<ReferencePoint> zeroOrbit_;  // from 0, where rebased pixels go on
  int32_t formula_;
  bool julia_;
  int32_t depth_;
  int32_t maxPoints_;
  double range_;
  PlaneMapping mapping_;
  PixelRect rect_;
  std::unique_ptr<QVDivergenceMethod> divergence_;
  std::unique_ptr<QVOutputMethod> output_;  // the prototype each row clones
  std::stop_token stop_;
  // The skips along orbit_ and zeroOrbit_ (null where no step may be
  // skipped), and the first steps the divergence test leaves alone.
  std::shared_ptr<const DeepApproximation> skips_, zeroSkips_;
  int32_t untested_ = 0;
};

}  // namespace qv
