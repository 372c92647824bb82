#include "win/skin_slider.h"

#include "win/control_input.h"
#include "win/offscreen_dc.h"

namespace lumio::win {

namespace {

int PointX(LPARAM lParam) {
  return static_cast<short>(static_cast<DWORD_PTR>(lParam) & 0xFFFF);
}

std::optional<SliderKey> KeyOf(WPARAM key) {
  switch (key) {
    case VK_LEFT:
      return SliderKey::kLeft;
    case VK_UP:
      return SliderKey::kUp;
    case VK_RIGHT:
      return SliderKey::kRight;
    case VK_DOWN:
      return SliderKey::kDown;
    case VK_HOME:
      return SliderKey::kHome;
    case VK_END:
      return SliderKey::kEnd;
    case VK_PRIOR:
      return SliderKey::kPageUp;
    case VK_NEXT:
      return SliderKey::kPageDown;
    default:
      return std::nullopt;
  }
}

}  // namespace

bool SkinSlider::Subclass(HWND staticControl) {
  if (!Attach(staticControl)) return false;
  GetClientRect(staticControl, &m_client);
  m_model.Resize(m_client.right, m_client.bottom);
  return true;
}

bool SkinSlider::LoadLayers(Layer& main, Layer& active, int32_t id, int32_t activeId,
                            bool transparent, COLORREF key, int keyX, int keyY) {
  main = {};
  active = {};
  if (id == 0) return false;
  main.bitmap = LoadSkinBitmap(id);
  if (!main.bitmap) return false;
  if (transparent) BuildMask(main.bitmap.get(), main.mask, key, keyX, keyY);
  if (activeId == 0) return true;
  active.bitmap = LoadSkinBitmap(activeId);
  if (!active.bitmap) {
    main = {};
    return false;
  }
  if (transparent) BuildMask(active.bitmap.get(), active.mask, key, keyX, keyY);
  return true;
}

bool SkinSlider::SetChannelBitmaps(int32_t channelId, int32_t activeId, bool transparent,
                                   COLORREF key, int keyX, int keyY) {
  if (!LoadLayers(m_channel, m_activeChannel, channelId, activeId, transparent, key, keyX, keyY)) {
    m_model.RemoveChannel();
    Invalidate();
    return channelId == 0;
  }
  const SIZE size = BitmapSize(m_channel.bitmap.get());
  m_model.SetChannel(size.cx, size.cy, static_cast<bool>(m_activeChannel.bitmap), transparent);
  if (hwnd() != nullptr)
    SetWindowPos(hwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
  Invalidate();
  return true;
}

bool SkinSlider::SetThumbBitmaps(int32_t thumbId, int32_t activeId, bool transparent, COLORREF key,
                                 int keyX, int keyY) {
  if (!LoadLayers(m_thumb, m_activeThumb, thumbId, activeId, transparent, key, keyX, keyY)) {
    m_model.RemoveThumb();
    m_savedArea.Reset();
    m_savedX = -1;
    Invalidate();
    return thumbId == 0;
  }
  const SIZE size = BitmapSize(m_thumb.bitmap.get());
  m_model.SetThumb(size.cx, size.cy, static_cast<bool>(m_activeThumb.bitmap), transparent);
  Invalidate();
  return true;
}

void SkinSlider::SetChannelBitmaps(int32_t channelId, int32_t activeChannelId, bool transparent) {
  SetChannelBitmaps(channelId, activeChannelId, transparent, kKeyFromPixel, 0, 0);
}

void SkinSlider::SetThumbBitmaps(int32_t thumbId, int32_t activeThumbId, bool transparent) {
  SetThumbBitmaps(thumbId, activeThumbId, transparent, kKeyFromPixel, 0, 0);
}

void SkinSlider::SetRange(int32_t min, int32_t max) {
  m_model.SetRange(min, max);
}

void SkinSlider::ShowFocusRect(bool show) {
  m_model.ShowFocusRect(show);
}

void SkinSlider::SetPos(int32_t pos) {
  m_model.SetPos(pos);
  Invalidate();
}

void SkinSlider::SetMargins(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  m_model.SetMargins(left, top, right, bottom);
}

void SkinSlider::Post(const std::optional<SliderMessage>& message) const {
  if (!message) return;
  Invalidate();
  PostMessageW(GetParent(hwnd()), static_cast<UINT>(message->message),
               static_cast<WPARAM>(GetDlgCtrlID(hwnd())), static_cast<LPARAM>(message->pos));
}

void SkinSlider::Invalidate() const {
  if (hwnd() != nullptr) InvalidateRect(hwnd(), nullptr, TRUE);
}

LRESULT SkinSlider::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsRightClickMessage(message)) return 0;
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return TRUE;
    case WM_NCHITTEST:
      // A static without SS_NOTIFY would let the mouse through to the dialog.
      return HTCLIENT;
    case WM_SIZE:
      GetClientRect(hwnd(), &m_client);
      m_model.Resize(m_client.right, m_client.bottom);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // The static class turns a quick second press into a double click; on a slider it is a
      // press like any other, which may start a drag.
      SetCapture(hwnd());
      SetFocus(hwnd());
      Post(m_model.Press(PointX(lParam)));
      Invalidate();
      return 0;
    case WM_MOUSEMOVE:
      if (!m_model.pressed()) return 0;
      Post(m_model.Move(PointX(lParam)));
      break;
    case WM_LBUTTONUP: {
      // Released before the capture goes, so that losing the capture here ends nothing twice.
      const std::optional<SliderMessage> changed = m_model.Release();
      ReleaseCapture();
      SetFocus(GetParent(hwnd()));
      Invalidate();
      Post(changed);
      break;
    }
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != hwnd()) Post(m_model.CaptureLost());
      break;
    case WM_KEYDOWN:
      if (const std::optional<SliderKey> key = KeyOf(wParam)) Post(m_model.Key(*key));
      break;
    case WM_GETDLGCODE:
      if (GetKeyState(VK_TAB) < 0) break;
      return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      const LRESULT result = Default(message, wParam, lParam);
      m_model.SetFocus(message == WM_SETFOCUS);
      Invalidate();
      return result;
    }
    case WM_DESTROY: {
      const LRESULT result = Default(message, wParam, lParam);
      m_channel = {};
      m_activeChannel = {};
      m_thumb = {};
      m_activeThumb = {};
      m_savedArea.Reset();
      m_model.RemoveChannel();
      m_model.RemoveThumb();
      return result;
    }
    default:
      break;
  }
  return Default(message, wParam, lParam);
}

}  // namespace lumio::win
