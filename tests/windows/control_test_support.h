#pragma once
// What the controls' tests run on: a top-level window standing in for the main dialog (it
// paints a skin of two colours, reflects what the dialog reflects and records what its controls
// tell it), real mouse input through SendInput, and pixels read back from the screen.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "ports/control_ids.h"
#include "text/wide_text.h"
#include "win/gdi_objects.h"
#include "win/reflect.h"

namespace lumio::win::test {

inline constexpr COLORREF kWhite = ColorRef(255, 255, 255);

// What the parent window was told, in order.
struct Received {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;  // for WM_NOTIFY: the notification code; for NM_* of a list also the row
  int row = -1;
};

// Pixels of a window's client area or of a bitmap, as 0x00BBGGRR.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;
  COLORREF at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

inline Picture ReadBitmap(HBITMAP bitmap) {
  const SIZE size = BitmapSize(bitmap);
  Picture picture{size.cx, size.cy, std::vector<COLORREF>(static_cast<size_t>(size.cx * size.cy))};
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  const ClientDC screen(nullptr);
  std::vector<RGBQUAD> quads(picture.pixels.size());
  GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(size.cy), quads.data(), &info,
            DIB_RGB_COLORS);
  for (size_t i = 0; i < quads.size(); ++i) {
    picture.pixels[i] = ColorRef(quads[i].rgbRed, quads[i].rgbGreen, quads[i].rgbBlue);
  }
  return picture;
}

inline Picture Skin(int32_t id) {
  return ReadBitmap(LoadSkinBitmap(id).get());
}

// A program text (GBK) from a wide literal.
inline std::string Gbk(const std::wstring& text) {
  std::string gbk;
  WideToGbk(text, gbk);
  return gbk;
}

// What the window shows now on the screen.
inline Picture Screenshot(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  const ClientDC dc(window);
  const MemoryDC memory(dc.get());
  const Bitmap copy(CreateCompatibleBitmap(dc.get(), client.right, client.bottom));
  {
    const SelectScope selected(memory.get(), copy.get());
    BitBlt(memory.get(), 0, 0, client.right, client.bottom, dc.get(), 0, 0, SRCCOPY);
  }
  return ReadBitmap(copy.get());
}

// Runs the message loop until `done` holds or `timeoutMs` passes; whether it held.
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (done()) return true;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    MsgWaitForMultipleObjects(
        0, nullptr, FALSE, static_cast<DWORD>(std::min<long long>(left.count(), 20)), QS_ALLINPUT);
  }
}

inline void Pump(int ms) {
  PumpUntil([] { return false; }, ms);
}

// Real input, as the X server delivers it to Wine.
inline void SendMouse(DWORD flags, POINT screen = {}) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  if ((flags & MOUSEEVENTF_ABSOLUTE) != 0) {
    input.mi.dx = MulDiv(screen.x, 65536, GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = MulDiv(screen.y, 65536, GetSystemMetrics(SM_CYSCREEN));
  }
  SendInput(1, &input, sizeof(input));
}

inline POINT ScreenPoint(HWND window, int x, int y) {
  POINT point{x, y};
  ClientToScreen(window, &point);
  return point;
}

inline void MoveMouseTo(HWND window, int x, int y) {
  const POINT target = ScreenPoint(window, x, y);
  SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, target);
  // Normalised coordinates come back rounded: a pixel off is there.
  PumpUntil(
      [&] {
        POINT now{};
        GetCursorPos(&now);
        return std::abs(now.x - target.x) <= 1 && std::abs(now.y - target.y) <= 1;
      },
      1000);
  Pump(60);
}

// A left click (two for a double click) at client point (x, y) of `window`.
inline void Click(HWND window, int x, int y, bool twice = false) {
  MoveMouseTo(window, x, y);
  for (int i = 0; i < (twice ? 2 : 1); ++i) {
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
  }
  Pump(150);
}

inline void RightClick(HWND window, int x, int y) {
  MoveMouseTo(window, x, y);
  SendMouse(MOUSEEVENTF_RIGHTDOWN);
  SendMouse(MOUSEEVENTF_RIGHTUP);
  Pump(150);
}

// How many pixels of the (x, y, w, h) part of `picture` have colour `colour`.
inline int CountColour(const Picture& picture, COLORREF colour, int x, int y, int w, int h) {
  int count = 0;
  for (int row = y; row < y + h; ++row) {
    for (int column = x; column < x + w; ++column) {
      if (picture.at(column, row) == colour) ++count;
    }
  }
  return count;
}

// How many pixels of the (x, y, w, h) part of `picture` are within `tolerance` of `colour` in each
// of red, green and blue: text is drawn smoothed, so few of its pixels have its exact colour.
inline int CountNear(const Picture& picture, COLORREF colour, int tolerance, int x, int y, int w,
                     int h) {
  const auto isClose = [&](COLORREF pixel) {
    for (const int shift : {0, 8, 16}) {
      const int a = static_cast<int>((pixel >> shift) & 0xFF);
      const int b = static_cast<int>((colour >> shift) & 0xFF);
      if (a - b > tolerance || b - a > tolerance) return false;
    }
    return true;
  };
  int count = 0;
  for (int row = y; row < y + h; ++row) {
    for (int column = x; column < x + w; ++column) {
      if (isClose(picture.at(column, row))) ++count;
    }
  }
  return count;
}

