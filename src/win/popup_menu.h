#pragma once
// Pop-up menus at the pointer: the tray menu (resource 140) and the station menu (resource 141).

#include <windows.h>

#include <vector>

#include "ports/window_layer.h"

namespace lumio::win {

// Shows `items` at the pointer, owned by `owner`, which receives the chosen command as
// WM_COMMAND after this returns. A menu of the program's resources with the same entries is
// shown as the resource has it; other entries are built on the spot.
void ShowPopupMenu(HINSTANCE instance, HWND owner, const std::vector<MenuItem>& items);

// The entries of menu resource `menuId`'s first pop-up (texts GBK); empty when there is none.
std::vector<MenuItem> ResourceMenuItems(HINSTANCE instance, int32_t menuId);

}  // namespace lumio::win
