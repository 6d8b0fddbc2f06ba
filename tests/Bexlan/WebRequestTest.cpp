#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <fstream>
#include <latch>
#include <map>

#include "Bexlan/WebRequest.hpp"
#include "tests/platform/System/MountTestGuards.hpp"
#include "tests/support/LoopbackHttpServer.hpp"
#include "tests/support/SelfSignedTlsServer.hpp"

namespace {

using Bexlan::PingResult;
using Bexlan::WebRequest;
using Code = platform::UrlError::Code;
using testsupport::Reply;

// The value of a completion that must be called once: a second call throws on its thread and ends the run.
template <class T>
auto once(std::promise<T>& promise) {
  return [&promise](auto... parts) { promise.set_value(T(parts...)); };
}

Code failureOf(auto future) {
  try {
    future.get();
  } catch (const platform::UrlError& error) {
    return error.code();
  }
  return Code::unknown;
}

std::size_t statusBytes(const std::string& field) {  // "VmRSS:" and the like, from /proc/self/status
  std::ifstream status("/proc/self/status");
  std::string word;
  while (status >> word && word != field) status.ignore(1 << 16, '\n');
  return std::stoul((status >> word, word)) * 1024;
}

// Limits the process's address space to what it uses now and `margin` more.
bool limitAddressSpace(std::size_t margin) {
  const rlim_t size = statusBytes("VmSize:") + margin;
  const rlimit limit{size, size};
  return ::setrlimit(RLIMIT_AS, &limit) == 0;
}

// Why no address-space limit can hold in this build, or null.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr const char* noAddressSpaceLimit = "a sanitizer maps terabytes of shadow memory";
#else
constexpr const char* noAddressSpaceLimit = nullptr;
#endif

TEST(WebRequestTest, RequestsCarryTheAddressEncodedOnceOrAsGivenAndTheBodiesMethodsAndFieldsAsked) {
  testsupport::LoopbackHttpServer server;
  const std::pair<std::string, std::string> cases[] = {{"/a b", "/a%20b"},
                                                       {"/a%20b", "/a%2520b"},
                                                       {"/a#b", "/a%23b"},
                                                       {"/\xC3\xA9?q=\xC3\xA9", "/%C3%A9?q=%C3%A9"}};
  for (const auto& [path, target] : cases) {
    WebRequest::getAsync(server.url(path)).get();
    EXPECT_EQ(server.requests().back().target, target);
  }
  WebRequest::getUnencodedAsync(server.url("/a%20b")).get();
  EXPECT_EQ(server.requests().back().target, "/a%20b");
  const auto prepared = Bexlan::WebRequestForm::prepare(Bexlan::WebRequestForm::Kind::get, server.url());
  EXPECT_EQ(std::tuple(prepared->request.timeoutInterval(), prepared->request.cachePolicy()),
            std::tuple(10.0, platform::UrlRequest::CachePolicy::reloadIgnoringLocalAndRemoteCacheData));
  WebRequest::postAsync(server.url(), std::nullopt).get();
  WebRequest::postAsync(server.url(), "").get();
  WebRequest::postWithHeadersAsync(server.url(), "a=1", {{"Content-Type", "text/plain"}}).get();
  WebRequest::postWithHeadersAsync(server.url(), std::nullopt, {{"Content-Type", "text/plain"}}).get();
  WebRequest::requestAsync("get", server.url(), {{"X-One", "1"}}).get();
  WebRequest::putAsync(server.url(), {}).get();
  const auto all = server.requests();
  const std::vector seen(all.end() - 6, all.end());
  EXPECT_EQ(std::tuple(seen[0].method, seen[0].header("Content-Type")), std::tuple("POST", std::nullopt));
  EXPECT_EQ(std::tuple(seen[1].header("Content-Type"), seen[1].header("Content-Length")),
            std::tuple("application/x-www-form-urlencoded", "0"));
  EXPECT_EQ(std::tuple(seen[2].header("Content-Type"), seen[2].body),
            std::tuple("application/x-www-form-urlencoded,text/plain", "a=1"));
  EXPECT_EQ(seen[3].header("Content-Type"), "text/plain");
  EXPECT_EQ(std::tuple(seen[4].method, seen[4].header("X-One"), seen[5].method),
            std::tuple("get", "1", "PUT"));
  // The shared session keeps its connection; every ephemeral call opens a new one of its own.
  EXPECT_EQ(seen[0].connection, seen[3].connection);
  EXPECT_TRUE(seen[3].connection < seen[4].connection && seen[4].connection < seen[5].connection);
}

TEST(WebRequestTest, BadAddressesCompleteBeforeTheCallReturns) {
  for (const std::string bad : {"", "\xFF", "http://[::1"}) {
    int calls = 0;
    auto nothing = [&](auto... parts) { calls += (!parts && ...); };
    WebRequest::ping(bad, 1, [&](auto outcome) {
      calls += std::get<platform::UrlError>(outcome).code() == Code::unsupportedURL;
    });
    WebRequest::checkStatus(bad, 1, [&](bool ok) { calls += !ok; });
    WebRequest::get(bad, {}, nothing);
    WebRequest::getWithoutHeaders(bad, nothing);
    WebRequest::getUnencoded(bad == "" ? "a b" : bad, nothing);
    WebRequest::postWithHeaders(bad, "x", {}, nothing);
    EXPECT_EQ(calls, 6) << bad;
    EXPECT_EQ(failureOf(WebRequest::pingAsync(bad, 1)), Code::unsupportedURL);
    EXPECT_EQ(failureOf(WebRequest::getAsync(bad)), Code::unsupportedURL);
    EXPECT_EQ(failureOf(WebRequest::deleteAsync(bad, {})), Code::unsupportedURL);
    EXPECT_EQ(failureOf(WebRequest::postAsync(bad, "")), Code::unsupportedURL);
  }
}

TEST(WebRequestTest, StatusesThroughPingStatusCheckAndGet) {
  testsupport::LoopbackHttpServer server(
      [](const auto& request) { return Reply(std::stoi(request.target.substr(1)), "body"); });
  for (int status : {200, 299, 300, 304, 404, 500}) {
    const std::string url = server.url("/" + std::to_string(status));
    EXPECT_EQ(WebRequest::pingAsync(url, 5).get().isSuccess, status < 300) << status;
    std::promise<bool> checked;
    WebRequest::checkStatus(url, 5, once(checked));
    std::promise<WebRequest::PingOutcome> pinged;
    WebRequest::ping(url, 5, once(pinged));
    const PingResult ping = std::get<PingResult>(pinged.get_future().get());
    EXPECT_EQ(std::tuple(checked.get_future().get(), ping.isSuccess), std::tuple(status < 300, status < 300));
    EXPECT_GT(ping.responseTime, 0);
    const auto answer = WebRequest::getAsync(url).get();
    EXPECT_EQ(answer.response.statusCode, status);
    EXPECT_EQ(std::string(answer.data.begin(), answer.data.end()), status == 304 ? "" : "body");
  }
  EXPECT_EQ(server.requests().front().method, "HEAD");
  const auto session = platform::UrlSession::makeEphemeral();
  const auto parsed = [&](const std::string& path) { return *platform::Url::parse(server.url(path)); };
  EXPECT_EQ(Bexlan::URLSession::data(*session, parsed("/204")).get().response.statusCode, 204);
  // A transform that throws fails its future instead of the loader thread.
  auto thrown = Bexlan::URLSession::data<int>(*session, platform::UrlRequest(parsed("/200")),
                                              [](auto&&) -> int { throw std::range_error("transform"); });
  EXPECT_THROW(thrown.get(), std::range_error);
  const auto neither = Bexlan::URLSession::result(std::nullopt, std::nullopt, std::nullopt);
  EXPECT_EQ(std::get<platform::UrlError>(neither).code(), Code::badServerResponse);
}

TEST(WebRequestTest, FailuresArriveAsErrorsAlone) {
  testsupport::LoopbackHttpServer server([](const auto& request) {
    if (request.target == "/silent") return Reply(200, "", Reply::Action::silence);
    if (request.target == "/cut") return Reply(200, "partial", Reply::Action::closeMidBody);
    if (request.target == "/cut-header") return Reply{.raw = "HTTP/1.1 200 OK\r\nX-Field: 1\r\n"};
    if (request.target == "/long-field") return Reply{.headers = {{"X-Long", std::string(200 << 10, 'a')}}};
    if (request.target == "/many-fields") return Reply{.headers = {400, {"X-Many", std::string(1000, 'b')}}};
    return Reply(302, "", Reply::Action::respond, 0, {{"Location", "file:///etc/hostname"}});
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(failureOf(WebRequest::pingAsync(server.url("/silent"), 2)), Code::timedOut);
  const std::chrono::duration<double> waited = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(waited.count() >= 2 && waited.count() < 4) << waited.count();
  std::promise<bool> cutAlone;  // a second call throws on its thread and ends the run
  WebRequest::get(server.url("/cut"), {}, [&](auto body, auto response, auto error) {
    cutAlone.set_value(!body && !response && error && error->code() == Code::networkConnectionLost);
  });
  EXPECT_TRUE(cutAlone.get_future().get());
  EXPECT_EQ(failureOf(WebRequest::getAsync(server.url("/cut-header"))), Code::networkConnectionLost);
  EXPECT_EQ(failureOf(WebRequest::getAsync(server.url("/redirect"))), Code::unsupportedURL);
  EXPECT_EQ(failureOf(WebRequest::getAsync(server.url("/long-field"))), Code::badServerResponse);
  EXPECT_EQ(failureOf(WebRequest::getAsync(server.url("/many-fields"))), Code::badServerResponse);
  EXPECT_EQ(failureOf(WebRequest::getAsync(testsupport::SelfSignedTlsServer().url())),
            Code::serverCertificateUntrusted);
  const std::string closed = testsupport::LoopbackHttpServer().url();
  EXPECT_EQ(failureOf(WebRequest::getAsync(closed)), Code::cannotConnectToHost);
}

TEST(WebRequestTest, TheHeaderLimitHoldsForEachResponseOfARedirectChainOnItsOwn) {
  const testsupport::Fields fields(100, {"X-Many", std::string(1024, 'b')});  // 101 KiB per response
  testsupport::LoopbackHttpServer server([&](const auto& request) {
    if (request.target == "/second") return Reply{.headers = fields};
    Reply redirect{.status = 302, .headers = fields};
    redirect.headers.emplace_back("Location", "/second");
    return redirect;
  });
  const auto answer = WebRequest::getAsync(server.url("/first")).get();
  EXPECT_EQ(std::tuple(answer.response.statusCode, answer.response.headerFields.size()),
            std::tuple(200, 101u));
  EXPECT_EQ(server.requests().back().target, "/second");
}

// "/R/K": R responses with K KiB of fields each, the last a 200, the others redirects to the next; with
// "/R/K/HTTP" every 32nd field line begins with "HTTP/".
TEST(WebRequestTest, HeadersPastTheWholeChainsLimitAreABadResponseAndOnlyFirstLinesAreStatusLines) {
  testsupport::LoopbackHttpServer server([](const auto& request) {
    int left = 0, kib = 0;
    std::sscanf(request.target.c_str(), "/%d/%d", &left, &kib);
    const bool statusLike = request.target.ends_with("/HTTP");
    Reply reply{.status = left > 1 ? 302 : 200};
    for (int i = 0; i < kib; ++i)  // lines of 1 KiB each
      reply.headers.emplace_back(statusLike && i % 32 == 1 ? "HTTP/1.1 200 OK" : "X-Many",
                                 std::string(1014, 'b'));
    if (left > 1)
      reply.headers.emplace_back("Location", "/" + std::to_string(left - 1) + "/" + std::to_string(kib));
    return reply;
  });
  // libcurl takes 300 KiB of headers for the whole chain: three responses of 101 KiB or 17 of 18 KiB are too
  // much, as is one response of 256 KiB, however its lines begin.
  for (const char* path : {"/3/101", "/17/18", "/1/256/HTTP"})
    EXPECT_EQ(failureOf(WebRequest::getAsync(server.url(path))), Code::badServerResponse) << path;
  const auto fields = WebRequest::getAsync(server.url("/1/2/HTTP")).get().response.headerFields;
  ASSERT_EQ(fields.size(), 3u);
  EXPECT_EQ(std::tuple(fields[0].first, fields[1].first, fields[2].first),
            std::tuple("Content-Length", "X-Many", "HTTP/1.1 200 OK"));
}

// After a final answer's header only its chunked body's trailer comes, however its lines begin; a redirect's
// trailer, or its header that the connection cut short, ends where libcurl follows the redirect and the next
// answer begins with its own fields alone. A trailer line libcurl refuses is the server's fault.
TEST(WebRequestTest, TrailerLinesBeginNoAnswer) {
  const std::string chunked = "Transfer-Encoding: chunked\r\n\r\n2\r\nhi\r\n0\r\n";
  const std::string redirect = "HTTP/1.1 302 Found\r\nLocation: /final\r\n";
  const std::map<std::string, std::string> raw = {
      {"/trailer", "HTTP/1.1 200 OK\r\nX-Field: 1\r\n" + chunked + "HTTP/1.1 200 OK: x\r\n\r\n"},
      {"/redirect", redirect + chunked + "X-Trailer: 1\r\n\r\n"},
      {"/cut-redirect", redirect + "X-Redirect: 1\r\n"},
      {"/cut-redirect-length", redirect + "Content-Length: 0\r\n"},
      {"/status-trailer", "HTTP/1.1 200 OK\r\n" + chunked + "HTTP/1.1 200 OK\r\n\r\n"}};
  testsupport::LoopbackHttpServer server([&](const auto& request) {
    if (request.target == "/final") return Reply{.headers = {{"X-Final", "1"}}};
    return Reply{.raw = raw.at(request.target)};
  });
  const auto names = [&](const char* path) {
    std::vector<std::string> fields;
    for (const auto& field : WebRequest::getAsync(server.url(path)).get().response.headerFields)
      fields.push_back(field.first);
    return fields;
  };
  EXPECT_EQ(names("/trailer"), (std::vector<std::string>{"X-Field", "Transfer-Encoding", "HTTP/1.1 200 OK"}));
  for (const char* path : {"/redirect", "/cut-redirect", "/cut-redirect-length"})
    EXPECT_EQ(names(path), (std::vector<std::string>{"Content-Length", "X-Final"})) << path;
  EXPECT_EQ(failureOf(WebRequest::getAsync(server.url("/status-trailer"))), Code::badServerResponse);
}

TEST(WebRequestTest, FilesConcurrencyAndCallbackThreads) {
  const volumetest::TemporaryDirectory directory;
  const std::string file = directory.path() + "/ping";
  std::ofstream(file) << "x";
  EXPECT_FALSE(WebRequest::pingAsync("file://" + file, 2).get().isSuccess);
  EXPECT_EQ(failureOf(WebRequest::getAsync("file://" + file + "-missing")), Code::fileDoesNotExist);

  testsupport::LoopbackHttpServer server(
      [](const auto&) { return Reply(200, "hi", Reply::Action::respond, 0.2); });
  std::vector<std::future<WebRequest::DataAndResponse>> answers;
  for (int i = 0; i < 20; ++i) answers.push_back(WebRequest::getAsync(server.url("/" + std::to_string(i))));
  for (auto& answer : answers) EXPECT_EQ(answer.get().data.size(), 2u);
  std::promise<std::thread::id> got;
  WebRequest::get(server.url(), {}, [&](auto body, auto...) {
    got.set_value(body ? std::this_thread::get_id() : std::thread::id());
  });
  const std::thread::id thread = got.get_future().get();
  EXPECT_NE(thread, std::thread::id());
  EXPECT_NE(thread, std::this_thread::get_id());
}

TEST(WebRequestTest, BodiesStopAtTheLimitAndMoveWholeToTheirHandlers) {
  if (!(std::ofstream("/proc/self/clear_refs") << "5")) GTEST_SKIP() << "cannot reset the peak resident size";
  testsupport::LoopbackHttpServer server([](const auto& request) {  // "/N": N zero bytes, "/gzip/N" gzipped
    const bool gzip = request.target.starts_with("/gzip");
    return Reply{
        .headers = {{"Content-Encoding", gzip ? "gzip" : "identity"}},
        .command = "head -c" + request.target.substr(gzip ? 6 : 1) + " /dev/zero" + (gzip ? "|gzip" : "")};
  });
  const std::size_t limit = platform::UrlRequest::largestBody;
  using Answer = std::variant<std::size_t, Code>;
  // At the limit, one past it, an endless body (four times it), and 1 GiB of zeros in about 1 MB of gzip.
  for (const std::size_t size : {limit, limit + 1, 4 * limit, std::size_t(1) << 30}) {
    const std::string url = server.url((size >> 30 ? "/gzip/" : "/") + std::to_string(size));
    const std::size_t before = (std::ofstream("/proc/self/clear_refs") << "5", statusBytes("VmRSS:"));
    std::promise<Answer> answer;  // on the global queue, where the body must be moved on, never copied
    WebRequest::getWithoutHeaders(
        url, [&](auto body, auto error) { answer.set_value(body ? Answer(body->size()) : error->code()); });
    EXPECT_EQ(answer.get_future().get(), size == limit ? Answer(limit) : Code::dataLengthExceedsMaximum);
    EXPECT_LT(std::max(statusBytes("VmHWM:"), before) - before, limit * 3 / 2) << size;
  }
}

// Bodies take memory as they grow: under an address-space limit, downloads that fit complete, and one that
// does not fit fails on its own while the process goes on.
TEST(WebRequestTest, BodiesGrowWithinAnAddressSpaceLimit) {
  if (noAddressSpaceLimit) GTEST_SKIP() << noAddressSpaceLimit;
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a new process, with a loader thread of its own
  const auto limitedRun = [] {
    testsupport::LoopbackHttpServer server([](const auto& request) {  // "/N": N zero bytes
      return Reply{.command = "head -c" + request.target.substr(1) + " /dev/zero"};
    });
    const auto fetch = [&](int count, std::size_t size) {  // how many came whole, or the code of a failure
      std::vector<std::future<WebRequest::DataAndResponse>> answers;
      for (int i = 0; i < count; ++i)
        answers.push_back(WebRequest::getAsync(server.url("/" + std::to_string(size))));
      int whole = 0;
      for (auto& answer : answers) {
        try {
          whole += answer.get().data.size() == size;
        } catch (const platform::UrlError& error) {
          return int(error.code());
        }
      }
      return whole;
    };
    const std::size_t body = 2 << 20;
    // The loader thread, the server's threads and their allocation arenas exist before the limit is set.
    if (fetch(8, body) != 8 || !limitAddressSpace(300 << 20)) std::_Exit(1);
    if (fetch(8, body) != 8) std::_Exit(2);
    if (!limitAddressSpace(32 << 20) || fetch(1, platform::UrlRequest::largestBody) != int(Code::unknown))
      std::_Exit(3);
    std::_Exit(fetch(1, body) == 1 ? 0 : 4);
  };
  EXPECT_EXIT(limitedRun(), ::testing::ExitedWithCode(0), "");
}

// A small body takes small room: under an address-space limit of 8 MiB more than the process uses, 40 slow
// downloads of 20 bytes each complete.
TEST(WebRequestTest, SmallBodiesTakeSmallRoom) {
  if (noAddressSpaceLimit) GTEST_SKIP() << noAddressSpaceLimit;
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto limitedRun = [] {
    constexpr int count = 40;
    std::latch arrived(count), released(1);
    testsupport::LoopbackHttpServer server([&](const auto& request) {
      if (request.target == "/slow") {
        arrived.count_down();
        released.wait();
      }
      return Reply(200, std::string(20, 'x'));
    });
    WebRequest::getAsync(server.url()).get();  // the loader thread and its allocation arena
    std::vector<std::future<WebRequest::DataAndResponse>> answers;
    for (int i = 0; i < count; ++i) answers.push_back(WebRequest::getAsync(server.url("/slow")));
    arrived.wait();  // every connection and its server thread exist: only the answers are to come
    if (!limitAddressSpace(8 << 20)) std::_Exit(1);
    released.count_down();
    int whole = 0;
    for (auto& answer : answers) whole += answer.get().data.size() == 20;  // a failure ends the run
    std::_Exit(whole == count ? 0 : 2);
  };
  EXPECT_EXIT(limitedRun(), ::testing::ExitedWithCode(0), "");
}

// A program may return from main while transfers run: its end, at any stage of 20 transfers, never crashes.
TEST(WebRequestTest, AProgramEndsWithTransfersInFlight) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (int run = 0; run < 150; ++run) {
    const auto endWhileLoading = [run] {
      testsupport::LoopbackHttpServer server(
          [](const auto&) { return Reply(200, std::string(100 << 10, 'x'), Reply::Action::respond, 0.002); });
      std::vector<std::future<WebRequest::DataAndResponse>> answers;
      for (int i = 0; i < 20; ++i) answers.push_back(WebRequest::getAsync(server.url()));
      std::this_thread::sleep_for(std::chrono::microseconds(run % 15 * 500));
      std::exit(0);  // as a return from main: static objects are destroyed, threads keep running
    };
    EXPECT_EXIT(endWhileLoading(), ::testing::ExitedWithCode(0), "") << run;
  }
}

}  // namespace
