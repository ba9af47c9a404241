#pragma once
// The controller workspace's geometry: where each node panel stands (one
// column per node kind, one row per registry index), the straight line of a
// link from the middle of one panel's right edge to the middle of the other's
// left edge, and how large the drawing surface must be so that every panel and
// every line can be reached by scrolling. Plain arithmetic, no widgets.
#include <cstdint>
#include <vector>

#include "engine/QVGraph.h"
#include "ui/QVGraphLinks.h"

namespace qv {

struct PanelRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  bool operator==(const PanelRect&) const = default;
};

struct LineSegment {
  int32_t X1 = 0;
  int32_t Y1 = 0;
  int32_t X2 = 0;
  int32_t Y2 = 0;
  bool operator==(const LineSegment&) const = default;
};

class WorkspaceGeometry {
 public:
  static constexpr int32_t PanelWidth = 108;
  static constexpr int32_t PanelHeight = 32;
  static constexpr int32_t RowPitch = 36;
  static constexpr int32_t Margin = 4;
  /// The surface as laid out; it grows below this for longer columns.
  static constexpr int32_t MinimumHeight = 320;

  /// Left edge of a kind's column: 4, 136 or 268.
  static int32_t ColumnLeft(NodeKind kind);
  /// The panel of row (registry index) row of kind: top = 36 row + 4.
  static PanelRect Panel(NodeKind kind, int32_t row);
  /// From the middle of from's right edge to the middle of to's left edge.
  static LineSegment Connection(const PanelRect& from, const PanelRect& to);
  /// The line of a link between the panels of its rows.
  static LineSegment Line(const WorkspaceLink& link);
  static std::vector<LineSegment> Lines(const std::vector<WorkspaceLink>& links);

  /// Surface size for columns of at most rows panels: every panel with a
  /// margin below and beside it, never less than the laid-out 320 pixels high.
  static int32_t SurfaceWidth();
  static int32_t SurfaceHeight(int64_t rows);
};

}  // namespace qv
