#pragma once
// QVEffector: colours one generator's fractal field. A rendering method reduces
// each record to a scalar, the optional differential replaces it by a
// directional difference between neighbours, and the colour bar maps it to RGB.
// Owned by the node graph; edited on the UI thread, computed on the render thread.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/QVColorBar.h"
#include "engine/QVField.h"
#include "engine/QVNode.h"
#include "engine/methods/QVMethod.h"

class QVNodeGraph;

class QVGenerator;
class QVMain;

class QVEffector : public QVNode {
 public:
  /// An effector with default settings on generator (may be null); registers itself.
  QVEffector(QVGenerator* generator, QVMain* owner);
  ~QVEffector() override;

  QVGenerator* Generator;
  std::unique_ptr<QVRenderingMethod> RenderingMethod;
  bool Differential = false;
  QVComplex DifferentialVector{1.0, -1.0};
  bool DifferentialRegularSW = false;
  bool DifferentialEdgeSW = false;
  qv::ColorBar ColorBar;
  QVRGBField RGBField;
  QVMain* Owner;

  void SetGenerator(QVGenerator* generator);
  void SetRenderingMethod(std::unique_ptr<QVRenderingMethod> method);
  void SetDifferential(bool on);
  void SetDifferentialVector(QVComplex v);
  void SetDifferentialRegularSW(bool on);
  void SetDifferentialEdgeSW(bool on);

  // Colour-bar operations; all but the read-only ones mark the effector Changed.
  int32_t EntryCount() const { return ColorBar.EntryCount(); }
  double EntryInput(int32_t i) const { return ColorBar.EntryInput(i); }
  int32_t EntryColor(int32_t i) const { return ColorBar.EntryColor(i); }
  int32_t InsertEntry(int32_t color, double x);
  void SetEntryInput(int32_t i, double x);
  void SetEntryColor(int32_t i, int32_t color);
  void DeleteEntry(int32_t i);
  void ClearEntries();
  int32_t IndexOfInput(double x) const { return ColorBar.IndexOfInput(x); }
  int32_t ColorAt(double v) const { return ColorBar.ColorAt(v); }

  /// Thread: the render thread.
  int32_t Update();
  bool Compute() override;
  void Reset() override;

  uint64_t SourceStamp() const override;

  std::string WriteSource(const std::string& indent) const override;
  bool ReadSource(qv::SourceText& text) override;
};

/// One worker of an effector: the per-pixel scalar (plain or differential) and
/// its colour, row by row, by the plain per-pixel rules.
class QVThreadEffector {
 public:
  QVThreadEffector(const QVEffector& effector, int32_t startRow);
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
  double ux_ = 0.0, uy_ = 0.0;
  bool diagonal_ = false;
  double distance_ = 0.0;
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
