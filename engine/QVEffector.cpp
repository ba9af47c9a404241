#include "engine/QVEffector.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <type_traits>

#include "base/QVScan.h"
#include "engine/QVEffectorRows.h"
#include "engine/QVGenerator.h"
#include "engine/QVGraph.h"
#include "engine/QVMixer.h"
#include "engine/QVRowWorkers.h"

QVEffector::QVEffector(QVNodeGraph& graph, QVGenerator* generator)
    : QVNode(graph),
      field_(std::make_shared<QVRGBField>()),
      RGBField(*field_),
      generator_(generator),
      renderingMethod_(qv::CloneAs(*RenderingMethods().front())),
      colorBar_(std::make_shared<const qv::ColorBar>(
          std::vector<ConvertData>{{0.0, PackRGB(0, 0, 0)}, {1.0, PackRGB(255, 255, 255)}})) {
  AssignName(graph.NextEffectorName());
  MarkChanged();
  Graph().Register(this);
}

QVEffector::QVEffector(QVNodeGraph& graph, const QVEffector& source, QVGenerator* generator,
                       qv::FrozenCopy frozen)
    : QVNode(graph, source, frozen),
      field_(frozen.Shared ? source.field_ : std::make_shared<QVRGBField>()),
      RGBField(*field_),
      generator_(generator),
      renderingMethod_(qv::FrozenClone(source.RenderingMethod())),
      differential_(source.differential_),
      differentialVector_(source.differentialVector_),
      differentialRegularSW_(source.differentialRegularSW_),
      differentialEdgeSW_(source.differentialEdgeSW_),
      colorBar_(source.colorBar_) {
  Graph().Register(this);
}

QVEffector::~QVEffector() {
  Graph().Unregister(this);
  for (QVMixer* m : Graph().Mixers) m->RemoveEffector(this);
}

void QVEffector::SetGenerator(QVGenerator* generator) {
  if (generator && &generator->Graph() != &Graph()) {
    throw std::invalid_argument("effector " + qv::QuoteText(Name()) +
                                ": its generator must belong to its own graph");
  }
  generator_ = generator;
  MarkChanged();
}

void QVEffector::SetRenderingMethod(std::unique_ptr<QVRenderingMethod> method) {
  renderingMethod_ = std::move(method);
  MarkChanged();
}

void QVEffector::SetDifferential(bool on) {
  differential_ = on;
  MarkChanged();
}

void QVEffector::SetDifferentialVector(QVComplex v) {
  differentialVector_ = qv::KeptComplex(v);
  MarkChanged();
}

void QVEffector::SetDifferentialRegularSW(bool on) {
  differentialRegularSW_ = on;
  MarkChanged();
}

void QVEffector::SetDifferentialEdgeSW(bool on) {
  differentialEdgeSW_ = on;
  MarkChanged();
}

template <typename Edit>
auto QVEffector::EditBar(Edit edit) {
  auto bar = std::make_shared<qv::ColorBar>(*colorBar_);
  if constexpr (std::is_void_v<decltype(edit(*bar))>) {
    edit(*bar);
    colorBar_ = std::move(bar);
    MarkChanged();
  } else {
    auto result = edit(*bar);
    colorBar_ = std::move(bar);
    MarkChanged();
    return result;
  }
}

int32_t QVEffector::InsertEntry(int32_t color, double x) {
  return EditBar([&](qv::ColorBar& bar) { return bar.InsertEntry(color, x); });
}

void QVEffector::InsertEntries(const std::vector<ConvertData>& entries) {
  EditBar([&](qv::ColorBar& bar) { bar.InsertEntries(entries); });
}

void QVEffector::SetEntryInput(int32_t i, double x) {
  EditBar([&](qv::ColorBar& bar) { bar.SetEntryInput(i, x); });
}

void QVEffector::SetEntryColor(int32_t i, int32_t color) {
  EditBar([&](qv::ColorBar& bar) { bar.SetEntryColor(i, color); });
}

void QVEffector::DeleteEntry(int32_t i) {
  EditBar([&](qv::ColorBar& bar) { bar.DeleteEntry(i); });
}

void QVEffector::ClearEntries() {
  colorBar_ = std::make_shared<const qv::ColorBar>();
  MarkChanged();
}

void QVEffector::SetColorBar(qv::ColorBar bar) {
  colorBar_ = std::make_shared<const qv::ColorBar>(std::move(bar));
  MarkChanged();
}

uint64_t QVEffector::SourceStamp() const {
  const uint64_t generator = generator_ ? generator_->ResultStamp() : 0;
  return std::max({Stamp(), generator, renderingMethod_->Stamp()});
}

