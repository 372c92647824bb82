#pragma once
// Certificates for the tests' HTTPS servers, made once per process with the openssl program: a
// test certificate authority and, signed by it, a certificate for localhost, one that has
// expired and one for another host; and a certificate for localhost that nobody vouches for.

#include <string>

namespace lumio::test {

struct CertificateFiles {
  std::string cert;  // PEM
  std::string key;   // PEM
};

struct TestCertificates {
  bool ok = false;      // false when openssl is missing or failed: the TLS cases skip
  std::string ca_file;  // the authority, to trust instead of the system's
  CertificateFiles valid;
  CertificateFiles expired;
  CertificateFiles wrong_host;
  CertificateFiles untrusted;  // signed by an authority of its own
};

const TestCertificates& Certificates();

}  // namespace lumio::test
