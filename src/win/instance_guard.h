#pragma once
// One program per program folder on Windows. The first start holds a named mutex and marks its
// main window; a later start finds that window, hands it its command text with WM_COPYDATA and
// gets the answer text back in a WM_COPYDATA to a message-only window of its own, sent before
// the first program returns from the message. Also the console lines of a later start.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "winbase/unique_handle.h"

namespace lumio::win {

class InstanceGuard {
 public:
  // Claims `programDir` (any spelling of the same folder, by letter case, is the same).
  explicit InstanceGuard(const std::string& programDir);
  ~InstanceGuard();
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  // False when another program holds the folder (or holds it still while it ends).
  bool First() const { return m_first; }
  // Hands `commandText` to the holder's window, waiting a few seconds for a window still
  // being made; the answer text (empty when none came), or nullopt when no window was found.
  std::optional<std::string> Ask(const std::string& commandText) const;

  // Marks `dialog` as the holder's window and answers later starts through `handler` (the
  // command text, untrusted bytes, in; the answer text out).
  void Serve(HWND dialog, std::function<std::string(const std::string&)> handler);
  // The program is ending: a later start now starts anew rather than asking a window that is
  // going away.
  void Release();

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                               DWORD_PTR self);

  unsigned m_key = 0;
  UniqueKernelHandle m_mutex;
  bool m_first = true;
  HWND m_dialog = nullptr;
  std::function<std::string(const std::string&)> m_handler;
};

// A line on the console the program was started from (standard error for `error`), or into
// its redirected output; nothing when there is neither.
void PrintLine(const std::string& utf8, bool error);

}  // namespace lumio::win
