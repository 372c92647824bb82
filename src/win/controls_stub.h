#pragma once
// Stand-ins for the skinned controls until their own implementation arrives: plain statics and
// list views doing the least the main window needs. The declarations are the controls' own.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "ports/window_layer.h"

namespace lumio::win {

class SkinButton {
 public:
  bool Subclass(HWND window);
  void SetSkinBitmap(int32_t bitmapId);

 private:
  HWND m_hwnd = nullptr;
};

class SkinSlider final : public SliderControl {
 public:
  bool Subclass(HWND window);
  void SetChannelBitmaps(int32_t, int32_t, bool) override {}
  void SetThumbBitmaps(int32_t, int32_t, bool) override {}
  void ShowFocusRect(bool) override {}
  void SetRange(int32_t min, int32_t max) override;
  void SetPos(int32_t pos) override;
  int32_t GetPos() const override { return m_pos; }
  void SetMargins(int32_t, int32_t, int32_t, int32_t) override {}

 private:
  HWND m_hwnd = nullptr;
  int32_t m_min = 0, m_max = 100, m_pos = 0;
};

class SkinLabel final : public BannerControl {
 public:
  bool Subclass(HWND window);
  void SetClickHandler(std::function<void()> onClick) { m_onClick = std::move(onClick); }
  void SetText(const std::string& text) override;
  void SetTextColor(uint32_t) override {}
  void SetFontHeight(int32_t) override {}
  void StartScrolling(int32_t, int32_t) override {}
  void SetScrollDirection(int32_t) override {}
  void SetTop(int32_t) override {}
  void SetBackgroundCaptured(bool) override {}

 private:
  HWND m_hwnd = nullptr;
  std::function<void()> m_onClick;
};

class CListCtrlCl final : public ListControl {
 public:
  bool Subclass(HWND listView);
  void InsertColumn(int32_t column, const std::string& heading, Format format,
                    int32_t width) override;
  void SetColumnWidth(int32_t column, int32_t width) override;
  int32_t ClientWidth() const override;
  void SetColours(const Colours& colours) override;
  void SetRowHeight(int32_t) override {}
  void SetFontSize(int32_t, int32_t) override {}
  void LoadLevelBitmaps() override {}
  void EnableCellTips(bool) override {}
  void DeleteAllItems() override;
  void RemoveAllCellTips() override {}
  void InsertItem(int32_t row, const std::string& text) override;
  void SetItemText(int32_t row, int32_t column, const std::string& text) override;
  std::string GetItemText(int32_t row, int32_t column) const override;
  int32_t GetItemCount() const override;
  void SetCellTip(int32_t, int32_t, const std::string&) override {}
  void SetRedraw(bool redraw) override;
  void SelectItem(int32_t row) override;
  void EnsureVisible(int32_t row) override;

 private:
  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const;
  HWND m_hwnd = nullptr;
};

// Lets a control handle a notification it sent its parent; false when none did.
bool ReflectToControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

}  // namespace lumio::win
