#include "windows/stations_client.h"

#include <winsock2.h>

#include <wincrypt.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

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

std::string EnvOrEmpty(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

std::string StationsControl(const std::string& command) {
  static Winsock winsock;
  const int port = std::atoi(EnvOrEmpty("LUMIO_STATIONS_CONTROL").c_str());
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

bool TrustStationsAuthority() {
  std::ifstream file(EnvOrEmpty("LUMIO_STATIONS_CA_DER"), std::ios::binary);
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

}  // namespace lumio::test
