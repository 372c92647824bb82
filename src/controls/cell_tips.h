#pragma once
// The lists' tooltips per cell: the texts the owner stores for cells, and which one to show as
// the pointer moves over the cells. The tip changes only when the pointer reaches another cell,
// so moving within a cell leaves a tip the user closed closed; a cell without a stored text shows
// no tip at all.
//
// Texts are bytes in the window layer's encoding; they are only kept here.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

namespace lumio {

// How a cell tip shows: 100 ms after the pointer reached the cell, for ten times as long, with
// lines broken at their line feeds and wrapped when wider than 100 pixels.
inline constexpr int32_t kCellTipDelayMs = 100;
inline constexpr int32_t kCellTipShowMs = 10 * kCellTipDelayMs;
inline constexpr int32_t kCellTipMaxWidth = 100;

class CellTips {
 public:
  // Whether pointer moves change the tip; off forgets the cell under the pointer.
  void Enable(bool enable);
  bool enabled() const { return m_enabled; }
  // Stores or replaces the tip of cell (item, subItem).
  void Set(int32_t item, int32_t subItem, std::string text);
  // The tip of the cell, "" when none is stored.
  std::string Get(int32_t item, int32_t subItem) const;
  void Clear();

  // The pointer is over cell (item, subItem), -1 for no row or no column. The text the tip shows
  // from now on when that is another cell than before ("" for none), nothing when it is the same
  // cell or tips are off.
  std::optional<std::string> Hover(int32_t item, int32_t subItem);
  // The pointer left, or the cells moved under it: the next move counts as reaching a cell.
  void ForgetHovered();

 private:
  static uint64_t Key(int32_t item, int32_t subItem);

  std::unordered_map<uint64_t, std::string> m_texts;
  bool m_enabled = false;
  int32_t m_lastItem = -1;
  int32_t m_lastSubItem = -1;
};

}  // namespace lumio
