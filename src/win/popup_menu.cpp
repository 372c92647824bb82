#include "win/popup_menu.h"

#include "ports/control_ids.h"
#include "text/wide_text.h"
#include "win/win_handles.h"

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
      items.push_back({0, {}});
      continue;
    }
    wchar_t text[128] = {};
    GetMenuStringW(popup, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
    MenuItem item{static_cast<int32_t>(info.wID), {}};
    WideToGbk(text, item.text);
    items.push_back(std::move(item));
  }
  return items;
}

bool SameItems(const std::vector<MenuItem>& a, const std::vector<MenuItem>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].command != b[i].command || a[i].text != b[i].text) return false;
  }
  return true;
}

UniqueMenu BuildMenu(const std::vector<MenuItem>& items) {
  UniqueMenu menu(CreatePopupMenu());
  for (const MenuItem& item : items) {
    if (item.text.empty()) {
      AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(menu.get(), MF_STRING, static_cast<UINT_PTR>(item.command),
                  GbkToWide(item.text).c_str());
    }
  }
  return menu;
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
