#include "Platform/Foundation/UrlLoader.hpp"

#include <strings.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>

#include "Platform/Dispatch/DispatchQueue.hpp"

namespace platform {

namespace {

constexpr double defaultTimeout = 60;

// Silence is measured on the machine's steady clock, whatever a test pins Clock to.
double steadyNow() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool sameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

UrlError errorFor(CURLcode result, const char* detail) {
  using Code = UrlError::Code;
  Code code = Code::unknown;
  switch (result) {
    case CURLE_OPERATION_TIMEDOUT: code = Code::timedOut; break;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: code = Code::cannotFindHost; break;
    case CURLE_COULDNT_CONNECT: code = Code::cannotConnectToHost; break;
    case CURLE_UNSUPPORTED_PROTOCOL: code = Code::unsupportedURL; break;
    case CURLE_URL_MALFORMAT: code = Code::badURL; break;
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE: code = Code::networkConnectionLost; break;
    case CURLE_TOO_MANY_REDIRECTS: code = Code::httpTooManyRedirects; break;
    case CURLE_SSL_CONNECT_ERROR: code = Code::secureConnectionFailed; break;
    case CURLE_PEER_FAILED_VERIFICATION: code = Code::serverCertificateUntrusted; break;
    case CURLE_FILE_COULDNT_READ_FILE: code = Code::fileDoesNotExist; break;
    case CURLE_WEIRD_SERVER_REPLY: code = Code::badServerResponse; break;
    default: break;
  }
  std::string message = curl_easy_strerror(result);
  if (detail && *detail) message.append(": ").append(detail);
  return UrlError(code, std::move(message));
}

// Loopback never goes through a proxy; other hosts follow no_proxy from the environment.
std::string proxyExceptions() {
  const char* configured = std::getenv("no_proxy");
  if (!configured) configured = std::getenv("NO_PROXY");
  std::string hosts = configured ? configured : "";
  if (hosts == "*") return hosts;
  return hosts + (hosts.empty() ? "" : ",") + "localhost,127.0.0.1,::1";
}

// Why a request cannot be handed to libcurl at all, or nothing.
std::optional<UrlError> unsupported(const Url& url) {
  const std::string scheme = url.scheme().value_or("");
  const bool web = sameText(scheme, "http") || sameText(scheme, "https");
  if (!web && !sameText(scheme, "file")) {
    return UrlError(UrlError::Code::unsupportedURL, "unsupported URL: " + url.absoluteString());
  }
  if (web && url.host().value_or("").empty()) {
    return UrlError(UrlError::Code::unsupportedURL, "URL without a host: " + url.absoluteString());
  }
  return std::nullopt;
}

}  // namespace

struct UrlLoader::Transfer {
  Task task;
  CURL* easy = curl_easy_init();
  curl_slist* fields = nullptr;
  char error[CURL_ERROR_SIZE] = {};
  UrlSession::Body body;
  std::vector<std::pair<std::string, std::string>> headerFields;
  double timeout = defaultTimeout;
  double lastActivity = steadyNow();
  curl_off_t uploaded = 0;

  explicit Transfer(Task t) : task(std::move(t)) {}
  ~Transfer() {
    curl_slist_free_all(fields);
    curl_easy_cleanup(easy);
  }

  static size_t receiveBody(char* data, size_t size, size_t count, void* self) {
    auto& transfer = *static_cast<Transfer*>(self);
    transfer.body.insert(transfer.body.end(), data, data + size * count);
    transfer.lastActivity = steadyNow();
    return size * count;
  }

  // Header lines of every answer; a new status line (a redirect, an interim answer) starts the list anew.
  static size_t receiveHeader(char* data, size_t size, size_t count, void* self) {
    auto& transfer = *static_cast<Transfer*>(self);
    std::string_view line(data, size * count);
    transfer.lastActivity = steadyNow();
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (line.starts_with("HTTP/")) {
      transfer.headerFields.clear();
    } else if (const std::size_t colon = line.find(':'); colon != std::string_view::npos) {
      std::string_view value = line.substr(colon + 1);
      while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
      transfer.headerFields.emplace_back(std::string(line.substr(0, colon)), std::string(value));
    }
    return size * count;
  }

  static int progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploadedNow) {
    auto& transfer = *static_cast<Transfer*>(self);
    if (uploadedNow != transfer.uploaded) {
      transfer.uploaded = uploadedNow;
      transfer.lastActivity = steadyNow();
    }
    return 0;
  }

