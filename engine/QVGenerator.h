#pragma once
// QVGenerator: iterates the global fractal formula for every pixel and stores
// what its output method reports into its fractal field. Its worker computes
// interleaved rows; each worker steps its own clone of the output method.
// Owned by the node graph; edited on the UI thread, computed on the render thread.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/QVField.h"
#include "engine/QVNode.h"
#include "engine/QVParameter.h"
#include "engine/methods/QVMethod.h"

class QVGenerator : public QVNode {
 private:
  std::shared_ptr<QVFractalField> field_;  // first: FractalField refers to it

 public:
  /// A generator with default settings on the given parameters; registers itself.
  QVGenerator(QVNodeGraph& graph, QVParameter* parameter);
  /// A copy of source: same parameters, clones of both methods, same depth and
  /// range, an empty field of its own, a fresh name; registers itself in
  /// source's graph.
  QVGenerator(const QVGenerator& source);
  /// The frozen copy of source in graph, on parameter (the copy's parameters):
  /// same name, settings and stamps, method clones, the field shared (see
  /// qv::FrozenCopy).
  QVGenerator(QVNodeGraph& graph, const QVGenerator& source, QVParameter* parameter,
              qv::FrozenCopy);
  /// Unregisters itself; the effectors of its graph that used it are left
  /// without a generator.
  ~QVGenerator() override;

  /// The global parameters the generator computes with.
  const QVParameter& Parameter() const { return *parameter_; }
  /// The methods; edited in place only through their SetParamValue, on a
  /// generator that may be edited (a frozen copy's are read-only).
  const QVDivergenceMethod& DivergenceMethod() const { return *divergenceMethod_; }
  QVDivergenceMethod& DivergenceMethod() { return *divergenceMethod_; }
  const QVOutputMethod& OutputMethod() const { return *outputMethod_; }
  QVOutputMethod& OutputMethod() { return *outputMethod_; }
  int32_t Depth() const { return depth_; }
  double Range() const { return range_; }
  /// The result, shared with the frozen copies (see QVNode.h); written only by
  /// the generator's computation.
  QVFractalField& FractalField;

  void SetParameter(QVParameter* parameter);
  void SetDepth(int32_t depth);
  void SetRange(double range);
  void SetDivergenceMethod(std::unique_ptr<QVDivergenceMethod> method);
  void SetOutputMethod(std::unique_ptr<QVOutputMethod> method);

  /// Recomputes the field when this generator or what it uses changed; false
  /// when the pass was stopped first. Thread: the one running the pass.
  bool Update(const qv::Pass& pass);
  /// Resizes the field and runs the workers; false when the pass was stopped.
  bool Compute(const qv::Pass& pass) override;
  /// Records the field as the complete result of the current settings, when
  /// another schedule than Compute filled it (a render that sharpens in
  /// passes): the caller has put every pixel of the computed rectangle, each
  /// as QVThreadGenerator::ComputePixel gives it. Thread: the one running the pass.
  void RecordField();

  uint64_t SourceStamp() const override;

 private:
  QVParameter* parameter_;
  std::unique_ptr<QVDivergenceMethod> divergenceMethod_;
  std::unique_ptr<QVOutputMethod> outputMethod_;
  int32_t depth_ = 100;
  double range_ = 4.0;
};

/// One worker's view of a generator: its own output-method clone and the
/// per-picture constants. Computes whole rows with the plain per-step loop.
class QVThreadGenerator {
 public:
  QVThreadGenerator(const QVGenerator& generator, int32_t startRow, std::stop_token stop = {});
  /// Computes every column of one row of the generator's field (row and
  /// columns counted from the corner of the parameters' computed rectangle).
  void ComputeRow(int32_t row);
  /// The record of the picture's pixel at (col, row), by the plain loop.
  /// Throws qv::PassStopped when the pass is stopped part-way through the orbit.
  FractalPixel ComputePixel(int32_t col, int32_t row);

  const QVGenerator& Generator;
  const int32_t StartRow;

 private:
  std::unique_ptr<QVOutputMethod> output_;
  qv::PlaneMapping mapping_;
  qv::PixelRect rect_;  // the part of the picture the field holds
  std::stop_token stop_;
};
