#pragma once

#include <arpa/inet.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// A small HTTP/1.1 server on 127.0.0.1 for tests: it binds port 0, answers each request as the test's script
// says (a reply, a delay, silence, a close in the middle of the body), records what it received and stops by
// itself when it goes out of scope, waking every connection it holds.
namespace testsupport {

using Fields = std::vector<std::pair<std::string, std::string>>;

struct ReceivedRequest {
  std::string method, target, body;  // method and target exactly as sent
  Fields headers;
  int connection = 0;  // the accepted connection it came on, counted from 1

  std::optional<std::string> header(const std::string& name) const {
    for (const auto& [field, value] : headers)
      if (::strcasecmp(field.c_str(), name.c_str()) == 0) return value;
    return std::nullopt;
  }
};

struct Reply {
  enum class Action { respond, silence, closeMidBody };
  int status = 200;
  std::string body = {};
  Action action = Action::respond;
  double delay = 0;  // seconds before the action
  Fields headers = {};
  // When set, the body is this shell command's output as it is made, ended by closing the connection.
  std::string command = {};
  // When set, these bytes are the whole answer, ended by closing the connection.
  std::string raw = {};
};

class LoopbackHttpServer {
 public:
  using Script = std::function<Reply(const ReceivedRequest&)>;

  explicit LoopbackHttpServer(Script script = [](const ReceivedRequest&) { return Reply(); })
      : script_(std::move(script)) {
    sockaddr_in address{
        .sin_family = AF_INET, .sin_port = 0, .sin_addr = {htonl(INADDR_LOOPBACK)}, .sin_zero = {}};
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 64) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      throw std::runtime_error("cannot listen on 127.0.0.1");
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { acceptLoop(); });
  }

  ~LoopbackHttpServer() {
    std::unique_lock lock(mutex_);
    stopping_ = true;
    for (int fd : open_) ::shutdown(fd, SHUT_RDWR);
    lock.unlock();
    wake_.notify_all();
    ::shutdown(listener_, SHUT_RDWR);
    acceptor_.join();
    for (std::thread& connection : connections_) connection.join();  // none is added once acceptor_ ended
    ::close(listener_);
  }

  std::string url(const std::string& path = "/") const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  std::vector<ReceivedRequest> requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }

 private:
  void acceptLoop() {
    for (int connection = 1;; ++connection) {
      const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      std::lock_guard lock(mutex_);
      if (fd >= 0 && stopping_) ::close(fd);
      if (fd < 0 || stopping_) return;
      open_.push_back(fd);
      connections_.emplace_back([this, fd, connection] { serve(fd, connection); });
    }
  }

  void serve(int fd, int connection) {
    std::string buffer;
    while (std::optional<ReceivedRequest> request = readRequest(fd, buffer)) {
      request->connection = connection;
      const Reply reply = script_(*request);
      const bool silent = reply.action == Reply::Action::silence;
      std::unique_lock lock(mutex_);
      requests_.push_back(*request);
      // The delay, or silence, ends at once when the server stops.
      const std::chrono::duration<double> wait(silent ? 30 : reply.delay);
      if (wake_.wait_for(lock, wait, [this] { return stopping_; }) || silent) break;
      lock.unlock();
      if (!reply.raw.empty()) {
        send(fd, reply.raw);
        break;
      }
      if (!send(fd, response(*request, reply)) || reply.action == Reply::Action::closeMidBody) break;
      if (!reply.command.empty()) {
        FILE* output = ::popen(reply.command.c_str(), "r");
        char piece[1 << 16];
        for (std::size_t count; (count = std::fread(piece, 1, sizeof piece, output)) > 0;)
          if (!send(fd, std::string_view(piece, count))) break;
        ::pclose(output);
        break;
      }
    }
    std::lock_guard lock(mutex_);
    std::erase(open_, fd);
    ::close(fd);
  }

  static std::string response(const ReceivedRequest& request, const Reply& reply) {
    const bool bodiless = reply.status == 204 || reply.status == 304 || reply.status < 200;
    std::string text = "HTTP/1.1 " + std::to_string(reply.status) + " Scripted\r\n";
    const std::size_t announced = reply.body.size() + (reply.action == Reply::Action::closeMidBody ? 100 : 0);
    if (!bodiless && reply.command.empty()) text += "Content-Length: " + std::to_string(announced) + "\r\n";
    for (const auto& [field, value] : reply.headers) text += field + ": " + value + "\r\n";
    return text + "\r\n" + (bodiless || request.method == "HEAD" ? "" : reply.body);
  }

  static bool send(int fd, std::string_view text) {
    for (ssize_t count; !text.empty(); text.remove_prefix(std::size_t(count)))
      if ((count = ::send(fd, text.data(), text.size(), MSG_NOSIGNAL)) <= 0) return false;
    return true;
  }

  // Reads until `buffer` holds `size` bytes or the text `end`; false when the connection ends first.
  static bool receive(int fd, std::string& buffer, std::size_t size, const char* end = nullptr) {
    char chunk[4096];
    while (end ? buffer.find(end) == std::string::npos : buffer.size() < size) {
      const ssize_t count = ::recv(fd, chunk, sizeof chunk, 0);
      if (count <= 0) return false;
      buffer.append(chunk, std::size_t(count));
    }
    return true;
  }

  static std::optional<ReceivedRequest> readRequest(int fd, std::string& buffer) {
    if (!receive(fd, buffer, 0, "\r\n\r\n")) return std::nullopt;
    const std::size_t end = buffer.find("\r\n\r\n");
    ReceivedRequest request;
    std::size_t lineEnd = buffer.find("\r\n");
    const std::size_t space = buffer.find(' '), secondSpace = buffer.find(' ', space + 1);
    request.method = buffer.substr(0, space);
    request.target = buffer.substr(space + 1, secondSpace - space - 1);
    for (std::size_t start = lineEnd + 2; start < end; start = lineEnd + 2) {
      lineEnd = buffer.find("\r\n", start);
      const std::size_t colon = buffer.find(':', start), value = buffer.find_first_not_of(' ', colon + 1);
      request.headers.emplace_back(buffer.substr(start, colon - start),
                                   buffer.substr(value, lineEnd - value));
    }
    buffer.erase(0, end + 4);
    const std::size_t length = std::stoul(request.header("Content-Length").value_or("0"));
    if (!receive(fd, buffer, length)) return std::nullopt;
    request.body = buffer.substr(0, length);
    buffer.erase(0, length);
    return request;
  }

  Script script_;
  int listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int port_ = 0;
  std::thread acceptor_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::vector<int> open_;
  std::vector<std::thread> connections_;
  std::vector<ReceivedRequest> requests_;
};

}  // namespace testsupport