void QVEffector::ComputedSize(int32_t& w, int32_t& h) const {
  w = generator_ ? std::max(generator_->Parameter().Width(), 0) : 0;
  h = generator_ ? std::max(generator_->Parameter().Height(), 0) : 0;
}

uint64_t QVEffector::ComputedSizeStamp() const {
  return std::max(Stamp(), generator_ ? generator_->Parameter().OutputStamp() : 0);
}

bool QVEffector::Update(const qv::Pass& pass) {
  // An effector without a generator has nothing to ask; it yields an empty picture.
  if (generator_ && !generator_->Update(pass)) return false;
  return FinishUpdate(pass);
}

bool QVEffector::Compute(const qv::Pass& pass) {
  return RecordCompletion([this, &pass] {
    const int32_t w = generator_ ? generator_->FractalField.Width : 0;
    const int32_t h = generator_ ? generator_->FractalField.Height : 0;
    RGBField.Resize(w, h);
    if (w < 1 || h < 1) return true;
    // The fast rows give the plain workers' picture bit for bit; the plain
    // workers stay as the reference that tests and benchmarks can force.
    if (!pass.PlainRows) return qv::ComputeEffectorRows(*this, pass);
    return qv::ComputeRows(pass, Name(), h, [this, &pass](int worker) -> qv::RowFunction {
      auto thread = std::make_shared<QVThreadEffector>(*this, worker, pass.Stop);
      return [thread](int row) { thread->ComputeRow(row); };
    });
  });
}

QVThreadEffector::QVThreadEffector(const QVEffector& effector, int32_t startRow,
                                   std::stop_token stop)
    : Effector(effector),
      StartRow(startRow),
      field_(effector.Generator()->FractalField),
      plan_(effector),
      stop_(std::move(stop)) {}

void QVThreadEffector::ComputeRow(int32_t row) {
  int32_t* out = Effector.RGBField.Row(row);
  for (int32_t x = 0; x < field_.Width; ++x) {
    // A wide row of the differential takes milliseconds: look at the stop too.
    if ((x & qv::StopCheckPixelMask) == qv::StopCheckPixelMask && stop_.stop_requested()) {
      throw qv::PassStopped{};
    }
    out[x] = Effector.ColorAt(Scalar(x, row));
  }
}

double QVThreadEffector::Value(int32_t x, int32_t y) const {
  const FractalPixel& p = field_.Pixel(x, y);
  return Effector.RenderingMethod().Value(p.Count, p.Z);
}

int32_t QVThreadEffector::CountAt(int32_t x, int32_t y) const { return field_.Pixel(x, y).Count; }

// The one-sided difference with primary neighbour P and opposite neighbour Q.
// A neighbour outside the field counts as the pixel's own value with count -1.
double QVThreadEffector::OneSided(int32_t x, int32_t y, int32_t px, int32_t py, int32_t qx,
                                  int32_t qy) const {
  auto inside = [this](int32_t cx, int32_t cy) {
    return cx >= 0 && cx < field_.Width && cy >= 0 && cy < field_.Height;
  };
  const double v0 = Value(x, y);
  const double vP = inside(px, py) ? Value(px, py) : v0;
  if (plan_.Edge) {
    const int32_t c0 = CountAt(x, y);
    const int32_t cP = inside(px, py) ? CountAt(px, py) : -1;
    const int32_t cQ = inside(qx, qy) ? CountAt(qx, qy) : -1;
    if (c0 != cP && c0 == cQ) return (inside(qx, qy) ? Value(qx, qy) : v0) - v0;
  }
  return v0 - vP;
}

double QVThreadEffector::Scalar(int32_t x, int32_t y) const {
  if (!plan_.On) return Value(x, y);
  if (plan_.ZeroVector) return 0.0;  // a zero vector has no direction
  double d;
  if (plan_.Diagonal) {
    d = OneSided(x, y, x + plan_.A, y + plan_.B, x - plan_.A, y - plan_.B) * plan_.Ux;
  } else {
    const double dx = OneSided(x, y, x - 1, y, x + 1, y);
    const double dy = OneSided(x, y, x, y + 1, x, y - 1);
    d = dx * plan_.Ux + dy * plan_.Uy;
  }
  if (plan_.Regular) d = plan_.Distance != 0.0 ? d / plan_.Distance : 0.0;
  return d;
}

namespace qv {

int32_t NeighbourMargin(const QVNodeGraph& graph) {
  for (const QVEffector* e : graph.Effectors) {
    if (e->Differential()) return 1;
  }
  return 0;
}

}  // namespace qv
