#pragma once

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "tests/support/ScratchDirectory.hpp"

// A TLS server on 127.0.0.1 (openssl s_server on port 0) with a self-signed certificate that OpenSSL makes
// for it, so no authority the system trusts has signed it. It serves one connection (or gives up after
// 20 s) and is gone when the object is.
namespace testsupport {

class SelfSignedTlsServer {
 public:
  SelfSignedTlsServer() {
    const std::string key = directory_.path() + "/key.pem", cert = directory_.path() + "/cert.pem";
    const std::string make =
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -days 1 -subj /CN=127.0.0.1 "
        "-addext subjectAltName=IP:127.0.0.1 -keyout " +
        key + " -out " + cert + " 2>/dev/null";
    if (std::system(make.c_str()) != 0) throw std::runtime_error("openssl could not make a certificate");
    const std::string serve = "exec timeout 20 openssl s_server -accept 127.0.0.1:0 -naccept 1 -www -key " +
                              key + " -cert " + cert + " 2>/dev/null";
    output_ = ::popen(serve.c_str(), "r");
    char line[256];
    while (output_ && port_ == 0 && std::fgets(line, sizeof line, output_))
      std::sscanf(line, "ACCEPT 127.0.0.1:%d", &port_);
    if (port_ == 0) throw std::runtime_error("openssl s_server did not start");
  }

  ~SelfSignedTlsServer() {
    if (output_ != nullptr) ::pclose(output_);  // s_server ends after its one connection
  }

  std::string url(const std::string& path = "/") const {
    return "https://127.0.0.1:" + std::to_string(port_) + path;
  }

 private:
  ScratchDirectory directory_{"velmora-tls"};
  FILE* output_ = nullptr;
  int port_ = 0;
};

}  // namespace testsupport
