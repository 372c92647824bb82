#include "win/tool_tips.h"

#include <commctrl.h>

#include "text/wide_text.h"

namespace lumio::win {
namespace {

TOOLINFOW ToolFor(HWND owner, HWND tool) {
  TOOLINFOW info{};
  // The size every version of the common controls accepts.
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND;
  info.hwnd = owner;
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  return info;
}

}  // namespace

void ToolTips::Create(HINSTANCE instance, HWND owner) {
  Destroy();
  m_owner = owner;
  // Station names and song titles are shown as they are: "&" is no underline.
  m_hwnd = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
  if (m_hwnd != nullptr) SendMessageW(m_hwnd, TTM_ACTIVATE, TRUE, 0);
}

void ToolTips::Destroy() {
  if (m_hwnd != nullptr && IsWindow(m_hwnd)) DestroyWindow(m_hwnd);
  m_hwnd = nullptr;
}

void ToolTips::Set(HWND tool, const std::string& text) {
  if (m_hwnd == nullptr || tool == nullptr) return;
  std::wstring wide = GbkToWide(text);
  TOOLINFOW info = ToolFor(m_owner, tool);
  SendMessageW(m_hwnd, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  if (wide.empty()) return;  // no text, no tip
  info.lpszText = wide.data();
  SendMessageW(m_hwnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTips::Relay(const MSG& message) const {
  if (m_hwnd == nullptr) return;
  MSG copy = message;
  SendMessageW(m_hwnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
}

void ToolTips::StayOnTop() const {
  if (m_hwnd != nullptr)
    SetWindowPos(m_hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace lumio::win
