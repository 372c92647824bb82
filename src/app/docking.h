#pragma once
// Edge docking: a normal window pushed against the right or the top edge of the desktop snaps
// to it and, once the pointer leaves, slides out of view leaving a strip of 2 (right) or 3 (top)
// pixels through which it comes back. The mini bar only snaps to the top and never hides. With
// several screens only the desktop's outer edges count (app/desktop_edges.h).

#include <cstdint>
#include <functional>

#include "app/window_placement.h"
#include "ports/window_layer.h"

namespace lumio {

// m_nDockKind values.
inline constexpr int32_t kDockNone = 0;
inline constexpr int32_t kDockRight = 1;
inline constexpr int32_t kHiddenRight = 2;
inline constexpr int32_t kDockTop = 6;
inline constexpr int32_t kHiddenTop = 7;
// m_nDockState values.
inline constexpr int32_t kDockFree = 0;
inline constexpr int32_t kDockHidden = 1;
inline constexpr int32_t kDockRevealed = 2;

class Docking {
 public:
  // `savePosition` writes LastX and LastY.
  Docking(WindowLayer& window, WindowPlacement& placement,
          std::function<void(int32_t x, int32_t y)> savePosition);

  // Back to free: no docking, no auto-hide check pending.
  void Reset();

  // The window moved (by the user or by the program): dock, undock or save the position.
  void OnMove();
  // The pointer moved over the window's background: bring a hidden window back.
  void OnMouseMove();
  // The pointer left the window: start hiding a docked window. Returns 1.
  int32_t OnMouseLeave();
  // One step of the hide slide: direction 1 to the right (timer 3), 2 upwards (timer 4).
  void SlideOut(int32_t direction);
  // The auto-hide check (timer 5).
  void CheckAutoHide();

  int32_t m_nDockKind = kDockNone;
  int32_t m_nDockState = kDockFree;
  bool m_bHoverTracking = false;
  int32_t m_nSlideX = 0;
  int32_t m_nSlideY = 0;
  bool m_bMoveGuard = false;

 private:
  void MoveTo(int32_t x, int32_t y);
  void RestartAutoHide();
  // Whether the window touches the edge it docked at.
  bool AtAnEdge(const Rect& r) const;

  WindowLayer& m_window;
  WindowPlacement& m_place;
  std::function<void(int32_t, int32_t)> m_savePosition;
};

}  // namespace lumio
