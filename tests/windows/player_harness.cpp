#include "windows/player_harness.h"

#include <winsock2.h>

#include <wincrypt.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace lumio::test {
namespace {

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

void Add(States& states, int32_t state) {
  if (states.empty() || states.back() != state) states.push_back(state);
}

}  // namespace

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string StationUrl(const std::string& path) {
  return Env("LUMIO_STATIONS") + path;
}

std::string Control(const std::string& command) {
  static Winsock winsock;
  const int port = std::atoi(Env("LUMIO_STATIONS_CONTROL").c_str());
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

Heard Listen(milliseconds duration) {
  std::istringstream answer(Control("listen " + std::to_string(duration.count())));
  Heard heard;
  answer >> heard.rms >> heard.frequency;
  return heard;
}

Requests RequestsFor(const std::string& path) {
  std::istringstream answer(Control("requests " + path));
  Requests requests;
  std::string gaps;
  std::string icy;
  answer >> requests.count >> gaps >> requests.user_agent >> icy;
  requests.icy = icy == "1";
  std::istringstream list(gaps);
  for (std::string gap; std::getline(list, gap, ',');) {
    if (gap != "-") requests.gaps_ms.push_back(std::atoll(gap.c_str()));
  }
  return requests;
}

States TraceUntil(WinPlayer& player, int32_t wanted, milliseconds timeout) {
  States states;
  Add(states, player.GetPlayState());
  WaitUntil(
      [&] {
        Add(states, player.GetPlayState());
        return states.back() == wanted;
      },
      timeout);
  return states;
}

States TraceFor(WinPlayer& player, milliseconds duration) {
  States states;
  WaitUntil(
      [&] {
        Add(states, player.GetPlayState());
        return false;
      },
      duration);
  return states;
}

int64_t ProcessCpuMs() {
  FILETIME created{};
  FILETIME exited{};
  FILETIME kernel{};
  FILETIME user{};
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto ms = [](const FILETIME& time) {
    return static_cast<int64_t>((uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime) / 10000);
  };
  return ms(kernel) + ms(user);
}

bool TrustTestCa() {
  std::ifstream file(Env("LUMIO_STATIONS_CA_DER"), std::ios::binary);
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

bool PrepareAndWait(WinPlayer& player, milliseconds timeout) {
  player.Prepare();
  return WaitUntil([&] { return player.Prepared(); }, timeout);
}

}  // namespace lumio::test
