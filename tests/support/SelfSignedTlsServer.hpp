#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

extern char** environ;

// A TLS server on 127.0.0.1 (openssl s_server on port 0) with a self-signed certificate that OpenSSL makes
// for it: no authority the system trusts has signed it. It stops with the object.
namespace testsupport {

class SelfSignedTlsServer {
 public:
  SelfSignedTlsServer() {
    directory_ = std::filesystem::temp_directory_path() / ("velmora-tls-" + std::to_string(::getpid()));
    std::filesystem::create_directories(directory_);
    const std::string key = (directory_ / "key.pem").string(), certificate = (directory_ / "cert.pem").string();
    const std::string make = "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -days 1 "
                             "-subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout " + key +
                             " -out " + certificate + " 2>/dev/null";
    if (std::system(make.c_str()) != 0) throw std::runtime_error("openssl could not make a certificate");
    int pipe[2];
    if (::pipe(pipe) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipe[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const char* argv[] = {"openssl", "s_server", "-accept", "127.0.0.1:0", "-cert", certificate.c_str(),
                          "-key", key.c_str(), "-www", nullptr};
    const int spawned = ::posix_spawnp(&pid_, "openssl", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    if (spawned != 0) {
      ::close(pipe[0]);
      throw std::runtime_error("cannot start openssl s_server");
    }
    // s_server prints "ACCEPT 127.0.0.1:<port>" once it listens; its output stays open while it runs.
    output_ = ::fdopen(pipe[0], "r");
    char line[256];
    while (std::fgets(line, sizeof line, output_)) {
      if (std::sscanf(line, "ACCEPT 127.0.0.1:%d", &port_) == 1) return;
    }
    stop();
    throw std::runtime_error("openssl s_server did not start");
  }

  ~SelfSignedTlsServer() { stop(); }

  std::string url(const std::string& path = "/") const { return "https://127.0.0.1:" + std::to_string(port_) + path; }

 private:
  void stop() {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    std::fclose(output_);
    std::filesystem::remove_all(directory_);
  }


  std::filesystem::path directory_;
  pid_t pid_ = 0;
  int port_ = 0;
  FILE* output_ = nullptr;
};

}  // namespace testsupport
