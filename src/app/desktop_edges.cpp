#include "app/desktop_edges.h"

namespace lumio {
namespace {

constexpr int32_t kVisibleCorner = 20;

const Monitor* Primary(const std::vector<Monitor>& monitors) {
  return monitors.empty() ? nullptr : &monitors.front();
}

}  // namespace

Rect PrimaryWorkArea(const std::vector<Monitor>& monitors) {
  const Monitor* primary = Primary(monitors);
  return primary ? primary->workArea : Rect::FromSize(0, 0, 1024, 768);
}

int32_t RightEdgeAt(const std::vector<Monitor>& monitors, const Rect& window) {
  const Monitor* rightmost = nullptr;
  for (const Monitor& m : monitors) {
    const bool besideRows = m.area.top < window.bottom && window.top < m.area.bottom;
    if (besideRows && (!rightmost || m.area.right > rightmost->area.right)) rightmost = &m;
  }
  if (!rightmost) return PrimaryWorkArea(monitors).right;
  return rightmost->workArea.right;
}

int32_t TopEdgeAt(const std::vector<Monitor>& monitors, const Rect& window) {
  const Monitor* topmost = nullptr;
  for (const Monitor& m : monitors) {
    const bool overColumns = m.area.left < window.right && window.left < m.area.right;
    if (overColumns && (!topmost || m.area.top < topmost->area.top)) topmost = &m;
  }
  if (!topmost) return PrimaryWorkArea(monitors).top;
  return topmost->workArea.top;
}

bool IsOnSomeWorkArea(const std::vector<Monitor>& monitors, const Rect& window) {
  for (const Monitor& m : monitors) {
    const Rect shown = window.Intersect(m.workArea);
    if (shown.width() >= kVisibleCorner && shown.height() >= kVisibleCorner) return true;
  }
  return false;
}

}  // namespace lumio
