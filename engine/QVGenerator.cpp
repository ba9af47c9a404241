#include "engine/QVGenerator.h"

#include <algorithm>
#include <memory>

#include "base/QVScan.h"
#include "engine/QVEffector.h"
#include "engine/QVRowWorkers.h"
#include "engine/kernels/QVGeneratorKernel.h"

QVGenerator::QVGenerator(QVNodeGraph& graph, QVParameter* parameter)
    : QVNode(graph),
      field_(std::make_shared<QVFractalField>()),
      FractalField(*field_),
      parameter_(parameter),
      divergenceMethod_(qv::CloneAs(*DivergenceMethods().front())),
      outputMethod_(qv::CloneAs(*OutputMethods().front())) {
  AssignName(graph.NextGeneratorName());
  MarkChanged();
  graph.Register(this);
}

QVGenerator::QVGenerator(const QVGenerator& source)
    : QVNode(source.Graph()),
      field_(std::make_shared<QVFractalField>()),
      FractalField(*field_),
      parameter_(source.parameter_),
      divergenceMethod_(qv::CloneAs(*source.divergenceMethod_)),
      outputMethod_(qv::CloneAs(*source.outputMethod_)),
      depth_(source.depth_),
      range_(source.range_) {
  AssignName(Graph().NextGeneratorName());
  MarkChanged();
  Graph().Register(this);
}

QVGenerator::QVGenerator(QVNodeGraph& graph, const QVGenerator& source, QVParameter* parameter,
                         qv::FrozenCopy frozen)
    : QVNode(graph, source, frozen),
      field_(frozen.Shared ? source.field_ : std::make_shared<QVFractalField>()),
      FractalField(*field_),
      parameter_(parameter),
      divergenceMethod_(qv::FrozenClone(*source.divergenceMethod_)),
      outputMethod_(qv::FrozenClone(*source.outputMethod_)),
      depth_(source.depth_),
      range_(source.range_) {
  graph.Register(this);
}

QVGenerator::~QVGenerator() {
  Graph().Unregister(this);
  for (QVEffector* e : Graph().Effectors) {
    if (e->Generator() == this) e->SetGenerator(nullptr);
  }
}

void QVGenerator::SetParameter(QVParameter* parameter) {
  parameter_ = parameter;
  MarkChanged();
}

void QVGenerator::SetDepth(int32_t depth) {
  depth_ = depth;
  MarkChanged();
}

void QVGenerator::SetRange(double range) {
  range_ = qv::KeptNumber(range);
  MarkChanged();
}

void QVGenerator::SetDivergenceMethod(std::unique_ptr<QVDivergenceMethod> method) {
  divergenceMethod_ = std::move(method);
  MarkChanged();
}

void QVGenerator::SetOutputMethod(std::unique_ptr<QVOutputMethod> method) {
  outputMethod_ = std::move(method);
  MarkChanged();
}

uint64_t QVGenerator::SourceStamp() const {
  return std::max(
      {Stamp(), parameter_->OutputStamp(), divergenceMethod_->Stamp(), outputMethod_->Stamp()});
}

bool QVGenerator::Update(const qv::Pass& pass) { return FinishUpdate(pass); }

bool QVGenerator::Compute(const qv::Pass& pass) {
  return RecordCompletion([this, &pass] {
    const qv::PixelRect rect = parameter_->ComputedRect();
    const int32_t w = rect.Width;
    const int32_t h = rect.Height;
    FractalField.Resize(w, h);
    if (w < 1 || h < 1) return true;
    // The kernel is chosen once; the plain loop stays the reference.
    const qv::GeneratorKernel kernel(*this, pass.Stop);
    return qv::ComputeRows(pass, Name(), h, [this, &kernel, &pass](int worker) -> qv::RowFunction {
      if (kernel.Level() != qv::GeneratorKernelLevel::Plain) {
        return [this, &kernel](int row) { kernel.ComputeRow(row, FractalField.Row(row)); };
      }
      auto thread = std::make_shared<QVThreadGenerator>(*this, worker, pass.Stop);
      return [thread](int row) { thread->ComputeRow(row); };
    });
  });
}

void QVGenerator::RecordField() {
  RecordCompletion([] { return true; });
}

QVThreadGenerator::QVThreadGenerator(const QVGenerator& generator, int32_t startRow,
                                     std::stop_token stop)
    : Generator(generator),
      StartRow(startRow),
      output_(qv::CloneAs(generator.OutputMethod())),
      mapping_(generator.Parameter()),
      rect_(generator.Parameter().ComputedRect()),
      stop_(std::move(stop)) {}

void QVThreadGenerator::ComputeRow(int32_t row) {
  FractalPixel* out = Generator.FractalField.Row(row);
  for (int32_t col = 0; col < rect_.Width; ++col)
    out[col] = ComputePixel(rect_.X + col, rect_.Y + row);
}

FractalPixel QVThreadGenerator::ComputePixel(int32_t col, int32_t row) {
  const QVParameter& p = Generator.Parameter();
  const QVFractalMethod& f = p.FractalMethod();
  const QVDivergenceMethod& d = Generator.DivergenceMethod();
  const QVComplex point = mapping_.Point(col, row);
  QVComplex z = p.FractalType() == 0 ? p.FractalParameter() : point;
  const QVComplex c = p.FractalType() == 0 ? point : p.FractalParameter();
  const double range = Generator.Range();
  output_->Start();
  const bool finished = qv::RunOrbit(
      Generator.Depth(),
      [&](int32_t j) {
        z = f.Iterate(z, c);
        output_->Step(j, z);
        return z.re * z.re + z.im * z.im > range || d.Diverged(j, z);
      },
      [this] { return stop_.stop_requested(); });
  if (!finished) throw qv::PassStopped{};
  return output_->Result();
}
