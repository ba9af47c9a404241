#pragma once
// The choice of how a generator computes its rows. The plain loop
// (QVThreadGenerator) is the reference; the kernels are other schedules of
// the same steps: a loop specialised for the combination of formula,
// divergence test and output method, and vector forms of it that iterate
// several pixels at once (SSE2: 2, AVX2: 4, AVX-512: 8 per vector). Every kernel gives
// the plain loop's bits. The choice is made once per Compute, on the render
// thread; the chosen kernel is then read-only and shared by the workers.
#include <cstdint>
#include <memory>
#include <stop_token>
#include <vector>

#include "engine/QVField.h"
#include "engine/QVParameter.h"
#include "engine/deep/QVDeepKernel.h"
#include "engine/kernels/QVGeneratorKernelSetup.h"

class QVGenerator;

namespace qv {

/// Ways to compute a generator's rows, from the reference to the widest, and
/// the deep path (DeepKernel), which a view finer than doubles resolve takes
/// whatever level is forced (forcing Deep itself means Auto).
enum class GeneratorKernelLevel : int32_t { Auto, Plain, Scalar, Sse2, Avx2, Avx512, Deep };

/// Sets the level every later Compute uses (Auto: the best the processor
/// runs). A level the processor lacks falls back to the best it has. For tests
/// and benchmarks. Thread: any; read at the start of each Compute.
void ForceGeneratorKernelLevel(GeneratorKernelLevel level);
GeneratorKernelLevel ForcedGeneratorKernelLevel();
/// Whether this processor runs the level (Auto, Plain and Scalar: always).
bool GeneratorKernelLevelSupported(GeneratorKernelLevel level);
/// The best level this processor runs.
GeneratorKernelLevel BestGeneratorKernelLevel();
/// "Auto", "Plain", "Scalar", "SSE2", "AVX2", "AVX-512" or "Deep".
const char* GeneratorKernelLevelName(GeneratorKernelLevel level);

/// The row computation chosen for one Compute of a generator. Level() is the
/// level actually used: a vector level applies only to "終点" (the other
/// outputs call libm at every step and use the specialised scalar loop), a
/// depth below 1 uses the scalar loop, and a method object of a class this
/// file does not know uses the plain loop.
class GeneratorKernel {
 public:
  /// Chooses for the generator's current settings (width and height >= 1).
  /// stop is the pass's stop, looked at inside long rows.
  GeneratorKernel(const QVGenerator& generator, std::stop_token stop = {});
  GeneratorKernel(const GeneratorKernel&) = delete;  // setup_ points at stop_
  GeneratorKernel& operator=(const GeneratorKernel&) = delete;
  GeneratorKernelLevel Level() const { return level_; }
  /// Computes one row of the field into out (the computed rectangle's width;
  /// row counted from the rectangle's top). Not for the Plain level.
  /// Throws PassStopped when the pass was stopped part-way through the row.
  /// Thread: any worker; the object is only read.
  void ComputeRow(int32_t row, FractalPixel* out) const;
  /// Computes the columns first, first + step, ... (first >= 0, step >= 1)
  /// of one row into out, one record after the other: the same records as
  /// ComputeRow gives at those columns. Not for the Plain level; throws
  /// PassStopped like ComputeRow. Thread: any worker.
  void ComputeColumns(int32_t row, int32_t first, int32_t step, FractalPixel* out) const;

 private:
  GeneratorKernelLevel level_ = GeneratorKernelLevel::Plain;
  std::unique_ptr<const DeepKernel> deep_;  // the Deep level's reference orbit
  kernel::RowKernel row_ = nullptr;
  kernel::RowSetup setup_;
  std::vector<double> columnRe_;
  PlaneMapping mapping_;
  int32_t firstRow_ = 0;  // the picture row of the field's row 0
  std::stop_token stop_;
};

}  // namespace qv
