#include "controls/banner_model.h"

namespace lumio {

void BannerModel::SetText(const std::string& text) {
  // Nothing shown yet: even the stored text is news.
  if (text == m_text && !m_displayed.empty()) return;
  m_text = text;
  // With nothing moving there is no wrap-around to wait for.
  if (m_displayed.empty() || !m_scrolling) Display(m_text);
}

void BannerModel::SetFontHeight(int32_t height) {
  SwitchFont(Font{false, height, false, false});
}

void BannerModel::StartScrolling(int32_t step, int32_t periodMs) {
  m_step = step;
  m_periodMs = periodMs;
  m_scrolling = true;
}

void BannerModel::SetTop(int32_t y) {
  m_restY = y;
  m_currentY = y;
}

void BannerModel::Resize(int32_t width, int32_t height) {
  m_width = width;
  m_height = height;
}

Point BannerModel::drawingPoint() const {
  return m_scrolling ? Point{m_currentX, m_currentY} : Point{m_restX, m_restY};
}

Point BannerModel::Paint(const Measure& measure) {
  EnsureMeasured(measure);
  return drawingPoint();
}

bool BannerModel::Tick(const Measure& measure) {
  if (!m_measured) return false;
  // The text that waited for the wrap-around takes over as the old one leaves; it is measured
  // at once, as moving right or down places it by its own size.
  const auto wrap = [&] {
    Display(m_text);
    EnsureMeasured(measure);
  };
  switch (m_direction) {
    case kLeft:
      if (m_currentX > -m_textWidth) {
        m_currentX -= m_step;
      } else {
        wrap();
        m_currentX = m_width;
      }
      break;
    case kRight:
      if (m_currentX < m_width) {
        m_currentX += m_step;
      } else {
        wrap();
        m_currentX = -m_textWidth;
      }
      break;
    case kUp:
      if (m_currentY > -m_textHeight) {
        m_currentY -= m_step;
      } else {
        wrap();
        m_currentY = m_height;
      }
      break;
    case kDown:
      if (m_currentY < m_height) {
        m_currentY += m_step;
      } else {
        wrap();
        m_currentY = -m_textHeight;
      }
      break;
    default:
      return false;
  }
  return true;
}

bool BannerModel::Hover() {
  // Every move over the banner comes here; only the first turns it into the link.
  if (m_hovering) return false;
  m_hovering = true;
  m_colour = kLinkColour;
  SwitchFont(Font{false, kLinkFontHeight, true, true});
  return true;
}

bool BannerModel::Leave() {
  if (!m_hovering) return false;
  m_hovering = false;
  m_colour = kBannerColour;
  SwitchFont(Font{false, kLinkFontHeight, false, false});
  return true;
}

void BannerModel::SwitchFont(const Font& font) {
  if (font == m_font) return;
  m_font = font;
  m_measured = false;
}

void BannerModel::Display(const std::string& text) {
  if (text == m_displayed) return;
  m_displayed = text;
  // The new text has its own size: the next wrap-around must wait for all of it.
  m_measured = false;
}

void BannerModel::EnsureMeasured(const Measure& measure) {
  if (m_measured) return;
  const Extent extent = measure(m_displayed);
  m_textWidth = extent.width;
  m_textHeight = extent.height;
  m_measured = true;
}

}  // namespace lumio
