#include "Platform/Foundation/UrlLoader.hpp"

#include <strings.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>

#include "Platform/Dispatch/DispatchQueue.hpp"
#include "Platform/Foundation/UrlBodyBuffer.hpp"

namespace platform {

namespace {

constexpr double defaultTimeout = 60;

// The most header bytes one response takes; each response of a redirect chain counts on its own. libcurl
// refuses a line over 100 KiB, and more than 300 KiB of headers over a whole transfer (all the responses of
// a redirect chain together), with errors that look like memory or connection trouble. No line can exceed
// 100 KiB, so this lower total trips first within one response; the transfer's total is counted here too and
// refused as libcurl would refuse it. Every one of these overflows shows as a bad server response.
constexpr std::size_t largestHeaders = 192 << 10;
constexpr std::size_t largestTransferHeaders = 300 << 10;

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
  std::string message = curl_easy_strerror(result);
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
    // libcurl refuses a header or trailer line it cannot take apart (a trailer line without a colon, such
    // as one that looks like a status line) with a code that blames the caller: the server sent it.
    case CURLE_BAD_FUNCTION_ARGUMENT:
      code = Code::badServerResponse;
      message = "malformed header or trailer line";
      break;
    default: break;
  }
  if (detail && *detail) message.append(": ").append(detail);
  return UrlError(code, std::move(message));
}

// How libcurl fails a header line longer than it takes.
bool isHeaderLineOverflow(CURLcode result) {
#if LIBCURL_VERSION_NUM >= 0x080600
  if (result == CURLE_TOO_LARGE) return true;
#endif
  return result == CURLE_OUT_OF_MEMORY;
}

// A transfer whose body or header fields found no memory. The platform has no code of its own for this, and
// libcurl's own out-of-memory failure is an unknown error too.
UrlError memoryError() { return UrlError(UrlError::Code::unknown, "out of memory for the response"); }

