#include "controls/cell_tips.h"

#include <utility>

namespace lumio {

uint64_t CellTips::Key(int32_t item, int32_t subItem) {
  // Every cell its own key: no limit on the sub-item, unlike item x 100 + sub-item.
  return (static_cast<uint64_t>(static_cast<uint32_t>(item)) << 32) |
         static_cast<uint32_t>(subItem);
}

void CellTips::Enable(bool enable) {
  m_enabled = enable;
  if (!enable) ForgetHovered();
}

void CellTips::Set(int32_t item, int32_t subItem, std::string text) {
  m_texts[Key(item, subItem)] = std::move(text);
}

std::string CellTips::Get(int32_t item, int32_t subItem) const {
  const auto found = m_texts.find(Key(item, subItem));
  return found == m_texts.end() ? std::string() : found->second;
}

void CellTips::Clear() {
  m_texts.clear();
}

std::optional<std::string> CellTips::Hover(int32_t item, int32_t subItem) {
  if (!m_enabled) return std::nullopt;
  if (item == m_lastItem && subItem == m_lastSubItem) return std::nullopt;
  m_lastItem = item;
  m_lastSubItem = subItem;
  if (item < 0 || subItem < 0) return std::string();
  return Get(item, subItem);
}

void CellTips::ForgetHovered() {
  m_lastItem = -1;
  m_lastSubItem = -1;
}

}  // namespace lumio
