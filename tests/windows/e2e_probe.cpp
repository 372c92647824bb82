// lumio-e2e-probe: what the end-to-end tests of the Windows program cannot do from the X
// display, done from inside Wine: sending the main window a message as the shell would.
//   lumio-e2e-probe post TITLE_PART MESSAGE WPARAM LPARAM
// posts MESSAGE to the visible top-level window whose title contains TITLE_PART (ASCII), and
// exits 0, or 1 when there is no such window, 2 on a usage error.
//   lumio-e2e-probe workarea
// prints the desktop's work area as Windows programs see it: LEFT TOP RIGHT BOTTOM.
//   lumio-e2e-probe iconic TITLE_PART
// prints 1 when that window is minimised, else 0 (a desktop without a window manager shows a
// minimised window all the same).
//   lumio-e2e-probe monitors
// prints each screen Windows programs see, one a line: LEFT TOP RIGHT BOTTOM.
//   lumio-e2e-probe hotkey VK SECONDS
// holds the key VK (decimal) as a hot key of its own for SECONDS, as another player would; prints
// "held" once it holds it, or exits 1 when it cannot.

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

struct Search {
  const wchar_t* titlePart;
  HWND found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  wchar_t title[256] = {};
  if (IsWindowVisible(window) && GetWindowTextW(window, title, 256) > 0 &&
      std::wcsstr(title, search->titlePart) != nullptr) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK PrintMonitor(HMONITOR, HDC, LPRECT rect, LPARAM) {
  std::printf("%ld %ld %ld %ld\n", rect->left, rect->top, rect->right, rect->bottom);
  return TRUE;
}

int HoldHotKey(UINT key, DWORD seconds) {
  if (!RegisterHotKey(nullptr, 1, 0, key)) return 1;
  std::printf("held\n");
  std::fflush(stdout);
  Sleep(seconds * 1000);
  UnregisterHotKey(nullptr, 1);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"monitors") {
    EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0);
    return 0;
  }
  if (argc == 3 && std::wstring(argv[1]) == L"iconic") {
    Search search{argv[2], nullptr};
    EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) return 1;
    std::printf("%d\n", IsIconic(search.found) ? 1 : 0);
    return 0;
  }
  if (argc == 4 && std::wstring(argv[1]) == L"hotkey") {
    return HoldHotKey(static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10)),
                      static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)));
  }
  if (argc == 2 && std::wstring(argv[1]) == L"workarea") {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    std::printf("%ld %ld %ld %ld\n", area.left, area.top, area.right, area.bottom);
    return 0;
  }
  if (argc != 6 || std::wstring(argv[1]) != L"post") {
    std::fputws(
        L"usage: lumio-e2e-probe post TITLE_PART MESSAGE WPARAM LPARAM | workarea | monitors | "
        L"iconic TITLE_PART | "
        L"hotkey VK SECONDS\n",
        stderr);
    return 2;
  }
  Search search{argv[2], nullptr};
  EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) return 1;
  const auto message = static_cast<UINT>(std::wcstoul(argv[3], nullptr, 0));
  const auto wParam = static_cast<WPARAM>(std::wcstoul(argv[4], nullptr, 0));
  const auto lParam = static_cast<LPARAM>(std::wcstol(argv[5], nullptr, 0));
  return PostMessageW(search.found, message, wParam, lParam) ? 0 : 1;
}
