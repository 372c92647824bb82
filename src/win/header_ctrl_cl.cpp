#include "win/header_ctrl_cl.h"

#include <commctrl.h>

#include "text/wide_text.h"
#include "win/gdi_objects.h"
#include "win/win_conversions.h"

namespace lumio::win {

namespace {

// The gradient over the pixel rows top ... bottom (both included) of the strip left+1 ... right.
void PaintGradient(HDC dc, int left, int top, int right, int bottom) {
  for (int y = top; y <= bottom; ++y) {
    const Brush brush(CreateSolidBrush(ToColorRef(HeaderModel::GradientColour(y - top))));
    const RECT strip{left + 1, y, right, y + 1};
    FillRect(dc, &strip, brush.get());
  }
}

}  // namespace

bool CHeaderCtrlCl::Subclass(HWND header) {
  return Attach(header);
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
    SetTextColor(dc, ToColorRef(HeaderModel::kTitleColour));
    const Font font(CreateFontW(HeaderModel::kTitleFontHeight, 0, 0, 0, 0, FALSE, FALSE, FALSE,
                                ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体"));
    const SelectScope selected(dc, font.get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const HeaderModel::Title place =
        HeaderModel::PlaceTitle(Rect{item.left, item.top, item.right, item.bottom},
                                m_model.AlignmentCode(i), metrics.tmHeight);
    RECT text{place.rect.left, place.rect.top, place.rect.right, place.rect.bottom};
    const std::wstring title = GbkToWide(m_model.TitleText(i));
    DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &text,
              DrawTextAlignment(place.align));
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
        const int height = HeaderModel::LayoutHeight(layout->pwpos->cy);
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
