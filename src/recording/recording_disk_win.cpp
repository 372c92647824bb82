#include <windows.h>

#include "recording/recording_disk.h"
#include "text/wide_text.h"

namespace lumio {
namespace {

class WinOutput final : public RecordingOutput {
 public:
  explicit WinOutput(HANDLE file) : m_file(file) {}
  ~WinOutput() override { CloseHandle(m_file); }
  WinOutput(const WinOutput&) = delete;
  WinOutput& operator=(const WinOutput&) = delete;

  bool Append(std::string_view bytes) override {
    std::string_view rest = bytes;
    while (!rest.empty()) {
      const DWORD chunk = rest.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(rest.size());
      DWORD written = 0;
      if (!WriteFile(m_file, rest.data(), chunk, &written, nullptr) || written == 0) {
        // Half a frame at the end would be heard as a click, or stop a player reading on.
        LARGE_INTEGER at;
        at.QuadPart = m_size;
        if (SetFilePointerEx(m_file, at, nullptr, FILE_BEGIN)) SetEndOfFile(m_file);
        return false;
      }
      rest.remove_prefix(written);
    }
    m_size += static_cast<LONGLONG>(bytes.size());
    return true;
  }

 private:
  HANDLE m_file;
  LONGLONG m_size = 0;
};

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

bool SystemRecordingDisk::MakeFolders(const std::string& folder) {
  if (folder.empty()) return false;
  // Every parent in turn; those that exist (the drive's root among them) simply refuse.
  for (size_t i = 1; i < folder.size(); ++i) {
    if (folder[i] == '\\' || folder[i] == '/')
      CreateDirectoryA(folder.substr(0, i).c_str(), nullptr);
  }
  CreateDirectoryA(folder.c_str(), nullptr);
  return IsFolder(folder);
}

std::optional<uint64_t> SystemRecordingDisk::FreeBytes(const std::string& folder) {
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr)) return std::nullopt;
  return available.QuadPart;
}

std::unique_ptr<RecordingOutput> SystemRecordingDisk::CreateNew(const std::string& path,
                                                                bool& exists) {
  exists = false;
  // Others may read the recording while it grows, as a listener checking it in a player would.
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    exists = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
    return nullptr;
  }
  return std::make_unique<WinOutput>(file);
}

// The program's paths are in the ANSI code page, as the A functions take them; on a Chinese
// system that is GBK itself.
std::string FileNameFromGbk(std::string_view gbk) {
  const std::wstring wide = GbkToWide(gbk);
  if (wide.empty()) return {};
  // A system whose ANSI code page is UTF-8 takes no stand-in character, and needs none.
  const char* standIn = GetACP() == CP_UTF8 ? nullptr : "_";
  const DWORD flags = standIn != nullptr ? WC_NO_BEST_FIT_CHARS : 0;
  const int length = WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, standIn, nullptr);
  if (length <= 0) return {};
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()), out.data(), length,
                      standIn, nullptr);
  return out;
}

}  // namespace lumio
