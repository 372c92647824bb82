#include "win/dialog_placement.h"

#include <algorithm>

namespace lumio::win {

void CentreOverOwner(HWND dialog) {
  HWND owner = GetWindow(dialog, GW_OWNER);
  // The screen the main window is on (the primary one when it has none): a dialog opened from
  // a window on a second screen opens there, not on the primary.
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (owner != nullptr &&
      GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &info))
    area = info.rcWork;
  RECT box{};
  GetWindowRect(dialog, &box);
  const LONG width = box.right - box.left;
  const LONG height = box.bottom - box.top;
  RECT over = area;
  if (owner != nullptr && IsWindowVisible(owner)) GetWindowRect(owner, &over);
  LONG x = (over.left + over.right - width) / 2;
  LONG y = (over.top + over.bottom - height) / 2;
  x = std::max(area.left, std::min(x, area.right - width));
  y = std::max(area.top, std::min(y, area.bottom - height));
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace lumio::win
