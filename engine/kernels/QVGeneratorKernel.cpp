#include "engine/kernels/QVGeneratorKernel.h"

#include <atomic>
#include <stdexcept>
#include <string>
#include <typeinfo>

#include "engine/QVGenerator.h"
#include "engine/QVNumeric.h"
#include "engine/QVRowWorkers.h"
#include "engine/kernels/QVCpuFeatures.h"
#include "engine/methods/QVDivergenceMethods.h"
#include "engine/methods/QVFractalMethods.h"
#include "engine/methods/QVOutputMethods.h"

namespace qv {

namespace {

std::atomic<GeneratorKernelLevel> forcedLevel{GeneratorKernelLevel::Auto};

// The position of the method's exact class among Classes, which are listed in
// their family's order; -1 for a class not listed (the plain loop handles it).
template <class... Classes>
int32_t KindOf(const QVMethod& method) {
  int32_t kind = -1;
  int32_t index = 0;
  ((typeid(method) == typeid(Classes) ? (kind = index, ++index) : ++index), ...);
  return kind;
}

// The kind of a method whose class is Method<R> for a rule R of the list;
// -1 for any other class.
template <template <class> class Method, class... R>
int32_t RuleKindOf(const QVMethod& method, TypeList<R...>) {
  return KindOf<Method<R>...>(method);
}

// The steps j that satisfy j <= n (the divergence test's untested steps), as
// a count: j runs over 1, 2, ... and compares as a double.
int32_t SkippedSteps(double n) {
  if (!(n >= 1.0)) return 0;  // NaN too: no step compares below it
  return TruncToInt(n);       // floor for positive n, saturated to INT32_MAX
}

GeneratorKernelLevel EffectiveLevel() {
  const GeneratorKernelLevel forced = forcedLevel.load();
  if (forced == GeneratorKernelLevel::Auto || forced == GeneratorKernelLevel::Deep ||
      !GeneratorKernelLevelSupported(forced)) {
    return BestGeneratorKernelLevel();
  }
  return forced;
}

}  // namespace

void ForceGeneratorKernelLevel(GeneratorKernelLevel level) { forcedLevel.store(level); }

GeneratorKernelLevel ForcedGeneratorKernelLevel() { return forcedLevel.load(); }

bool GeneratorKernelLevelSupported(GeneratorKernelLevel level) {
  switch (level) {
    case GeneratorKernelLevel::Sse2:
      return HostCpuFeatures().Sse2 && kernel::Sse2RowKernel(0, 0, 0);
    case GeneratorKernelLevel::Avx2:
      return HostCpuFeatures().Avx2 && kernel::Avx2RowKernel(0, 0, 0);
    case GeneratorKernelLevel::Avx512:
      return HostCpuFeatures().Avx512 && kernel::Avx512RowKernel(0, 0, 0);
    default:
      return true;
  }
}

GeneratorKernelLevel BestGeneratorKernelLevel() {
  if (GeneratorKernelLevelSupported(GeneratorKernelLevel::Avx512)) {
    return GeneratorKernelLevel::Avx512;
  }
  if (GeneratorKernelLevelSupported(GeneratorKernelLevel::Avx2)) return GeneratorKernelLevel::Avx2;
  if (GeneratorKernelLevelSupported(GeneratorKernelLevel::Sse2)) return GeneratorKernelLevel::Sse2;
  return GeneratorKernelLevel::Scalar;
}

const char* GeneratorKernelLevelName(GeneratorKernelLevel level) {
  switch (level) {
    case GeneratorKernelLevel::Auto:
      return "Auto";
    case GeneratorKernelLevel::Plain:
      return "Plain";
    case GeneratorKernelLevel::Scalar:
      return "Scalar";
    case GeneratorKernelLevel::Sse2:
      return "SSE2";
    case GeneratorKernelLevel::Avx2:
      return "AVX2";
    case GeneratorKernelLevel::Avx512:
      return "AVX-512";
    case GeneratorKernelLevel::Deep:
      return "Deep";
  }
  return "?";
}

GeneratorKernel::GeneratorKernel(const QVGenerator& generator, std::stop_token stop)
    : mapping_(generator.Parameter()), stop_(std::move(stop)) {
  const QVParameter& p = generator.Parameter();
  if (DeepViewNeeded(p) && DeepFormulaKind(p.FractalMethod()) >= 0) {
    deep_ = std::make_unique<const DeepKernel>(generator, stop_);
    level_ = GeneratorKernelLevel::Deep;
    return;
  }
  const int32_t fractalKind =
      RuleKindOf<QVFormulaMethod>(p.FractalMethod(), formula::FractalFormulas{});
  const int32_t divergenceKind = RuleKindOf<QVDivergenceTestMethod>(generator.DivergenceMethod(),
                                                                    divergence::DivergenceTests{});
  const int32_t outputKind =
      RuleKindOf<QVOutputRuleMethod>(generator.OutputMethod(), output::OutputRules{});
  const GeneratorKernelLevel wanted = EffectiveLevel();
  if (wanted == GeneratorKernelLevel::Plain || fractalKind < 0 || divergenceKind < 0 ||
      outputKind < 0)
    return;

  const PixelRect rect = p.ComputedRect();
  firstRow_ = rect.Y;
  setup_.Width = rect.Width;
  setup_.Depth = generator.Depth();
  setup_.Range = generator.Range();
  setup_.Julia = p.FractalType() != 0;
  setup_.Constant = p.FractalParameter();
  for (int32_t i = 0; i < MaxMethodSlots; ++i) {
    const auto slot = static_cast<uint32_t>(i);
    setup_.DivergenceSlots[slot] = generator.DivergenceMethod().ParamValue(slot);
    setup_.OutputSlots[slot] = generator.OutputMethod().ParamValue(slot);
  }
  const int32_t skipSlot =
      divergence::SkipSlots(divergence::DivergenceTests{})[static_cast<size_t>(divergenceKind)];
  if (skipSlot >= 0) {
    setup_.SkippedSteps = SkippedSteps(setup_.DivergenceSlots[static_cast<size_t>(skipSlot)].re);
  }
  columnRe_.resize(static_cast<size_t>(rect.Width));
  for (int32_t x = 0; x < rect.Width; ++x) {
    columnRe_[static_cast<size_t>(x)] = mapping_.Point(rect.X + x, 0).re;
  }
  setup_.ColumnRe = columnRe_.data();
  setup_.Stop = &stop_;

  // The vector kernels need at least one step: a depth below 1 records the
  // output's start values, which the scalar loop gives directly.
  if (setup_.Depth >= 1 && wanted == GeneratorKernelLevel::Avx512) {
    row_ = kernel::Avx512RowKernel(fractalKind, divergenceKind, outputKind);
    level_ = GeneratorKernelLevel::Avx512;
  }
  if (!row_ && setup_.Depth >= 1 && wanted >= GeneratorKernelLevel::Avx2) {
    row_ = kernel::Avx2RowKernel(fractalKind, divergenceKind, outputKind);
    level_ = GeneratorKernelLevel::Avx2;
  }
  if (!row_ && setup_.Depth >= 1 && wanted >= GeneratorKernelLevel::Sse2) {
    row_ = kernel::Sse2RowKernel(fractalKind, divergenceKind, outputKind);
    level_ = GeneratorKernelLevel::Sse2;
  }
  if (!row_) {
    row_ = kernel::ScalarRowKernel(fractalKind, divergenceKind, outputKind);
    level_ = GeneratorKernelLevel::Scalar;
  }
  if (!row_) {  // every known combination has a scalar kernel: a hole is a build fault
    throw std::logic_error("no scalar generator kernel for formula " + std::to_string(fractalKind) +
                           ", divergence " + std::to_string(divergenceKind) + ", output " +
                           std::to_string(outputKind));
  }
}

void GeneratorKernel::ComputeRow(int32_t row, FractalPixel* out) const {
  if (deep_) return deep_->ComputeRow(row, out);
  if (!row_(setup_, mapping_.Point(0, firstRow_ + row).im, out)) throw PassStopped{};
}

// Each pixel's orbit depends on its own point only, so the row kernel run
// over the chosen columns' points gives those columns' records.
void GeneratorKernel::ComputeColumns(int32_t row, int32_t first, int32_t step,
                                     FractalPixel* out) const {
  if (deep_) return deep_->ComputeColumns(row, first, step, out);
  std::vector<double> columns;
  for (int64_t x = first; x < setup_.Width; x += step)
    columns.push_back(columnRe_[static_cast<size_t>(x)]);
  if (columns.empty()) return;
  kernel::RowSetup setup = setup_;
  setup.ColumnRe = columns.data();
  setup.Width = static_cast<int32_t>(columns.size());
  if (!row_(setup, mapping_.Point(0, firstRow_ + row).im, out)) throw PassStopped{};
}

}  // namespace qv
