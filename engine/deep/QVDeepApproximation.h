#pragma once
// Bilinear approximation of the deep path's perturbed step: while the
// difference d is small next to the reference point Z, the step of z^2+C,
// d -> 2Z d + d^2 + dc, is the linear map d -> 2Z d + dc up to a term below
// the doubles' rounding (z^3+C likewise: d -> 3Z^2 d + dc). Linear maps
// compose, so l steps from reference index m are one map
//   d_{m+l} = A d_m + B dc,
// valid while |d_m| stays below a radius that keeps every step of the l in
// its own linear regime. The table holds the maps of 2, 4, 8, ... steps, each
// level aligned on the one below it (a node of level k starts at the indices
// m with m - 1 a multiple of 2^(k+1); index 0 is left out, since a
// Mandelbrot-like reference starts at Z = 0 where no step is linear), and a
// pixel at index m takes the longest node that holds for its d.
//
// A node never spans a point where the reference comes near the range (|Z|^2
// within a margin of it): the skipped points are neither range-tested nor
// rebased, and the radius keeps |d| so far below |Z| that neither test could
// fire there. The pixel loop tests the point where the skip ends as usual.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/QVComplex.h"
#include "engine/deep/QVDeepKernel.h"

class QVDivergenceMethod;
class QVOutputMethod;

namespace qv {

/// The map of a run of steps: d_end = A d + B dc while |d| < Radius.
struct LinearSkip {
  QVComplex A;
  QVComplex B;
  double Radius;  // 0: never taken
};

/// Steps of the deep path's pixels since the process started: all of them
/// (the count each pixel's orbit ran to) and those taken through a LinearSkip.
struct DeepStepCounts {
  int64_t Steps = 0;
  int64_t Skipped = 0;
};

class DeepApproximation {
 public:
  /// A node's radius is this fraction of |Z| of each of its points (and less,
  /// as composition requires): the neglected term d^2 (z^3+C: 3Z d^2 + d^3)
  /// is then below 2^-53 |2Z d| (|3Z^2 d|), below half an ulp of the kept one.
  static constexpr double RelativeRadius = 0x1p-54;
  /// Nodes cover at most this many first steps of an orbit (the table takes
  /// about 40 bytes per step); later steps go one at a time.
  static constexpr size_t MaxSteps = size_t{1} << 21;

  /// The table of orbit (a reference orbit under z^power + C; empty unless
  /// Approximates(power)), for pixels whose |dc| is at most dcMax, with the
  /// range of the range test.
  DeepApproximation(int32_t power, const std::vector<ReferencePoint>& orbit, double dcMax,
                    double range);

  /// Whether z^power + C has a table (powers 2 and 3).
  static bool Approximates(int32_t power);

  /// Whether steps of a pixel may be skipped with these methods at all: the
  /// output records only the last point ("終点") and the divergence test
  /// never stops an orbit at the skipped steps. untested receives how many
  /// first steps j = 1, 2, ... the test leaves alone (all: INT32_MAX).
  static bool Allowed(const QVOutputMethod& output, const QVDivergenceMethod& divergence,
                      int32_t& untested);

  /// From reference index m with difference d: the longest node whose radius
  /// holds and which takes at most most steps. Applies it (d and m move to
  /// the node's end) and returns its step count, 2 or more; 0 when none holds.
  /// d and dc may be given in units of 2^k (a scaled difference), inverse
  /// being 2^-k: the maps are linear, only the radius is scaled.
  int32_t Skip(size_t& m, QVComplex& d, QVComplex dc, int64_t most, double inverse = 1.0) const;

  /// Whether later DeepKernels skip steps where they may (the default) or go
  /// step by step. For tests and benchmarks. Thread: any; read when a
  /// DeepKernel is made.
  static void Enable(bool on);
  static bool Enabled();
  /// The process's totals so far; Add is called once per computed row.
  static DeepStepCounts Totals();
  static void Record(const DeepStepCounts& row);

 private:
  std::vector<std::vector<LinearSkip>> levels_;  // levels_[k]: the runs of 2^(k+1) steps
};

}  // namespace qv
