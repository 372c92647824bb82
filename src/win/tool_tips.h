#pragma once
// The main window's tooltip control: one tool per window, over the whole window, fed with the
// mouse messages the window's message loop relays to it.

#include <windows.h>

#include <string>

namespace lumio::win {

class ToolTips {
 public:
  ToolTips() = default;
  ToolTips(const ToolTips&) = delete;
  ToolTips& operator=(const ToolTips&) = delete;
  ~ToolTips() { Destroy(); }

  // Creates the control for `owner` and switches it on.
  void Create(HINSTANCE instance, HWND owner);
  void Destroy();
  HWND hwnd() const { return m_hwnd; }

  // Shows `text` (GBK) over `tool`, a window of the owner or the owner itself; a second call for
  // the same window replaces its text.
  void Set(HWND tool, const std::string& text);
  // Lets the control see a message of the owner's message loop.
  void Relay(const MSG& message) const;
  // Keeps the tips above a window that stays on top.
  void StayOnTop() const;

 private:
  HWND m_hwnd = nullptr;
  HWND m_owner = nullptr;
};

}  // namespace lumio::win
