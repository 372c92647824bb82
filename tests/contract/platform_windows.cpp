// The contract suite's platform part for the Windows player: WinPlayer, whose worker thread
// needs nothing run by the test's thread, playing through waveOut into the sink Wine was given,
// trusting the stations' authority from the user's root store as a listener's system trusts a
// public one; memory from the process's counters.

#include <winsock2.h>

#include <psapi.h>
#include <wincrypt.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "contract/platform.h"
#include "winplayer/win_player.h"

namespace lumio::test {
namespace {

class WindowsPlayer final : public TestPlayer {
 public:
  explicit WindowsPlayer(const WinPlayerOptions& options) : player_(options) {
    // The device and the decoders take a while to open the first time; a case's timings start
    // once they are.
    player_.Prepare();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!player_.Prepared() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  MediaPlayer& player() override { return player_; }
  std::string LastError() const override { return player_.LastError(); }

 private:
  WinPlayer player_;
};

std::string EnvOr(const char* name, const std::string& otherwise) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : otherwise;
}

class Winsock {
 public:
  Winsock() {
    WSADATA data;
    ok_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~Winsock() {
    if (ok_) WSACleanup();
  }
  Winsock(const Winsock&) = delete;
  Winsock& operator=(const Winsock&) = delete;

 private:
  bool ok_ = false;
};

// Once per run: the authority's DER file into CurrentUser\Root of the test prefix.
bool TrustTestAuthority() {
  std::ifstream file(EnvOr("LUMIO_STATIONS_CA_DER", ""), std::ios::binary);
  const std::string der((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (der.empty()) return false;
  HCERTSTORE store = CertOpenSystemStoreW(0, L"ROOT");
  if (store == nullptr) return false;
  const BOOL added = CertAddEncodedCertificateToStore(
      store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
      static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  CertCloseStore(store, 0);
  return added != FALSE;
}

}  // namespace

const char* PlayerName() {
  return "windows";
}

std::unique_ptr<TestPlayer> MakePlayer(const TestLimits& limits) {
  static const bool trusted = TrustTestAuthority();
  (void)trusted;
  return std::make_unique<WindowsPlayer>(WinPlayerOptions{
      .timeout_seconds = limits.timeout_seconds, .silence_limit_ms = limits.silence_limit_ms});
}

void RunPendingEvents() {}

int64_t PrivateMemoryBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(),
                            reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
    return -1;
  // Wine leaves the private bytes at 0; the commit charge, then the working set, say as much.
  for (const SIZE_T bytes :
       {counters.PrivateUsage, counters.PagefileUsage, counters.WorkingSetSize})
    if (bytes > 0) return static_cast<int64_t>(bytes);
  return -1;
}

std::string Control(const std::string& command) {
  static Winsock winsock;
  const int port = std::atoi(EnvOr("LUMIO_STATIONS_CONTROL", "0").c_str());
  if (port <= 0) return "";
  SOCKET fd = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (fd == INVALID_SOCKET) return "";
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string answer;
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    const std::string line = command + "\n";
    send(fd, line.data(), static_cast<int>(line.size()), 0);
    char c = 0;
    while (recv(fd, &c, 1, 0) == 1 && c != '\n')
      answer += c;
  }
  closesocket(fd);
  return answer;
}

}  // namespace lumio::test
