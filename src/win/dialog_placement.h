#pragma once
#include <windows.h>

namespace lumio::win {

// Centres a dialog over its owner, kept wholly inside the work area of the owner's screen: the
// owner may be the mini bar at the top of a screen, or hidden at its edge.
void CentreOverOwner(HWND dialog);

}  // namespace lumio::win
