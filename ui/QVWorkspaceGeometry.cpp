#include "ui/QVWorkspaceGeometry.h"

#include <algorithm>

namespace qv {

int32_t WorkspaceGeometry::ColumnLeft(NodeKind kind) {
  switch (kind) {
    case NodeKind::Generator:
      return 4;
    case NodeKind::Effector:
      return 136;
    case NodeKind::Mixer:
      return 268;
  }
  return 4;
}

PanelRect WorkspaceGeometry::Panel(NodeKind kind, int32_t row) {
  return {ColumnLeft(kind), row * RowPitch + Margin, PanelWidth, PanelHeight};
}

LineSegment WorkspaceGeometry::Connection(const PanelRect& from, const PanelRect& to) {
  return {from.Left + from.Width, from.Top + from.Height / 2, to.Left, to.Top + to.Height / 2};
}

LineSegment WorkspaceGeometry::Line(const WorkspaceLink& link) {
  const NodeKind to = link.From == NodeKind::Generator ? NodeKind::Effector : NodeKind::Mixer;
  return Connection(Panel(link.From, link.FromRow), Panel(to, link.ToRow));
}

std::vector<LineSegment> WorkspaceGeometry::Lines(const std::vector<WorkspaceLink>& links) {
  std::vector<LineSegment> lines;
  lines.reserve(links.size());
  for (const WorkspaceLink& l : links) lines.push_back(Line(l));
  return lines;
}

int32_t WorkspaceGeometry::SurfaceWidth() {
  return ColumnLeft(NodeKind::Mixer) + PanelWidth + Margin;
}

int32_t WorkspaceGeometry::SurfaceHeight(int64_t rows) {
  // Rows beyond what a widget can be tall are clamped (the registries never get there).
  const int64_t needed = std::clamp<int64_t>(rows, 0, 1'000'000) * RowPitch + Margin;
  return static_cast<int32_t>(std::max<int64_t>(MinimumHeight, needed));
}

}  // namespace qv
