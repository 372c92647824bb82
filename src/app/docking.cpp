#include "app/docking.h"

#include "app/desktop_edges.h"

namespace lumio {
namespace {

constexpr int32_t kSnapDistance = 10;
constexpr int32_t kSlideStepMs = 50;
constexpr int32_t kAutoHideMs = 1000;
constexpr int32_t kRightSlideStep = 100;
constexpr int32_t kTopSlideStep = 30;
constexpr int32_t kRightStrip = 2;
constexpr int32_t kTopStrip = 3;

}  // namespace

Docking::Docking(WindowLayer& window, WindowPlacement& placement,
                 std::function<void(int32_t, int32_t)> savePosition)
    : m_window(window), m_place(placement), m_savePosition(std::move(savePosition)) {}

void Docking::Reset() {
  m_nDockKind = kDockNone;
  m_nDockState = kDockFree;
  m_window.KillTimer(kTimerAutoHide);
}

void Docking::MoveTo(int32_t x, int32_t y) {
  m_window.MoveWindow(m_place.WindowRectAt(x, y));
}

bool Docking::AtAnEdge(const Rect& r) const {
  return r.top == m_place.m_nWorkAreaTop || r.right == m_place.m_nWorkAreaRight;
}

void Docking::RestartAutoHide() {
  m_window.KillTimer(kTimerAutoHide);
  m_window.SetTimer(kTimerAutoHide, kAutoHideMs);
}

void Docking::OnMove() {
  const Rect r = m_window.GetWindowRect();
  // The window docks at the outer edges of the desktop where it is now: a boundary between two
  // screens is crossed, never docked at. A hidden window, mostly off the desktop, and the
  // window's own docking moves keep the edges it docked at.
  if (m_nDockState != kDockHidden && !m_bMoveGuard) {
    const std::vector<Monitor> monitors = m_window.GetMonitors();
    m_place.m_nWorkAreaRight = RightEdgeAt(monitors, r);
    m_place.m_nWorkAreaTop = TopEdgeAt(monitors, r);
  }
  const int32_t right = m_place.m_nWorkAreaRight;
  const int32_t top = m_place.m_nWorkAreaTop;
  auto end = [this] { m_bMoveGuard = false; };

  if (m_nDockState == kDockRevealed) {
    if (r.top > top + kSnapDistance && r.right < right - kSnapDistance) {
      // Dragged away from the edge: free again, and this move saves nothing.
      m_nDockKind = kDockNone;
      m_nDockState = kDockFree;
      return end();
    }
    if (m_place.m_nWindowX == r.left && m_place.m_nWindowY == r.top) return end();
  }

  if (m_place.IsNormalMode() && r.right + kSnapDistance >= right && m_nDockState != kDockHidden &&
      !m_bMoveGuard) {
    m_place.m_nWindowY = r.top <= top + kSnapDistance ? top + kSnapDistance + 1 : r.top;
    m_place.m_nWindowX = right - m_place.m_nWindowWidth;
    m_nDockKind = kDockRight;
    m_bMoveGuard = true;  // cleared by the move this one causes
    MoveTo(m_place.m_nWindowX, m_place.m_nWindowY);
    RestartAutoHide();
    return;
  }

  if (r.top <= top + kSnapDistance) {
    if (m_nDockState == kDockHidden || m_bMoveGuard) return end();
    m_place.m_nWindowX = r.left;
    m_place.m_nWindowY = top;
    m_nDockKind = kDockTop;
    m_bMoveGuard = true;
    MoveTo(r.left, top);
    RestartAutoHide();
    return;
  }

  if (r.right >= right - kSnapDistance) return end();

  m_savePosition(r.left, r.top);
  m_place.m_nSavedX = m_place.m_nWindowX = r.left;
  m_place.m_nSavedY = m_place.m_nWindowY = r.top;
  end();
}

void Docking::OnMouseMove() {
  m_window.KillTimer(kTimerSlideRight);
  m_window.KillTimer(kTimerSlideUp);
  if (m_bHoverTracking || !m_window.TrackMouseLeave()) return;
  m_bHoverTracking = true;
  m_window.KillTimer(kTimerSlideRight);
  if (!m_place.IsNormalMode()) return;
  if (m_nDockKind == kHiddenRight) {
    m_nDockState = kDockRevealed;
    m_nDockKind = kDockRight;
    MoveTo(m_place.m_nWindowX, m_place.m_nWindowY);
  } else if (m_nDockKind == kHiddenTop) {
    m_nDockKind = kDockTop;
    m_nDockState = kDockRevealed;
    MoveTo(m_place.m_nWindowX, m_place.m_nWorkAreaTop);
  }
}

int32_t Docking::OnMouseLeave() {
  if (!m_place.IsNormalMode()) {
    m_bHoverTracking = false;
    return 1;
  }
  const Rect r = m_window.GetWindowRect();
  const Point p = m_window.GetCursorPos();
  if (!r.Contains(p) && AtAnEdge(r)) {
    if (m_nDockKind == kDockRight) {
      m_nDockKind = kHiddenRight;
      m_nDockState = kDockHidden;
      m_nSlideX = r.left;
      m_window.SetTimer(kTimerSlideRight, kSlideStepMs);
    }
    if (m_nDockKind == kDockTop) {
      m_nDockKind = kHiddenTop;
      m_nDockState = kDockHidden;
      m_nSlideY = m_place.m_nWorkAreaTop;
      m_window.SetTimer(kTimerSlideUp, kSlideStepMs);
    }
  } else {
    RestartAutoHide();
  }
  m_bHoverTracking = false;
  return 1;
}

void Docking::SlideOut(int32_t direction) {
  if (direction == 1) {
    const int32_t x = m_nSlideX;
    const int32_t hiddenX = m_place.m_nWorkAreaRight - kRightStrip;
    // The test is on the current x, so the window may pass the edge for up to two steps before
    // it settles on its strip.
    if (x - kRightSlideStep >= hiddenX) {
      m_nSlideX = hiddenX;
      MoveTo(hiddenX, m_place.m_nWindowY);
      return;
    }
    m_nSlideX = x + kRightSlideStep;
    MoveTo(x + kRightSlideStep, m_place.m_nWindowY);
    m_window.SetTimer(kTimerSlideRight, kSlideStepMs);
  } else if (direction == 2) {
    const int32_t top = m_place.m_nWorkAreaTop;
    const int32_t y = m_nSlideY - kTopSlideStep;
    if (y + m_place.m_nWindowHeight <= top + kTopStrip) {
      MoveTo(m_place.m_nWindowX, top + kTopStrip - m_place.m_nWindowHeight);
      return;
    }
    m_nSlideY = y;
    MoveTo(m_place.m_nWindowX, y);
    m_window.SetTimer(kTimerSlideUp, kSlideStepMs);
  }
}

void Docking::CheckAutoHide() {
  const Rect r = m_window.GetWindowRect();
  const Point p = m_window.GetCursorPos();
  if (!m_place.IsNormalMode()) return;
  if (r.Contains(p) || !AtAnEdge(r)) {
    m_window.SetTimer(kTimerAutoHide, kAutoHideMs);
    return;
  }
  if (m_nDockKind == kDockRight) {
    m_nDockKind = kHiddenRight;
    m_nDockState = kDockHidden;
    MoveTo(m_place.m_nWindowX + m_place.m_nWindowWidth - kRightStrip, m_place.m_nWindowY);
  }
  if (m_nDockKind == kDockTop) {
    m_nDockKind = kHiddenTop;
    m_nDockState = kDockHidden;
    MoveTo(m_place.m_nWindowX, m_place.m_nWorkAreaTop + kTopStrip - m_place.m_nWindowHeight);
  }
  m_bHoverTracking = false;
}

}  // namespace lumio
