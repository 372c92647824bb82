#pragma once
// A C++ object that takes over the messages of an existing control window (one a dialog template
// made), in the way the class framework's subclassing did: the object sees every message first
// and passes on what it does not handle to the control's own procedure.

#include <windows.h>

namespace lumio::win {

class SubclassedWindow {
 public:
  SubclassedWindow(const SubclassedWindow&) = delete;
  SubclassedWindow& operator=(const SubclassedWindow&) = delete;

  // The control, or nullptr before Attach and after the control is destroyed.
  HWND hwnd() const { return m_hwnd; }

 protected:
  SubclassedWindow() = default;
  // Lets go of the control, which keeps working with its own procedure.
  ~SubclassedWindow();

  // Takes over `window`'s messages (letting go of a previous one first); false for no window.
  bool Attach(HWND window);
  void Detach();
  // Handles one message of the control; Default() passes it on.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                               DWORD_PTR self);

  HWND m_hwnd = nullptr;
};

}  // namespace lumio::win
