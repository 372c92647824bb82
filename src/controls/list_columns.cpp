#include "controls/list_columns.h"

#include <algorithm>

namespace lumio {

int32_t ListColumns::Insert(int32_t column, int32_t width, int32_t clientWidth) {
  if (column < 0) return -1;
  column = std::min(column, Count());
  m_columns.insert(m_columns.begin() + column, Column{std::max(width, 0), clientWidth});
  return column;
}

bool ListColumns::SetWidth(int32_t column, int32_t width, int32_t clientWidth) {
  if (column < 0 || column >= Count()) return false;
  m_columns[static_cast<size_t>(column)] = Column{std::max(width, 0), clientWidth};
  return true;
}

int32_t ListColumns::Width(int32_t column, int32_t clientWidth) const {
  if (column < 0 || column >= Count()) return 0;
  const Column& given = m_columns[static_cast<size_t>(column)];
  if (given.clientWidth <= 0 || clientWidth == given.clientWidth) return given.width;
  return static_cast<int32_t>(static_cast<int64_t>(given.width) * std::max(clientWidth, 0) /
                              given.clientWidth);
}

int32_t ListColumns::Left(int32_t column, int32_t clientWidth) const {
  int64_t left = 0;
  for (int32_t i = 0; i < std::min(column, Count()); ++i)
    left += Width(i, clientWidth);
  return static_cast<int32_t>(std::min<int64_t>(left, INT32_MAX));
}

int32_t ListColumns::At(int32_t x, int32_t clientWidth) const {
  if (x < 0) return -1;
  int64_t right = 0;
  for (int32_t column = 0; column < Count(); ++column) {
    right += Width(column, clientWidth);
    if (x < right) return column;
  }
  return -1;
}

}  // namespace lumio
