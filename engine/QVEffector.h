#pragma once
// QVEffector: colours one generator's fractal field. A rendering method reduces
// each record to a scalar, the optional differential replaces it by a
// directional difference between neighbours, and the colour bar maps it to RGB.
// Owned by the node graph; edited on the UI thread, computed on the render thread.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/QVColorBar.h"
#include "engine/QVDifferentialPlan.h"
#include "engine/QVField.h"
#include "engine/QVNode.h"
#include "engine/methods/QVMethod.h"

class QVNodeGraph;

class QVGenerator;

class QVEffector : public QVNode {
 private:
  std::shared_ptr<QVRGBField> field_;  // first: RGBField refers to it

 public:
  /// An effector with default settings on generator (may be null); registers itself.
  QVEffector(QVNodeGraph& graph, QVGenerator* generator);
  /// The frozen copy of source in graph, on generator (the copy of source's
  /// generator, or null): same name, settings and stamps, the colour bar and
  /// (see qv::FrozenCopy) the picture shared.
  QVEffector(QVNodeGraph& graph, const QVEffector& source, QVGenerator* generator,
             qv::FrozenCopy frozen);
  /// Unregisters itself and removes every element that names it from the
  /// lists of the mixers of its graph.
  ~QVEffector() override;

  /// Null: no generator (the generator was deleted, or none was given); the
  /// picture is then empty.
  QVGenerator* Generator() const { return generator_; }
  /// Edited in place only through its SetParamValue (see QVGenerator.h).
  const QVRenderingMethod& RenderingMethod() const { return *renderingMethod_; }
  QVRenderingMethod& RenderingMethod() { return *renderingMethod_; }
  bool Differential() const { return differential_; }
  QVComplex DifferentialVector() const { return differentialVector_; }
  bool DifferentialRegularSW() const { return differentialRegularSW_; }
  bool DifferentialEdgeSW() const { return differentialEdgeSW_; }
  /// The result, shared with the frozen copies (see QVNode.h); written only by
  /// the effector's computation.
  QVRGBField& RGBField;

  /// generator: null, or a generator of this effector's graph (else
  /// std::invalid_argument and nothing changes).
  void SetGenerator(QVGenerator* generator);
  void SetRenderingMethod(std::unique_ptr<QVRenderingMethod> method);
  void SetDifferential(bool on);
  void SetDifferentialVector(QVComplex v);
  void SetDifferentialRegularSW(bool on);
  void SetDifferentialEdgeSW(bool on);

  // Colour-bar operations; all but the read-only ones mark the effector
  // Changed. The bar changes only through them. An index outside the bar
  // throws std::out_of_range and changes nothing.
  const qv::ColorBar& ColorBar() const { return *colorBar_; }
  int32_t EntryCount() const { return colorBar_->EntryCount(); }
  double EntryInput(int32_t i) const { return colorBar_->EntryInput(i); }
  int32_t EntryColor(int32_t i) const { return colorBar_->EntryColor(i); }
  int32_t InsertEntry(int32_t color, double x);
  /// InsertEntry for each entry in turn, in O(n log n) on an empty bar.
  void InsertEntries(const std::vector<ConvertData>& entries);
  void SetEntryInput(int32_t i, double x);
  void SetEntryColor(int32_t i, int32_t color);
  void DeleteEntry(int32_t i);
  void ClearEntries();
  /// Replaces the whole bar (its entries as given).
  void SetColorBar(qv::ColorBar bar);
  int32_t IndexOfInput(double x) const { return colorBar_->IndexOfInput(x); }
  int32_t ColorAt(double v) const { return colorBar_->ColorAt(v); }

  /// The size RGBField has once computed: the global picture size, or 0 x 0
  /// without a generator. Unlike RGBField's size, it never lags behind.
  void ComputedSize(int32_t& w, int32_t& h) const;
  /// The stamp ComputedSize depends on.
  uint64_t ComputedSizeStamp() const;

  /// Brings the generator, then this effector, up to date; false when the
  /// pass was stopped first. Thread: the one running the pass.
  bool Update(const qv::Pass& pass);
  bool Compute(const qv::Pass& pass) override;

  uint64_t SourceStamp() const override;

 private:
  /// Applies edit to a new copy of the bar, which then replaces it: frozen
  /// copies keep the bar they were made with. The effector is marked Changed
  /// only when edit returns.
  template <typename Edit>
  auto EditBar(Edit edit);

  QVGenerator* generator_;
  std::unique_ptr<QVRenderingMethod> renderingMethod_;
  bool differential_ = false;
  QVComplex differentialVector_{1.0, -1.0};
  bool differentialRegularSW_ = false;
  bool differentialEdgeSW_ = false;
  /// Never changed in place; shared with the frozen copies.
  std::shared_ptr<const qv::ColorBar> colorBar_;
};

/// One worker of an effector: the per-pixel scalar (plain or differential) and
/// its colour, row by row, by the plain per-pixel rules.
class QVThreadEffector {
 public:
  QVThreadEffector(const QVEffector& effector, int32_t startRow, std::stop_token stop = {});
  void ComputeRow(int32_t row);
  /// The scalar of pixel (x, y): the rendering value, or the differential.
  double Scalar(int32_t x, int32_t y) const;

  const QVEffector& Effector;
  const int32_t StartRow;

 private:
  double Value(int32_t x, int32_t y) const;
  int32_t CountAt(int32_t x, int32_t y) const;
  double OneSided(int32_t x, int32_t y, int32_t px, int32_t py, int32_t qx, int32_t qy) const;

  const QVFractalField& field_;
  const qv::DifferentialPlan plan_;
  std::stop_token stop_;
};

namespace qv {

/// How many pixels beyond a part of the picture (a band, a region) the
/// effectors of graph read to colour that part: 1 when any effector's
/// differential is on (it reads the nearest neighbours only, the diagonal
/// case included), else 0. A part rendered with this margin, cut back to the
/// part, equals those pixels of the whole render: only the true picture edges
/// are edges.
int32_t NeighbourMargin(const QVNodeGraph& graph);

}  // namespace qv
