// lumio-e2e-probe: what the end-to-end tests of the Windows program cannot do from the X
// display, done from inside Wine: sending the main window a message as the shell would.
//   lumio-e2e-probe post TITLE_PART MESSAGE WPARAM LPARAM
// posts MESSAGE to the visible top-level window whose title contains TITLE_PART (ASCII), and
// exits 0, or 1 when there is no such window, 2 on a usage error.
//   lumio-e2e-probe workarea
// prints the desktop's work area as Windows programs see it: LEFT TOP RIGHT BOTTOM.

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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"workarea") {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    std::printf("%ld %ld %ld %ld\n", area.left, area.top, area.right, area.bottom);
    return 0;
  }
  if (argc != 6 || std::wstring(argv[1]) != L"post") {
    std::fputws(L"usage: lumio-e2e-probe post TITLE_PART MESSAGE WPARAM LPARAM | workarea\n",
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
