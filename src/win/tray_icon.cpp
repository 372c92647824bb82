#include "win/tray_icon.h"

#include <shellapi.h>

#include <algorithm>
#include <iterator>

#include "ports/control_ids.h"
#include "text/wide_text.h"

namespace lumio::win {

void TrayIcon::Add(HWND window, HICON icon, const std::string& tip) {
  m_data = NOTIFYICONDATAW{};
  // The record's first version: every shell knows it.
  m_data.cbSize = NOTIFYICONDATAW_V1_SIZE;
  m_data.hWnd = window;
  m_data.uID = kTrayIconId;
  m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  m_data.uCallbackMessage = kMsgTrayNotify;
  m_data.hIcon = icon;
  CopyTip(tip);
  Shell_NotifyIconW(NIM_DELETE, &m_data);
  Shell_NotifyIconW(NIM_ADD, &m_data);
  m_added = true;
}

void TrayIcon::SetTip(const std::string& tip) {
  if (!m_added) return;
  CopyTip(tip);
  Shell_NotifyIconW(NIM_MODIFY, &m_data);
}

// The first version's tip holds 63 characters and its end.
void TrayIcon::CopyTip(const std::string& tip) {
  const std::wstring text = GbkToWide(tip);
  const size_t length = std::min(text.size(), std::size(m_data.szTip) - 1);
  std::copy_n(text.begin(), length, m_data.szTip);
  m_data.szTip[length] = L'\0';
}

void TrayIcon::Restore() {
  if (m_added) Shell_NotifyIconW(NIM_ADD, &m_data);
}

void TrayIcon::Remove() {
  if (!m_added) return;
  Shell_NotifyIconW(NIM_DELETE, &m_data);
  m_added = false;
}

}  // namespace lumio::win
