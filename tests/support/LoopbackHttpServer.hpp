#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// A small HTTP/1.1 server on 127.0.0.1 for tests: it binds port 0, answers each request as the test's script
// says (a reply, a delay, silence, a close without reply, a close in the middle of the body), records what
// it received and stops by itself when it goes out of scope, waking every connection it holds.
namespace testsupport {

struct ReceivedRequest {
  std::string method;  // as sent, case kept
  std::string target;  // the request target as sent, escapes kept
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  int connection = 0;  // the accepted connection it came on, counted from 1

  std::optional<std::string> header(const std::string& name) const {
    for (const auto& [field, value] : headers) {
      if (::strcasecmp(field.c_str(), name.c_str()) == 0) return value;
    }
    return std::nullopt;
  }
};

struct Reply {
  enum class Action { respond, silence, close, closeMidBody };
  using Fields = std::vector<std::pair<std::string, std::string>>;

  Reply(int code = 200, std::string text = {}, Action then = Action::respond, double wait = 0, Fields fields = {})
      : status(code), body(std::move(text)), action(then), delay(wait), headers(std::move(fields)) {}

  int status;
  std::string body;
  Action action;
  double delay;  // seconds before the action
  Fields headers;
};

class LoopbackHttpServer {
 public:
  using Script = std::function<Reply(const ReceivedRequest&)>;

  explicit LoopbackHttpServer(Script script = [](const ReceivedRequest&) { return Reply{}; })
      : script_(std::move(script)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 64) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { acceptLoop(); });
  }

  ~LoopbackHttpServer() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
      for (int fd : open_) ::shutdown(fd, SHUT_RDWR);
    }
    wake_.notify_all();
    ::shutdown(listener_, SHUT_RDWR);
    acceptor_.join();
    for (std::thread& connection : connections_) connection.join();
    ::close(listener_);
  }

  int port() const { return port_; }
  std::string url(const std::string& path = "/") const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

  std::vector<ReceivedRequest> requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }

 private:
  void acceptLoop() {
    for (int connection = 1;; ++connection) {
      const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      std::lock_guard lock(mutex_);
      if (fd < 0 || stopping_) {
        if (fd >= 0) ::close(fd);
        return;
      }
      open_.push_back(fd);
      connections_.emplace_back([this, fd, connection] { serve(fd, connection); });
    }
  }

  // Waits for the delay, or until the server stops; true when it stops.
  bool waitOrStop(double seconds) {
    std::unique_lock lock(mutex_);
    return wake_.wait_for(lock, std::chrono::duration<double>(seconds), [this] { return stopping_; });
  }

  void serve(int fd, int connection) {
    std::string buffer;
    while (std::optional<ReceivedRequest> request = readRequest(fd, buffer)) {
      request->connection = connection;
      {
        std::lock_guard lock(mutex_);
        requests_.push_back(*request);
      }
      const Reply reply = script_(*request);
      if (waitOrStop(reply.delay)) break;
      if (reply.action == Reply::Action::silence) {
        waitOrStop(30);
        break;
      }
      if (reply.action == Reply::Action::close) break;
      if (!send(fd, response(*request, reply)) || reply.action == Reply::Action::closeMidBody) break;
    }
    std::lock_guard lock(mutex_);
    std::erase(open_, fd);
    ::close(fd);
  }

  static std::string response(const ReceivedRequest& request, const Reply& reply) {
    const bool bodiless = reply.status == 204 || reply.status == 304 || reply.status < 200;
    std::string text = "HTTP/1.1 " + std::to_string(reply.status) + " Scripted\r\n";
    if (!bodiless) {
      const std::size_t announced = reply.body.size() + (reply.action == Reply::Action::closeMidBody ? 100 : 0);
      text += "Content-Length: " + std::to_string(announced) + "\r\n";
    }
    for (const auto& [field, value] : reply.headers) text += field + ": " + value + "\r\n";
    text += "\r\n";
    if (!bodiless && request.method != "HEAD") text += reply.body;
    return text;
  }

  static bool send(int fd, const std::string& text) {
    for (std::size_t sent = 0; sent < text.size();) {
      const ssize_t count = ::send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
      if (count <= 0) return false;
      sent += std::size_t(count);
    }
    return true;
  }

  static bool receiveMore(int fd, std::string& buffer) {
    char chunk[4096];
    const ssize_t count = ::recv(fd, chunk, sizeof chunk, 0);
    if (count <= 0) return false;
    buffer.append(chunk, std::size_t(count));
    return true;
  }

  static std::optional<ReceivedRequest> readRequest(int fd, std::string& buffer) {
    std::size_t end;
    while ((end = buffer.find("\r\n\r\n")) == std::string::npos) {
      if (!receiveMore(fd, buffer)) return std::nullopt;
    }
    ReceivedRequest request;
    std::size_t lineEnd = buffer.find("\r\n");
    const std::string line = buffer.substr(0, lineEnd);
    const std::size_t space = line.find(' ');
    const std::size_t secondSpace = line.find(' ', space + 1);
    request.method = line.substr(0, space);
    request.target = line.substr(space + 1, secondSpace - space - 1);
    std::size_t length = 0;
    for (std::size_t start = lineEnd + 2; start < end; start = lineEnd + 2) {
      lineEnd = buffer.find("\r\n", start);
      const std::string field = buffer.substr(start, lineEnd - start);
      const std::size_t colon = field.find(':');
      std::string value = field.substr(colon + 1);
      value.erase(0, value.find_first_not_of(' '));
      request.headers.emplace_back(field.substr(0, colon), value);
      if (::strcasecmp(request.headers.back().first.c_str(), "Content-Length") == 0) length = std::stoul(value);
    }
    buffer.erase(0, end + 4);
    while (buffer.size() < length) {
      if (!receiveMore(fd, buffer)) return std::nullopt;
    }
    request.body = buffer.substr(0, length);
    buffer.erase(0, length);
    return request;
  }

  Script script_;
  int listener_ = -1;
  int port_ = 0;
  std::thread acceptor_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::vector<int> open_;
  std::vector<std::thread> connections_;  // joined by the destructor, after acceptor_ has ended
  std::vector<ReceivedRequest> requests_;
};

}  // namespace testsupport
