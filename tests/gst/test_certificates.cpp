#include "gst/test_certificates.h"

#include <initializer_list>
#include <vector>

#include "gst/child_process.h"
#include "store/atomic_file.h"
#include "support/temp_dir.h"

namespace lumio::test {
namespace {

void Run(std::initializer_list<std::string> argv) {
  RunAndRead(std::vector<std::string>(argv), 20000);
}

// A key and a certificate request for localhost; returns the request's path.
std::string NewRequest(const TempDir& dir, const std::string& name) {
  Run({"openssl", "req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
       "-keyout", dir.File(name + ".key"), "-out", dir.File(name + ".csr"), "-subj",
       "/CN=localhost"});
  return dir.File(name + ".csr");
}

// A self-signed authority `name`.
void NewAuthority(const TempDir& dir, const std::string& name) {
  Run({"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
       "-nodes", "-keyout", dir.File(name + ".key"), "-out", dir.File(name + ".pem"), "-days", "30",
       "-subj", "/CN=Lumio test authority " + name});
}

// `openssl ca` is the tool that sets any validity period, an expired one included.
CertificateFiles Sign(const TempDir& dir, const std::string& authority, const std::string& name,
                      const std::string& host, const std::string& start, const std::string& end) {
  const std::string request = NewRequest(dir, name);
  WriteBytes(dir.File(name + ".ext"),
             "subjectAltName=DNS:" + host + "\nbasicConstraints=CA:FALSE\n");
  WriteBytes(dir.File("index.txt"), "");
  static int serial = 0x1000;
  WriteBytes(dir.File("serial"), std::to_string(++serial) + "\n");
  WriteBytes(dir.File("ca.cnf"),
             "[ca]\ndefault_ca=t\n[t]\ndatabase=" + dir.File("index.txt") +
                 "\nnew_certs_dir=" + dir.path() + "\nserial=" + dir.File("serial") +
                 "\ndefault_md=sha256\npolicy=p\nunique_subject=no\n[p]\ncommonName=supplied\n");
  Run({"openssl",    "ca",
       "-batch",     "-notext",
       "-config",    dir.File("ca.cnf"),
       "-cert",      dir.File(authority + ".pem"),
       "-keyfile",   dir.File(authority + ".key"),
       "-in",        request,
       "-out",       dir.File(name + ".pem"),
       "-startdate", start,
       "-enddate",   end,
       "-extfile",   dir.File(name + ".ext")});
  return {dir.File(name + ".pem"), dir.File(name + ".key")};
}

TestCertificates Make(const TempDir& dir) {
  constexpr const char* kLongAgo = "20200101000000Z";
  constexpr const char* kSoonAfter = "20200201000000Z";
  constexpr const char* kYesterday = "20240101000000Z";
  constexpr const char* kFarAhead = "20991231000000Z";
  TestCertificates made;
  NewAuthority(dir, "trusted");
  NewAuthority(dir, "stranger");
  made.ca_file = dir.File("trusted.pem");
  made.valid = Sign(dir, "trusted", "valid", "localhost", kYesterday, kFarAhead);
  made.expired = Sign(dir, "trusted", "expired", "localhost", kLongAgo, kSoonAfter);
  made.wrong_host = Sign(dir, "trusted", "wronghost", "elsewhere.example", kYesterday, kFarAhead);
  made.untrusted = Sign(dir, "stranger", "untrusted", "localhost", kYesterday, kFarAhead);
  made.ok = true;
  for (const std::string& file : {made.ca_file, made.valid.cert, made.expired.cert,
                                  made.wrong_host.cert, made.untrusted.cert}) {
    const std::optional<std::string> bytes = ReadWholeFile(file);
    made.ok = made.ok && bytes && bytes->find("BEGIN CERTIFICATE") != std::string::npos;
  }
  return made;
}

}  // namespace

const TestCertificates& Certificates() {
  static const TempDir dir;
  static const TestCertificates made = Make(dir);
  return made;
}

}  // namespace lumio::test