// Hands an answer to its handler where the task asked. The body is moved all the way, never copied: one
// near the size limit is held once.
void deliver(UrlSession::Completion completion, UrlSession::Delivery delivery,
             std::optional<UrlSession::Body> body, std::optional<UrlResponse> response,
             std::optional<UrlError> error) {
  auto call = [completion = std::move(completion), body = std::move(body), response = std::move(response),
               error = std::move(error)]() mutable {
    completion(std::move(body), std::move(response), std::move(error));
  };
  if (delivery == UrlSession::Delivery::loaderThread) {
    call();
  } else {
    DispatchQueue::global().async(std::move(call));
  }
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
  UrlBodyBuffer body;
  std::vector<std::pair<std::string, std::string>> headerFields;
  double timeout = defaultTimeout;
  double lastActivity = steadyNow();
  curl_off_t uploaded = 0;
  std::size_t headerBytes = 0;          // of the current response
  std::size_t transferHeaderBytes = 0;  // of every response so far
  // What the next header line is: the status line that begins an answer (the first, one after an interim
  // answer, and one after libcurl followed a redirect), a field of its header, or, after the blank line that
  // ends a final answer's header, a line of the trailer that may follow a chunked body.
  enum class HeaderLine { status, field, trailer } next = HeaderLine::status;
  int answerStatus = 0;      // of the current answer
  long answerRedirects = 0;  // redirects followed before it
  bool headersTooLarge = false;
  bool bodyTooLong = false;
  bool outOfMemory = false;

  explicit Transfer(Task t) : task(std::move(t)) {}
  ~Transfer() {
    curl_slist_free_all(fields);
    curl_easy_cleanup(easy);
  }

  // Decoded body bytes; past the request's limit the body is dropped at once and the transfer stopped.
  static size_t receiveBody(char* data, size_t size, size_t count, void* self) noexcept {
    auto& transfer = *static_cast<Transfer*>(self);
    const std::string_view bytes(data, size * count);
    transfer.lastActivity = steadyNow();
    return transfer.keep(bytes) ? bytes.size() : 0;
  }

  bool keep(std::string_view bytes) noexcept {
    if (bytes.size() > task.request.maximumBodyLength() - body.size()) {
      bodyTooLong = true;
      body.clear();
      return false;
    }
    outOfMemory = !body.append(bytes.data(), bytes.size());
    return !outOfMemory;
  }

  // Header lines of every answer, and trailer lines; the status line of a new answer (a redirect, an interim
  // answer) starts the list and the count of header bytes anew. Only the first line of an answer is its
  // status line, whatever the lines after it, or a trailer's, begin with.
  static size_t receiveHeader(char* data, size_t size, size_t count, void* self) noexcept {
    auto& transfer = *static_cast<Transfer*>(self);
    transfer.lastActivity = steadyNow();
    try {
      return transfer.keepHeader(std::string_view(data, size * count)) ? size * count : 0;
    } catch (...) {  // a field found no memory; nothing may cross libcurl
      transfer.outOfMemory = true;
      return 0;
    }
  }

  bool keepHeader(std::string_view line) {
    next = upcoming();
    const bool statusLine = next == HeaderLine::status && line.starts_with("HTTP/");
    if (statusLine) {
      headerFields.clear();
      headerBytes = 0;
      answerRedirects = redirects();
      answerStatus = 0;  // from "HTTP/1.1 200 OK", "HTTP/2 200"
      if (const std::size_t space = line.find(' '); space != std::string_view::npos)
        std::from_chars(line.data() + space + 1, line.data() + line.size(), answerStatus);
    }
    headerBytes += line.size();
    transferHeaderBytes += line.size();
    if (headerBytes > largestHeaders || transferHeaderBytes > largestTransferHeaders) {
      headersTooLarge = true;
      return false;
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (next != HeaderLine::trailer)
      next = !line.empty()             ? HeaderLine::field
             : answerStatus / 100 == 1 ? HeaderLine::status
                                       : HeaderLine::trailer;
    if (const std::size_t colon = line.find(':'); !statusLine && colon != std::string_view::npos) {
      std::string_view value = line.substr(colon + 1);
      while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
      headerFields.emplace_back(std::string(line.substr(0, colon)), std::string(value));
    }
    return true;
  }

  // What the next header line is: once libcurl has followed a redirect, the next answer's status line,
  // whether the redirect's header ended, its trailer did, or its connection closed within the header.
  HeaderLine upcoming() const { return redirects() > answerRedirects ? HeaderLine::status : next; }

  long redirects() const {
    long count = 0;
    curl_easy_getinfo(easy, CURLINFO_REDIRECT_COUNT, &count);
    return count;
  }

  static int progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploadedNow) noexcept {
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
    // A proxy's answer to CONNECT (https through a proxy) is no answer of the server: a final one would make
    // the server's status line look like a trailer line.
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
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

  // Why the transfer failed, or nothing when it completed.
  std::optional<UrlError> failure(CURLcode result) const {
    using Code = UrlError::Code;
    if (bodyTooLong) {
      return UrlError(
          Code::dataLengthExceedsMaximum,
          "the body is longer than " + std::to_string(task.request.maximumBodyLength()) + " bytes");
    }
    if (outOfMemory) return memoryError();
    if (headersTooLarge || (upcoming() != HeaderLine::trailer && isHeaderLineOverflow(result)))
      return UrlError(Code::badServerResponse, "the response header is too large");
    if (result != CURLE_OK) return errorFor(result, error);
    // libcurl takes a connection closed within the header for the end of an answer without a body.
    if (next == HeaderLine::field && web())
      return UrlError(Code::networkConnectionLost, "the connection closed within the response header");
    return std::nullopt;
  }

  // Whether the transfer ended on http or https (a file's header has no blank line to end it).
  bool web() const {
    char* scheme = nullptr;
    curl_easy_getinfo(easy, CURLINFO_SCHEME, &scheme);
    return scheme && (sameText(scheme, "http") || sameText(scheme, "https"));
  }

  UrlResponse response() const {
    char* effective = nullptr;
    curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &effective);
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    std::optional<Url> url = effective ? Url::parse(effective) : std::nullopt;
    return UrlResponse{url.value_or(task.request.url()),
                       web() ? std::optional<int>(int(status)) : std::nullopt, headerFields};
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
    return deliver(std::move(transfer->task.completion), transfer->task.delivery, std::nullopt, std::nullopt,
                   std::move(error));
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
  std::optional<UrlError> error = transfer.failure(result);
  if (!error) {
    body = transfer.body.take();
    if (body) {
      response = transfer.response();
    } else {
      error = memoryError();
    }
  }
  UrlSession::Completion completion = std::move(transfer.task.completion);
  const UrlSession::Delivery delivery = transfer.task.delivery;
  active_.erase(transfer.easy);
  deliver(std::move(completion), delivery, std::move(body), std::move(response), std::move(error));
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