// Where the whole of `part` shows within the (x, y, w, h) part of `picture`; {-1, -1} if nowhere.
inline POINT FindPart(const Picture& picture, const Picture& part, int x, int y, int w, int h) {
  for (int top = y; top + part.height <= y + h; ++top) {
    for (int left = x; left + part.width <= x + w; ++left) {
      bool same = true;
      for (int row = 0; same && row < part.height; ++row) {
        for (int column = 0; same && column < part.width; ++column) {
          same = picture.at(left + column, top + row) == part.at(column, row);
        }
      }
      if (same) return POINT{left, top};
    }
  }
  return POINT{-1, -1};
}

// A top-level window standing in for the main dialog: it paints a skin of two colours, reflects
// what the dialog reflects and records the rest.
class Parent {
 public:
  static constexpr COLORREF kSkinLeft = ColorRef(20, 60, 100);
  static constexpr COLORREF kSkinRight = ColorRef(200, 120, 40);

  Parent() {
    static const ATOM registered = [] {
      WNDCLASSW windowClass{};
      windowClass.lpfnWndProc = &Parent::Proc;
      windowClass.hInstance = GetModuleHandleW(nullptr);
      windowClass.lpszClassName = L"LumioControlsTestParent";
      windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(32512));
      return RegisterClassW(&windowClass);
    }();
    (void)registered;
    m_window =
        CreateWindowExW(WS_EX_TOPMOST, L"LumioControlsTestParent", L"", WS_POPUP | WS_VISIBLE, 100,
                        100, 400, 360, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    SetForegroundWindow(m_window);
    UpdateWindow(m_window);
  }
  ~Parent() { DestroyWindow(m_window); }
  Parent(const Parent&) = delete;
  Parent& operator=(const Parent&) = delete;

  HWND hwnd() const { return m_window; }
  std::vector<Received>& received() { return m_received; }
  // How many of the received messages were `message`.
  size_t Count(UINT message) const {
    return static_cast<size_t>(
        std::count_if(m_received.begin(), m_received.end(),
                      [message](const Received& r) { return r.message == message; }));
  }
  // The skin's split between its two colours, in client x.
  void SetSplit(int x) {
    m_split = x;
    InvalidateRect(m_window, nullptr, TRUE);
  }
  int split() const { return m_split; }

  HWND AddStatic(int id, int x, int y, int w, int h, DWORD style = SS_NOTIFY,
                 const wchar_t* text = L"") {
    return CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, m_window,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
  }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      SetWindowLongPtrW(
          window, GWLP_USERDATA,
          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<Parent*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    LRESULT result = 0;
    if (self != nullptr &&
        (message == WM_DRAWITEM || message == WM_MEASUREITEM || message == WM_NOTIFY ||
         message == WM_CTLCOLORSTATIC) &&
        ReflectToControl(window, message, wParam, lParam, &result)) {
      return result;
    }
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
      case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(window, &client);
        const Brush left(CreateSolidBrush(kSkinLeft));
        const Brush right(CreateSolidBrush(kSkinRight));
        const RECT leftPart{0, 0, self->m_split, client.bottom};
        const RECT rightPart{self->m_split, 0, client.right, client.bottom};
        FillRect(reinterpret_cast<HDC>(wParam), &leftPart, left.get());
        FillRect(reinterpret_cast<HDC>(wParam), &rightPart, right.get());
        return TRUE;
      }
      case WM_COMMAND:
        self->m_received.push_back({message, wParam, lParam});
        return 0;
      // A right click on the background opens the tray menu: one on a control must not get here.
      case WM_RBUTTONUP:
      case WM_CONTEXTMENU:
        self->m_received.push_back({message, wParam, lParam});
        return 0;
      case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == NM_CLICK || header->code == NM_DBLCLK || header->code == NM_RCLICK) {
          const auto* item = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
          self->m_received.push_back(
              {message, header->idFrom, static_cast<LPARAM>(header->code), item->iItem});
        }
        break;
      }
      default:
        if (message == static_cast<UINT>(kMsgSliderChanging) ||
            message == static_cast<UINT>(kMsgSliderChanged)) {
          self->m_received.push_back({message, wParam, lParam});
          return 0;
        }
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  HWND m_window = nullptr;
  std::vector<Received> m_received;
  int m_split = 200;
};

// The part (sx, sy, w, h) of `expected` shows at (x, y) of `actual`.
inline ::testing::AssertionResult ShowsPart(const Picture& actual, int x, int y,
                                            const Picture& expected, int sx, int sy, int w, int h) {
  for (int dy = 0; dy < h; ++dy) {
    for (int dx = 0; dx < w; ++dx) {
      if (actual.at(x + dx, y + dy) != expected.at(sx + dx, sy + dy)) {
        return ::testing::AssertionFailure()
               << "pixel (" << x + dx << ", " << y + dy << ") is " << std::hex
               << actual.at(x + dx, y + dy) << ", not " << expected.at(sx + dx, sy + dy);
      }
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace lumio::win::test