  void configure() {
    const UrlRequest& request = task.request;
    if (std::isfinite(request.timeoutInterval()) && request.timeoutInterval() > 0)
      timeout = request.timeoutInterval();
    curl_easy_setopt(easy, CURLOPT_PRIVATE, this);
    curl_easy_setopt(easy, CURLOPT_URL, request.url().absoluteString().c_str());
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https,file");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 16L);
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_NOPROXY, proxyExceptions().c_str());
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
    if (task.share) {
      curl_easy_setopt(easy, CURLOPT_SHARE, task.share);
    } else {
      curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L);
      curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    }
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::receiveBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::receiveHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &Transfer::progress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);

    const std::string method = request.httpMethod().value_or("GET");
    const auto& requestBody = request.httpBody();
    if (method == "HEAD") {
      // Exactly "HEAD": libcurl's no-body mode; as a custom method it would wait for a body.
      curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else if (requestBody || method == "POST") {
      static const char nothing = 0;
      const bool empty = !requestBody || requestBody->empty();
      curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(empty ? 0 : requestBody->size()));
      curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS,
                       empty ? &nothing : reinterpret_cast<const char*>(requestBody->data()));
      if (method != "POST") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method.c_str());
    } else if (method != "GET") {
      curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method.c_str());
    }
    // The request's own fields only: no "Expect: 100-continue", and no form type that the caller did not set.
    fields = curl_slist_append(fields, "Expect:");
    if (!request.value("Content-Type")) fields = curl_slist_append(fields, "Content-Type:");
    for (const auto& [name, value] : request.allHttpHeaderFields()) {
      // "Name;" is libcurl's way to send a field with an empty value.
      fields = curl_slist_append(fields, (name + (value.empty() ? ";" : ": " + value)).c_str());
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, fields);
  }

  UrlResponse response() const {
    char* effective = nullptr;
    curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &effective);
    char* scheme = nullptr;
    curl_easy_getinfo(easy, CURLINFO_SCHEME, &scheme);
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    const bool http = scheme && (sameText(scheme, "http") || sameText(scheme, "https"));
    std::optional<Url> url = effective ? Url::parse(effective) : std::nullopt;
    return UrlResponse{url.value_or(task.request.url()),
                       http ? std::optional<int>(int(status)) : std::nullopt, headerFields};
  }
};

UrlLoader& UrlLoader::shared() {
  static UrlLoader* loader = [] {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    auto* made = new UrlLoader;  // lives as long as the process, like its thread
    std::thread([made] { made->run(); }).detach();
    return made;
  }();
  return *loader;
}

UrlLoader::UrlLoader() : multi_(curl_multi_init()) {}

void UrlLoader::add(Task task) {
  {
    std::lock_guard lock(mutex_);
    pending_.push_back(std::move(task));
  }
  curl_multi_wakeup(multi_);
}

void UrlLoader::run() {
  for (;;) {
    std::deque<Task> arrived;
    {
      std::lock_guard lock(mutex_);
      arrived.swap(pending_);
    }
    for (Task& task : arrived) start(std::move(task));
    int running = 0;
    curl_multi_perform(multi_, &running);
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
      if (message->msg == CURLMSG_DONE) finish(*active_.at(message->easy_handle), message->data.result);
    }
    curl_multi_poll(multi_, nullptr, 0, abortSilentTransfers(), nullptr);
  }
}

void UrlLoader::start(Task task) {
  auto transfer = std::make_unique<Transfer>(std::move(task));
  if (std::optional<UrlError> error = unsupported(transfer->task.request.url())) {
    UrlSession::Completion completion = std::move(transfer->task.completion);
    if (transfer->task.delivery == UrlSession::Delivery::loaderThread) {
      completion(std::nullopt, std::nullopt, *error);
    } else {
      DispatchQueue::global().async([completion, error] { completion(std::nullopt, std::nullopt, *error); });
    }
    return;
  }
  transfer->configure();
  CURL* easy = transfer->easy;
  active_.emplace(easy, std::move(transfer));
  curl_multi_add_handle(multi_, easy);
}

void UrlLoader::finish(Transfer& transfer, CURLcode result) {
  curl_multi_remove_handle(multi_, transfer.easy);
  std::optional<UrlSession::Body> body;
  std::optional<UrlResponse> response;
  std::optional<UrlError> error;
  if (result == CURLE_OK) {
    body = std::move(transfer.body);
    response = transfer.response();
  } else {
    error = errorFor(result, transfer.error);
  }
  UrlSession::Completion completion = std::move(transfer.task.completion);
  const UrlSession::Delivery delivery = transfer.task.delivery;
  active_.erase(transfer.easy);
  if (delivery == UrlSession::Delivery::loaderThread) {
    completion(std::move(body), std::move(response), std::move(error));
  } else {
    DispatchQueue::global().async([completion, body, response, error] { completion(body, response, error); });
  }
}

int UrlLoader::abortSilentTransfers() {
  const double now = steadyNow();
  double wait = 1.0;
  std::vector<Transfer*> silent;
  for (const auto& [easy, transfer] : active_) {
    const double left = transfer->lastActivity + transfer->timeout - now;
    if (left <= 0) {
      silent.push_back(transfer.get());
    } else {
      wait = std::min(wait, left);
    }
  }
  for (Transfer* transfer : silent) finish(*transfer, CURLE_OPERATION_TIMEDOUT);
  return std::max(1, static_cast<int>(std::ceil(wait * 1000)));
}

}  // namespace platform
