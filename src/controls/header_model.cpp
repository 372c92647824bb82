#include "controls/header_model.h"

#include <algorithm>
#include <utility>

namespace lumio {

char HeaderModel::CodeOfFormat(int32_t format) {
  switch (format) {
    case ListControl::kLeft:
      return kAlignLeft;
    case ListControl::kRight:
      return kAlignRight;
    default:
      return kAlignCentre;
  }
}

uint32_t HeaderModel::GradientColour(int32_t row) {
  const int64_t darken = static_cast<int64_t>(kGradientStep) * std::max(row, 0);
  const auto channel = [darken](int32_t start) {
    return static_cast<uint32_t>(std::max<int64_t>(start - darken, 0));
  };
  return (channel(kGradientRed) << 16) | (channel(kGradientGreen) << 8) | channel(kGradientBlue);
}

int32_t HeaderModel::LayoutHeight(int32_t systemHeight) {
  constexpr float kHeightFactor = 1.0F;
  return static_cast<int32_t>(static_cast<float>(systemHeight) * kHeightFactor);
}

HeaderModel::Title HeaderModel::PlaceTitle(const Rect& item, char code, int32_t textHeight) {
  Title title{item, TextAlign::kRight};
  if (code == '\0' || code == kAlignRight) {
    title.rect.right -= kTitleInset;
  } else if (code == kAlignLeft) {
    title.align = TextAlign::kLeft;
    title.rect.left += kTitleInset;
  } else {
    title.align = TextAlign::kCentre;
  }
  const int32_t down = (item.bottom - textHeight - item.top) / 2;
  title.rect.top += down;
  title.rect.bottom += down;
  return title;
}

void HeaderModel::AddColumn(std::string title, int32_t format) {
  m_titles.push_back(std::move(title));
  m_codes.push_back(CodeOfFormat(format));
}

char HeaderModel::AlignmentCode(int32_t column) const {
  if (column < 0 || static_cast<size_t>(column) >= m_codes.size()) return '\0';
  return m_codes[static_cast<size_t>(column)];
}

std::string HeaderModel::TitleText(int32_t column) const {
  if (column < 0 || static_cast<size_t>(column) >= m_titles.size()) return {};
  return m_titles[static_cast<size_t>(column)];
}

}  // namespace lumio
