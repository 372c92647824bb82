#include "win/instance_guard.h"

#include <commctrl.h>

#include <cwchar>

#include "app/command_line.h"
#include "text/wide_text.h"

namespace lumio::win {
namespace {

constexpr wchar_t kWindowMark[] = L"Lumio.ProgramFolder";
constexpr ULONG_PTR kCopyDataTag = 0x4C756D31;  // "Lum1": our texts among others' WM_COPYDATA
constexpr UINT_PTR kSubclassId = 0x4C756D31;
constexpr wchar_t kAnswerClass[] = L"LumioAnswerWindow";

unsigned FolderKey(const std::string& folder) {
  unsigned key = 2166136261u;  // FNV-1a over the bytes, ASCII letters in lower case
  for (char c : folder) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '/') c = '\\';
    key = (key ^ static_cast<unsigned char>(c)) * 16777619u;
  }
  return key == 0 ? 1 : key;
}

struct Search {
  unsigned key;
  HWND found = nullptr;
};

BOOL CALLBACK Match(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  if (reinterpret_cast<UINT_PTR>(GetPropW(window, kWindowMark)) != search->key) return TRUE;
  search->found = window;
  return FALSE;
}

std::string CopiedText(LPARAM lParam, size_t cap) {
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (data == nullptr || data->dwData != kCopyDataTag || data->lpData == nullptr) return {};
  // One byte past the cap is enough for the parser to refuse the whole.
  const size_t size = data->cbData < cap + 1 ? data->cbData : cap + 1;
  return std::string(static_cast<const char*>(data->lpData), size);
}

LRESULT CALLBACK AnswerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    if (auto* answer = reinterpret_cast<std::string*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
      *answer = CopiedText(lParam, kAnswerTextMax);
    return TRUE;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT SendText(HWND to, HWND from, const std::string& text, UINT waitMs) {
  COPYDATASTRUCT data{};
  data.dwData = kCopyDataTag;
  data.cbData = static_cast<DWORD>(text.size());
  data.lpData = const_cast<char*>(text.data());
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(to, WM_COPYDATA, reinterpret_cast<WPARAM>(from),
                           reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, waitMs, &result))
    return 0;
  return static_cast<LRESULT>(result);
}

}  // namespace

InstanceGuard::InstanceGuard(const std::string& programDir) : m_key(FolderKey(programDir)) {
  wchar_t name[48];
  std::swprintf(name, 48, L"Local\\Lumio-%08x", m_key);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
  m_first = !(mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS);
  m_mutex.Reset(mutex);
}

InstanceGuard::~InstanceGuard() {
  Release();
}

std::optional<std::string> InstanceGuard::Ask(const std::string& commandText) const {
  Search search{m_key};
  // The first program makes its window a moment after it took the mutex.
  for (int attempt = 0; attempt < 50 && search.found == nullptr; ++attempt) {
    EnumWindows(&Match, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) Sleep(100);
  }
  if (search.found == nullptr) return std::nullopt;
  DWORD process = 0;
  GetWindowThreadProcessId(search.found, &process);
  AllowSetForegroundWindow(process);  // a plain start brings the running window forward

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &AnswerProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kAnswerClass;
  RegisterClassW(&windowClass);
  HWND answerWindow = CreateWindowExW(0, kAnswerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      windowClass.hInstance, nullptr);
  std::string answer;
  if (answerWindow != nullptr)
    SetWindowLongPtrW(answerWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&answer));
  SendText(search.found, answerWindow, commandText, static_cast<UINT>(kAnswerWaitMs));
  if (answerWindow != nullptr) DestroyWindow(answerWindow);
  return answer;
}

void InstanceGuard::Serve(HWND dialog, std::function<std::string(const std::string&)> handler) {
  if (!m_first || m_dialog != nullptr || dialog == nullptr) return;
  m_handler = std::move(handler);
  if (!SetWindowSubclass(dialog, &InstanceGuard::Proc, kSubclassId,
                         reinterpret_cast<DWORD_PTR>(this)))
    return;
  m_dialog = dialog;
  SetPropW(dialog, kWindowMark, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(m_key)));
}

void InstanceGuard::Release() {
  if (m_dialog != nullptr && IsWindow(m_dialog)) {
    RemovePropW(m_dialog, kWindowMark);
    RemoveWindowSubclass(m_dialog, &InstanceGuard::Proc, kSubclassId);
  }
  m_dialog = nullptr;
  m_mutex.Reset();
}

LRESULT CALLBACK InstanceGuard::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR self) {
  auto* guard = reinterpret_cast<InstanceGuard*>(self);
  if (message == WM_NCDESTROY) {
    RemovePropW(window, kWindowMark);
    RemoveWindowSubclass(window, &InstanceGuard::Proc, kSubclassId);
    guard->m_dialog = nullptr;
  } else if (message == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (data != nullptr && data->dwData == kCopyDataTag && guard->m_handler) {
      const std::string answer = guard->m_handler(CopiedText(lParam, kCommandTextMax));
      const auto replyTo = reinterpret_cast<HWND>(wParam);
      if (replyTo != nullptr && IsWindow(replyTo)) SendText(replyTo, window, answer, 2000);
      return TRUE;
    }
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

void PrintLine(const std::string& utf8, bool error) {
  HANDLE output = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  HANDLE opened = nullptr;
  // A GUI program started from a console has none of its own: it borrows its parent's.
  if (output == nullptr || output == INVALID_HANDLE_VALUE) {
    if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED) return;
    opened = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return;
    output = opened;
  }
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(output, &mode)) {
    const std::wstring wide = Utf8ToWide(utf8) + L"\r\n";
    WriteConsoleW(output, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  } else {
    const std::string line = utf8 + "\r\n";
    WriteFile(output, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  }
  if (opened != nullptr) CloseHandle(opened);
}

}  // namespace lumio::win
