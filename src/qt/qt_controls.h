#pragma once
// The core's views of the slider, the banner and the lists, over the skinned Qt widgets.

#include "ports/window_layer.h"
#include "qt/list_ctrl_cl.h"
#include "qt/skin_label.h"
#include "qt/skin_slider.h"

namespace lumio {

class QtSlider final : public SliderControl {
 public:
  explicit QtSlider(SkinSlider& slider) : m_slider(slider) {}
  void SetChannelBitmaps(int32_t channelId, int32_t activeChannelId, bool transparent) override;
  void SetThumbBitmaps(int32_t thumbId, int32_t activeThumbId, bool transparent) override;
  void ShowFocusRect(bool show) override;
  void SetRange(int32_t min, int32_t max) override;
  void SetPos(int32_t pos) override;
  int32_t GetPos() const override;
  void SetMargins(int32_t left, int32_t top, int32_t right, int32_t bottom) override;

 private:
  SkinSlider& m_slider;
};

class QtBanner final : public BannerControl {
 public:
  explicit QtBanner(SkinLabel& label) : m_label(label) {}
  void SetText(const std::string& text) override;
  void SetTextColor(uint32_t rgb) override;
  void SetFontHeight(int32_t height) override;
  void StartScrolling(int32_t stepPixels, int32_t periodMs) override;
  void SetScrollDirection(int32_t direction) override;
  void SetTop(int32_t y) override;
  void SetBackgroundCaptured(bool captured) override;

 private:
  SkinLabel& m_label;
};

class QtList final : public ListControl {
 public:
  explicit QtList(CListCtrlCl& list) : m_list(list) {}
  void InsertColumn(int32_t column, const std::string& heading, Format format,
                    int32_t width) override;
  void SetColumnWidth(int32_t column, int32_t width) override;
  int32_t ClientWidth() const override;
  void SetColours(const Colours& colours) override;
  void SetRowHeight(int32_t height) override;
  void SetFontSize(int32_t height, int32_t width) override;
  void LoadLevelBitmaps() override;
  void EnableCellTips(bool enable) override;
  void DeleteAllItems() override;
  void RemoveAllCellTips() override;
  void InsertItem(int32_t row, const std::string& text) override;
  void SetItemText(int32_t row, int32_t column, const std::string& text) override;
  std::string GetItemText(int32_t row, int32_t column) const override;
  int32_t GetItemCount() const override;
  void SetCellTip(int32_t row, int32_t column, const std::string& text) override;
  void SetRedraw(bool redraw) override;
  void SelectItem(int32_t row) override;
  void EnsureVisible(int32_t row) override;

 private:
  CListCtrlCl& m_list;
};

}  // namespace lumio
