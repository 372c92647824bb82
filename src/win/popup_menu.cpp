#include "win/popup_menu.h"

#include "ports/control_ids.h"
#include "text/wide_text.h"
#include "win/win_conversions.h"
#include "winbase/unique_handle.h"

namespace lumio::win {
namespace {

std::vector<MenuItem> ItemsOf(HMENU popup) {
  std::vector<MenuItem> items;
  const int count = GetMenuItemCount(popup);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_ID;
    if (!GetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &info)) continue;
    if (info.fType & MFT_SEPARATOR) {
      items.emplace_back();
      continue;
    }
    wchar_t text[128] = {};
    GetMenuStringW(popup, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
    MenuItem item;
    item.command = static_cast<int32_t>(info.wID);
    WideToGbk(text, item.text);
    items.push_back(std::move(item));
  }
  return items;
}

bool SameItems(const std::vector<MenuItem>& a, const std::vector<MenuItem>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].command != b[i].command || a[i].text != b[i].text) return false;
    if (a[i].checked != b[i].checked || !SameItems(a[i].submenu, b[i].submenu)) return false;
  }
  return true;
}

// The menu owns its submenus: DestroyMenu takes them with it.
HMENU BuildPopup(const std::vector<MenuItem>& items) {
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return nullptr;
  for (const MenuItem& item : items) {
    if (item.text.empty()) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else if (!item.submenu.empty()) {
      HMENU submenu = BuildPopup(item.submenu);
      if (submenu != nullptr && !AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu),
                                             GbkToWide(item.text).c_str()))
        DestroyMenu(submenu);
    } else {
      const UINT flags = MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED);
      AppendMenuW(menu, flags, static_cast<UINT_PTR>(item.command), GbkToWide(item.text).c_str());
    }
  }
  return menu;
}

UniqueMenu BuildMenu(const std::vector<MenuItem>& items) {
  return UniqueMenu(BuildPopup(items));
}

}  // namespace

std::vector<MenuItem> ResourceMenuItems(HINSTANCE instance, int32_t menuId) {
  UniqueMenu menu(LoadMenuW(instance, ResourceId(menuId)));
  HMENU popup = menu ? GetSubMenu(menu.get(), 0) : nullptr;
  return popup != nullptr ? ItemsOf(popup) : std::vector<MenuItem>{};
}

void ShowPopupMenu(HINSTANCE instance, HWND owner, const std::vector<MenuItem>& items) {
  UniqueMenu menu;
  HMENU popup = nullptr;
  for (int32_t id : {kMenuTray, kMenuStation}) {
    UniqueMenu candidate(LoadMenuW(instance, ResourceId(id)));
    HMENU first = candidate ? GetSubMenu(candidate.get(), 0) : nullptr;
    if (first != nullptr && SameItems(ItemsOf(first), items)) {
      menu = std::move(candidate);
      popup = first;
      break;
    }
  }
  if (popup == nullptr) {
    menu = BuildMenu(items);
    popup = menu.get();
  }
  if (popup == nullptr) return;
  POINT at{};
  GetCursorPos(&at);
  TrackPopupMenu(popup, 0, at.x, at.y, 0, owner, nullptr);
  // Lets the next click on the notification area reach it rather than close a menu long gone.
  PostMessageW(owner, WM_NULL, 0, 0);
}

}  // namespace lumio::win
