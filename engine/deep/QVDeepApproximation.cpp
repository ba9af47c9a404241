#include "engine/deep/QVDeepApproximation.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <limits>
#include <typeinfo>

#include "engine/QVNumeric.h"
#include "engine/methods/QVDivergenceMethods.h"
#include "engine/methods/QVOutputMethods.h"

namespace qv {

namespace {

std::atomic<bool> enabled{true};
std::atomic<int64_t> totalSteps{0};
std::atomic<int64_t> totalSkipped{0};

// A radius below this is taken as 0, so that |d|^2 compared with its square
// never meets an underflow: |d|^2 rounding to 0 means |d| < 2^-537 < radius.
constexpr double kSmallestRadius = 0x1p-500;

bool Finite(QVComplex v) { return std::isfinite(v.re) && std::isfinite(v.im); }

// The first steps j = 1, 2, ... test D leaves alone: all when it never stops
// an orbit, those with j <= n (n its skip slot's real part), or none.
template <class D>
int32_t UntestedBy(const QVDivergenceMethod& method) {
  if constexpr (!D::Stops) {
    return std::numeric_limits<int32_t>::max();
  } else if constexpr (D::SkipSlot >= 0) {
    const double n = method.ParamValue(static_cast<uint32_t>(D::SkipSlot)).re;
    return n >= 1.0 ? TruncToInt(n) : 0;  // NaN: none
  } else {
    return 0;
  }
}

// UntestedBy of the test whose method class method is; 0 for a class of no test.
template <class... D>
int32_t Untested(const QVDivergenceMethod& method, TypeList<D...>) {
  int32_t n = 0;
  (void)((typeid(method) == typeid(QVDivergenceTestMethod<D>) ? (n = UntestedBy<D>(method), true)
                                                              : false) ||
         ...);
  return n;
}

}  // namespace

DeepApproximation::DeepApproximation(int32_t power, const std::vector<ReferencePoint>& orbit,
                                     double dcMax, double range) {
  if (!Approximates(power) || orbit.size() < 4) return;
  const bool square = power == 2;
  // A skipped point must lie this far inside the range.
  const double margin = std::fabs(range) * 0x1p-40;
  // The step from index m alone.
  const auto single = [&](size_t m) {
    const QVComplex z = orbit[m].Z;
    const QVComplex a = square ? Add(z, z) : Mul(Add(Add(z, z), z), z);
    return LinearSkip{a, {1.0, 0.0}, RelativeRadius * Abs(z)};
  };
  // x, then y, which starts at the point junction.
  const auto merge = [&](const LinearSkip& x, const LinearSkip& y, size_t junction) {
    LinearSkip s{Mul(y.A, x.A), Add(Mul(y.A, x.B), y.B), 0.0};
    const double ax = Abs(x.A);
    if (ax > 0.0 && Finite(s.A) && Finite(s.B) && orbit[junction].Gap < -margin) {
      const double r = std::min(x.Radius, (y.Radius - Abs(x.B) * dcMax) / ax);
      if (r >= kSmallestRadius) s.Radius = r;
    }
    return s;
  };
  // Steps 1 .. last - 1 (the last point ends the orbit; a node may end there).
  const size_t last = std::min(orbit.size() - 1, MaxSteps);
  std::vector<LinearSkip> level;
  for (size_t m = 1; m + 2 <= last; m += 2) level.push_back(merge(single(m), single(m + 1), m + 1));
  for (size_t length = 2; level.size() >= 1; length *= 2) {
    std::vector<LinearSkip> next;
    for (size_t i = 0; 2 * i + 1 < level.size(); ++i)
      next.push_back(merge(level[2 * i], level[2 * i + 1], 1 + (2 * i + 1) * length));
    levels_.push_back(std::move(level));
    level = std::move(next);
  }
}

bool DeepApproximation::Approximates(int32_t power) { return power == 2 || power == 3; }

bool DeepApproximation::Allowed(const QVOutputMethod& output, const QVDivergenceMethod& divergence,
                                int32_t& untested) {
  untested = Untested(divergence, divergence::DivergenceTests{});
  return typeid(output) == typeid(QVOutputRuleMethod<output::EndPoint>) && untested > 0;
}

int32_t DeepApproximation::Skip(size_t& m, QVComplex& d, QVComplex dc, int64_t most,
                                double inverse) const {
  if (m == 0 || levels_.empty() || most < 2) return 0;
  const size_t i = m - 1;
  // Each node's radius is at most that of the shorter node starting at m, so
  // the shortest one decides whether any holds.
  if ((i & 1) != 0 || i / 2 >= levels_[0].size()) return 0;
  const double dd = Norm(d);
  const double r0 = levels_[0][i / 2].Radius * inverse;  // may be infinite: every d holds
  if (!(dd < r0 * r0)) return 0;
  const auto aligned = static_cast<size_t>(i == 0 ? 63 : std::countr_zero(i) - 1);
  const auto fits = static_cast<size_t>(std::bit_width(static_cast<uint64_t>(most)) - 2);
  for (size_t k = std::min({aligned, fits, levels_.size() - 1});; --k) {
    const size_t index = i >> (k + 1);
    if (index < levels_[k].size()) {
      const LinearSkip& s = levels_[k][index];
      if (const double r = s.Radius * inverse; dd < r * r) {
        d = Add(Mul(s.A, d), Mul(s.B, dc));
        const size_t length = size_t{2} << k;
        m += length;
        return static_cast<int32_t>(length);
      }
    }
    if (k == 0) return 0;
  }
}

void DeepApproximation::Enable(bool on) { enabled.store(on); }

bool DeepApproximation::Enabled() { return enabled.load(); }

DeepStepCounts DeepApproximation::Totals() { return {totalSteps.load(), totalSkipped.load()}; }

void DeepApproximation::Record(const DeepStepCounts& row) {
  totalSteps.fetch_add(row.Steps);
  totalSkipped.fetch_add(row.Skipped);
}

}  // namespace qv
