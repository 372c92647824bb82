#include "win/header_ctrl_cl.h"

#include <commctrl.h>

#include <algorithm>

#include "win/gdi_objects.h"

namespace lumio::win {

namespace {

constexpr int kTitleInset = 3;

// The gradient over the pixel rows top ... bottom (both included) of the strip left+1 ... right.
void PaintGradient(HDC dc, int left, int top, int right, int bottom) {
  int red = CHeaderCtrlCl::kGradientRed;
  int green = CHeaderCtrlCl::kGradientGreen;
  int blue = CHeaderCtrlCl::kGradientBlue;
  for (int y = top; y <= bottom; ++y) {
    const Brush brush(CreateSolidBrush(ColorRef(red, green, blue)));
    const RECT strip{left + 1, y, right, y + 1};
    FillRect(dc, &strip, brush.get());
    red = std::max(red - CHeaderCtrlCl::kGradientStep, 0);
    green = std::max(green - CHeaderCtrlCl::kGradientStep, 0);
    blue = std::max(blue - CHeaderCtrlCl::kGradientStep, 0);
  }
}

}  // namespace

bool CHeaderCtrlCl::Subclass(HWND header) {
  return Attach(header);
}

void CHeaderCtrlCl::AddColumn(const std::wstring& title, char code) {
  m_titles.push_back(title);
  m_codes.push_back(code);
}

char CHeaderCtrlCl::AlignmentCode(int column) const {
  if (column < 0 || static_cast<size_t>(column) >= m_codes.size()) return '\0';
  return m_codes[static_cast<size_t>(column)];
}

void CHeaderCtrlCl::Paint() {
  const PaintDC paint(hwnd());
  const HDC dc = paint.get();
  const int count = static_cast<int>(SendMessageW(hwnd(), HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    RECT item{};
    SendMessageW(hwnd(), HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    PaintGradient(dc, item.left, item.top, item.right, item.bottom);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, m_textColor);
    const Font font(CreateFontW(m_fontHeight, m_fontWidth, 0, 0, 0, FALSE, FALSE, FALSE,
                                ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体"));
    const SelectScope selected(dc, font.get());
    RECT text = item;
    UINT format = DT_RIGHT;
    const char code = AlignmentCode(i);
    if (code == '\0' || code == kAlignRight) {
      text.right -= kTitleInset;
    } else if (code == kAlignLeft) {
      format = DT_LEFT;
      text.left += kTitleInset;
    } else {
      format = DT_CENTER;
    }
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    OffsetRect(&text, 0, (text.bottom - metrics.tmHeight - text.top) / 2);
    const std::wstring title =
        static_cast<size_t>(i) < m_titles.size() ? m_titles[static_cast<size_t>(i)] : L"";
    DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &text, format);
  }
  // The rest of the header right of the last item; all of it when there are no items.
  RECT client{};
  GetClientRect(hwnd(), &client);
  RECT last{-1, client.top, -1, client.bottom - 1};
  if (count > 0) {
    SendMessageW(hwnd(), HDM_GETITEMRECT, static_cast<WPARAM>(count - 1),
                 reinterpret_cast<LPARAM>(&last));
  }
  if (last.right + 1 < client.right) {
    PaintGradient(dc, last.right, last.top, client.right, last.bottom);
  }
}

LRESULT CHeaderCtrlCl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case HDM_LAYOUT: {
      const LRESULT result = Default(message, wParam, lParam);
      auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
      if (layout != nullptr && layout->pwpos != nullptr && layout->prc != nullptr) {
        const int height = static_cast<int>(static_cast<float>(layout->pwpos->cy) * m_heightFactor);
        layout->pwpos->cy = height;
        layout->prc->top = height;
      }
      return result;
    }
    default:
      break;
  }
  return Default(message, wParam, lParam);
}

}  // namespace lumio::win
