#include "engine/deep/QVDeepKernel.h"

#include <algorithm>
#include <cmath>
#include <typeinfo>

#include "engine/QVGenerator.h"
#include "engine/QVPass.h"
#include "engine/deep/QVDeepApproximation.h"
#include "engine/deep/QVPreciseReal.h"
#include "engine/deep/QVScaledDifference.h"
#include "engine/kernels/QVOrbitLoop.h"
#include "engine/methods/QVFormulas.h"
#include "engine/methods/QVFractalMethods.h"

namespace qv {

namespace {

enum DeepFormula : int32_t { kZ2, kZ3, kZ1 };

double Largest(QVComplex v) { return std::max({1.0, std::fabs(v.re), std::fabs(v.im)}); }

// The step of the difference d from the reference point Z in doubles.
QVComplex PerturbedStep(int32_t formula, QVComplex z, QVComplex d, QVComplex dc) {
  return DifferenceStep(formula, z, d, d, dc);
}

// One step of the reference orbit in MPFR: z -> F(z, c), with scratch values
// a and b of the same precision.
void ReferenceStep(int32_t formula, PreciseReal& zr, PreciseReal& zi, const PreciseReal& cr,
                   const PreciseReal& ci, PreciseReal& a, PreciseReal& b) {
  switch (formula) {
    case kZ2:  // (zr^2 - zi^2 + cr, 2 zr zi + ci)
      mpfr_sqr(a.Get(), zr.Get(), MPFR_RNDN);
      mpfr_sqr(b.Get(), zi.Get(), MPFR_RNDN);
      mpfr_sub(a.Get(), a.Get(), b.Get(), MPFR_RNDN);
      mpfr_mul(zi.Get(), zi.Get(), zr.Get(), MPFR_RNDN);
      mpfr_mul_2ui(zi.Get(), zi.Get(), 1, MPFR_RNDN);
      mpfr_add(zi.Get(), zi.Get(), ci.Get(), MPFR_RNDN);
      mpfr_add(zr.Get(), a.Get(), cr.Get(), MPFR_RNDN);
      return;
    case kZ3: {  // (zr (zr^2 - 3 zi^2) + cr, zi (3 zr^2 - zi^2) + ci)
      mpfr_sqr(a.Get(), zr.Get(), MPFR_RNDN);
      mpfr_sqr(b.Get(), zi.Get(), MPFR_RNDN);
      PreciseReal t(static_cast<int64_t>(mpfr_get_prec(a.Get())));
      mpfr_mul_ui(t.Get(), b.Get(), 3, MPFR_RNDN);
      mpfr_sub(t.Get(), a.Get(), t.Get(), MPFR_RNDN);
      mpfr_mul(zr.Get(), zr.Get(), t.Get(), MPFR_RNDN);
      mpfr_mul_ui(a.Get(), a.Get(), 3, MPFR_RNDN);
      mpfr_sub(a.Get(), a.Get(), b.Get(), MPFR_RNDN);
      mpfr_mul(zi.Get(), zi.Get(), a.Get(), MPFR_RNDN);
      mpfr_add(zr.Get(), zr.Get(), cr.Get(), MPFR_RNDN);
      mpfr_add(zi.Get(), zi.Get(), ci.Get(), MPFR_RNDN);
      return;
    }
    default:
      mpfr_add(zr.Get(), zr.Get(), cr.Get(), MPFR_RNDN);
      mpfr_add(zi.Get(), zi.Get(), ci.Get(), MPFR_RNDN);
      return;
  }
}

}  // namespace

bool DeepKernel::Escaped(const ReferencePoint& r, QVComplex d, QVComplex z) const {
  const double gap = r.Gap + (2.0 * (r.Z.re * d.re + r.Z.im * d.im) + Norm(d));
  if (std::isfinite(gap)) return gap > 0.0;
  return Norm(z) > range_;  // beyond the doubles: as the plain loop sees it
}

int32_t DeepFormulaKind(const QVFractalMethod& formula) {
  if (typeid(formula) == typeid(QVFormulaMethod<formula::Z2>)) return kZ2;
  if (typeid(formula) == typeid(QVFormulaMethod<formula::Z3>)) return kZ3;
  if (typeid(formula) == typeid(QVFormulaMethod<formula::Z1>)) return kZ1;
  return -1;
}

bool DeepViewNeeded(const QVParameter& p) {
  if (p.Width() < 1) return false;
  const double spacing = std::fabs(p.Scale()) / p.Width();
  return spacing < std::ldexp(Largest(p.Viewpoint()), -42);
}

std::string DeepPathRefusal(const QVParameter& p) {
  if (!DeepViewNeeded(p) || DeepFormulaKind(p.FractalMethod()) >= 0) return "";
  return "the formula \"" + p.FractalMethod().Name() + "\" has no deep path: at scale " +
         NumberToText(p.Scale()) +
         " it is computed in doubles and the picture shows blocks of equal pixels "
         "(the deep path takes \"z^2+C\", \"z^3+C\" and \"z+C\")";
}

int64_t DeepPrecisionBits(const QVParameter& p) {
  const double spacing = std::fabs(p.Scale()) / std::max(p.Width(), 1);
  if (!(spacing > 0.0) || !std::isfinite(spacing)) return 64;
  const double bits = std::ceil(std::log2(Largest(p.Viewpoint()) / spacing));
  return std::clamp<int64_t>(static_cast<int64_t>(bits), 0, int64_t{1} << 20) + 64;
}

DeepKernel::DeepKernel(const QVGenerator& generator, std::stop_token stop, int32_t maxPoints)
    : formula_(DeepFormulaKind(generator.Parameter().FractalMethod())),
      julia_(generator.Parameter().FractalType() != 0),
      depth_(generator.Depth()),
      maxPoints_(std::max(maxPoints, 2)),
      range_(generator.Range()),
      mapping_(generator.Parameter()),
      rect_(generator.Parameter().ComputedRect()),
      divergence_(CloneAs(generator.DivergenceMethod())),
      output_(CloneAs(generator.OutputMethod())),
      stop_(std::move(stop)) {
  const QVParameter& p = generator.Parameter();
  const int64_t bits = DeepPrecisionBits(p);
  // Mandelbrot-like: z starts at the parameter, c is the point; Julia-like:
  // z starts at the point, c is the parameter. The reference point is the viewpoint.
  const DecimalComplex& start = julia_ ? p.PreciseViewpoint() : p.PreciseFractalParameter();
  const DecimalComplex& constant = julia_ ? p.PreciseFractalParameter() : p.PreciseViewpoint();
  PreciseReal cr(bits), ci(bits);
  cr.Set(constant.re);
  ci.Set(constant.im);
  orbit_ = Orbit(start, cr, ci, bits);
  if (start == DecimalComplex{}) {
    zeroOrbit_ = orbit_;
  } else {
    zeroOrbit_ = Orbit({}, cr, ci, bits);
  }
  const int32_t power = formula_ == kZ2 ? 2 : formula_ == kZ3 ? 3 : 1;
  if (DeepApproximation::Enabled() && DeepApproximation::Approximates(power) &&
      DeepApproximation::Allowed(*output_, *divergence_, untested_) && !stop_.stop_requested()) {
    // The largest |dc| lies at a corner of the computed rectangle (Julia-like: dc = 0).
    double dcMax = 0.0;
    for (const int32_t x : {rect_.X, rect_.X + rect_.Width - 1}) {
      for (const int32_t y : {rect_.Y, rect_.Y + rect_.Height - 1})
        dcMax = std::max(dcMax, Abs({mapping_.ColumnOffset(x), mapping_.RowOffset(y)}));
    }
    if (julia_) dcMax = 0.0;
    skips_ = std::make_shared<const DeepApproximation>(power, orbit_, dcMax, range_);
    zeroSkips_ = start == DecimalComplex{}
                     ? skips_
                     : std::make_shared<const DeepApproximation>(power, zeroOrbit_, dcMax, range_);
  }
}

std::vector<ReferencePoint> DeepKernel::Orbit(const DecimalComplex& start, const PreciseReal& cr,
                                              const PreciseReal& ci, int64_t bits) const {
  PreciseReal zr(bits), zi(bits), a(bits), b(bits);
  zr.Set(start.re);
  zi.Set(start.im);
  const auto point = [&] {
    mpfr_sqr(a.Get(), zr.Get(), MPFR_RNDN);
    mpfr_sqr(b.Get(), zi.Get(), MPFR_RNDN);
    mpfr_add(a.Get(), a.Get(), b.Get(), MPFR_RNDN);
    mpfr_sub_d(a.Get(), a.Get(), range_, MPFR_RNDN);
    return ReferencePoint{{zr.ToDouble(), zi.ToDouble()}, a.ToDouble()};
  };
  std::vector<ReferencePoint> orbit{point()};
  for (int32_t n = 1; n <= depth_ && n < maxPoints_; ++n) {
    if (n % StopCheckSteps == 0 && stop_.stop_requested()) break;
    ReferenceStep(formula_, zr, zi, cr, ci, a, b);
    orbit.push_back(point());
    // Escaped, or no longer a finite double.
    if (!(Norm(orbit.back().Z) <= range_) || !(orbit.back().Gap <= 0.0)) break;
  }
  return orbit;
}

DeepKernel::~DeepKernel() = default;

void DeepKernel::ComputeRow(int32_t row, FractalPixel* out) const {
  ComputeColumns(row, 0, 1, out);
}

void DeepKernel::ComputeColumns(int32_t row, int32_t first, int32_t step, FractalPixel* out) const {
  const std::unique_ptr<QVOutputMethod> output = CloneAs(*output_);
  DeepStepCounts counts;
  for (int64_t x = first; x < rect_.Width; x += step)
    *out++ = Pixel(*output, rect_.X + static_cast<int32_t>(x), rect_.Y + row, counts);
  DeepApproximation::Record(counts);
}

FractalPixel DeepKernel::Pixel(QVOutputMethod& output, int32_t col, int32_t row,
                               DeepStepCounts& counts) const {
  const QVComplex offset{mapping_.ColumnOffset(col), mapping_.RowOffset(row)};
  const QVComplex dc = julia_ ? QVComplex{} : offset;
  QVComplex d = julia_ ? offset : QVComplex{};
  const std::vector<ReferencePoint>* orbit = &orbit_;
  size_t m = 0;
  output.Start();
  int32_t first = 0;  // the steps taken while the difference was too small for doubles
  if (ScaledDifference::Needed(d, dc)) {
    const ScaledStart start = ScaledSteps(output, d, dc);
    counts.Steps += start.Done;
    counts.Skipped += start.Skipped;
    if (start.Ended) return output.Result();
    orbit = start.Orbit;
    m = start.M;
    d = start.D;
    first = start.Done;
  }
  const DeepApproximation* skips = orbit == &orbit_ ? skips_.get() : zeroSkips_.get();
  int32_t skipped = 0, j = first;  // j: the steps taken; RunOrbit counts calls
  const bool finished = RunOrbit(
      depth_ - first,
      [&](int32_t call) {
        j = first + call + skipped;
        // A skip of l steps ends at step j + l - 1; the steps before its end
        // are neither recorded nor tested.
        const int64_t most = std::min<int64_t>(int64_t{depth_} - j, int64_t{untested_} - j + 1) + 1;
        if (const int32_t l = skips ? skips->Skip(m, d, dc, most) : 0; l > 0) {
          skipped += l - 1;
          j += l - 1;
        } else {
          d = PerturbedStep(formula_, (*orbit)[m].Z, d, dc);
          ++m;
        }
        const ReferencePoint& r = (*orbit)[m];
        const QVComplex z = Add(r.Z, d);
        output.Step(j, z);
        if (Escaped(r, d, z) || divergence_->Diverged(j, z)) return true;
        // Where z is smaller than d, z holds the pixel's orbit better than
        // Z + d does; then, and at the stored orbit's end, the pixel goes on
        // as the difference from the orbit of 0, d = z exactly.
        if (m + 1 == orbit->size() || Norm(z) < Norm(d)) {
          orbit = &zeroOrbit_;
          skips = zeroSkips_.get();
          d = z;
          m = 0;
        }
        return j == depth_;  // skips may reach the depth before the calls do
      },
      [this] { return stop_.stop_requested(); });
  if (!finished) throw PassStopped{};
  counts.Steps += j - first;
  counts.Skipped += skipped;
  return output.Result();
}

DeepKernel::ScaledStart DeepKernel::ScaledSteps(QVOutputMethod& output, QVComplex d,
                                                QVComplex dc) const {
  ScaledStart s{&orbit_, 0, d, 0, 0, false};
  const DeepApproximation* skips = skips_.get();
  ScaledDifference tiny;
  tiny.Enter(d, dc);
  const bool finished = RunOrbit(
      depth_,
      [&](int32_t call) {
        s.Done = call + s.Skipped;
        // As in Pixel: a skip of l steps ends at step Done + l - 1.
        const int64_t most =
            std::min<int64_t>(int64_t{depth_} - s.Done, int64_t{untested_} - s.Done + 1) + 1;
        if (const int32_t l = skips ? tiny.Skip(*skips, s.M, most) : 0; l > 0) {
          s.Skipped += l - 1;
          s.Done += l - 1;
        } else {
          tiny.Step(formula_, (*s.Orbit)[s.M].Z);
          ++s.M;
        }
        const int32_t j = s.Done;
        const ReferencePoint& r = (*s.Orbit)[s.M];
        const QVComplex z = Add(r.Z, tiny.Difference());
        output.Step(j, z);
        s.D = tiny.Difference();
        if (!tiny.Active()) {  // grown out of the form: the step ends as Pixel's
          s.Ended = Escaped(r, s.D, z) || divergence_->Diverged(j, z);
          if (!s.Ended && (s.M + 1 == s.Orbit->size() || Norm(z) < Norm(s.D))) {
            s.Orbit = &zeroOrbit_;
            s.D = z;
            s.M = 0;
          }
          return true;
        }
        if (tiny.Escaped(r.Z, r.Gap, z, range_) || divergence_->Diverged(j, z)) {
          s.Ended = true;
          return true;
        }
        if (s.M + 1 == s.Orbit->size() || tiny.Closer(r.Z)) {
          s.Orbit = &zeroOrbit_;
          skips = zeroSkips_.get();
          s.M = 0;
          tiny.Rebase(r.Z);
          s.D = tiny.Active() ? tiny.Difference() : z;
          return !tiny.Active();
        }
        return j == depth_;  // skips may reach the depth before the calls do
      },
      [this] { return stop_.stop_requested(); });
  if (!finished) throw PassStopped{};
  s.Ended = s.Ended || s.Done == depth_;
  return s;
}

}  // namespace qv
