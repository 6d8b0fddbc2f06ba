#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "Bexlan/WebRequest.hpp"
#include "tests/support/Completions.hpp"
#include "tests/support/LoopbackHttpServer.hpp"
#include "tests/support/SelfSignedTlsServer.hpp"

namespace {

using Bexlan::PingResult;
using Bexlan::WebRequest;
using Code = platform::UrlError::Code;
using testsupport::Reply;
using Answer = std::tuple<std::optional<WebRequest::Body>, std::optional<platform::UrlResponse>, std::optional<platform::UrlError>>;

// Replies with the status named by the path ("/404"), 200 otherwise, and the body "body".
Reply statusFromPath(const testsupport::ReceivedRequest& request) {
  Reply reply(200, "body");
  std::sscanf(request.target.c_str(), "/%d", &reply.status);
  return reply;
}

Code failureOf(auto future) {
  try {
    future.get();
  } catch (const platform::UrlError& error) {
    return error.code();
  }
  ADD_FAILURE() << "the request succeeded";
  return Code::unknown;
}

TEST(WebRequestTest, AddressesAreEncodedOnceOrSentAsGiven) {
  testsupport::LoopbackHttpServer server;
  const std::pair<std::string, std::string> cases[] = {
      {"/a b", "/a%20b"}, {"/a%20b", "/a%2520b"}, {"/a#b", "/a%23b"}, {"/\xC3\xA9?q=\xC3\xA9", "/%C3%A9?q=%C3%A9"}};
  for (const auto& [path, target] : cases) {
    WebRequest::getAsync(server.url(path)).get();
    EXPECT_EQ(server.requests().back().target, target);
  }
  WebRequest::getUnencodedAsync(server.url("/a%20b")).get();
  EXPECT_EQ(server.requests().back().target, "/a%20b");
  const auto prepared = Bexlan::WebRequestForm::prepare(Bexlan::WebRequestForm::Kind::get, server.url());
  EXPECT_EQ(prepared->request.timeoutInterval(), 10.0);
  EXPECT_EQ(prepared->request.cachePolicy(), platform::UrlRequest::CachePolicy::reloadIgnoringLocalAndRemoteCacheData);
  EXPECT_TRUE(prepared->session->isEphemeral());
}

TEST(WebRequestTest, BadAddressesCompleteBeforeTheCallReturns) {
  for (const std::string bad : {"", "\xFF", "http://[::1"}) {
    int calls = 0;
    WebRequest::ping(bad, 1, [&](auto outcome) { calls += std::get<platform::UrlError>(outcome).code() == Code::unsupportedURL; });
    WebRequest::checkStatus(bad, 1, [&](bool ok) { calls += !ok; });
    WebRequest::get(bad, {}, [&](auto body, auto response, auto error) { calls += !body && !response && !error; });
    auto bodyAndError = [&](auto body, auto error) { calls += !body && !error; };
    WebRequest::getWithoutHeaders(bad, bodyAndError);
    WebRequest::getUnencoded(bad == "" ? "a b" : bad, bodyAndError);
    WebRequest::post(bad, "x", bodyAndError);
    WebRequest::postWithHeaders(bad, std::nullopt, {}, bodyAndError);
    EXPECT_EQ(calls, 7) << bad;
    EXPECT_EQ(failureOf(WebRequest::pingAsync(bad, 1)), Code::unsupportedURL);
    for (auto* form : {&WebRequest::getAsync, &WebRequest::getUnencodedAsync}) EXPECT_EQ(failureOf(form(bad)), Code::unsupportedURL);
    for (auto* form : {&WebRequest::getWithHeadersAsync, &WebRequest::putAsync, &WebRequest::deleteAsync}) {
      EXPECT_EQ(failureOf(form(bad, {})), Code::unsupportedURL);
    }
    EXPECT_EQ(failureOf(WebRequest::postWithHeadersAsync(bad, "", {})), Code::unsupportedURL);
  }
}

TEST(WebRequestTest, StatusesThroughPingStatusCheckAndGet) {
  testsupport::LoopbackHttpServer server(statusFromPath);
  for (int status : {200, 299, 300, 304, 404, 500}) {
    const std::string url = server.url("/" + std::to_string(status));
    const bool success = status < 300;
    EXPECT_EQ(WebRequest::pingAsync(url, 5).get().isSuccess, success) << status;
    testsupport::Completions<bool> checked;
    WebRequest::checkStatus(url, 5, std::ref(checked));
    EXPECT_EQ(checked.first(), success);
    testsupport::Completions<WebRequest::PingOutcome> pinged;
    WebRequest::ping(url, 5, std::ref(pinged));
    EXPECT_EQ(std::get<PingResult>(pinged.first()).isSuccess, success);
    EXPECT_GT(std::get<PingResult>(pinged.first()).responseTime, 0);
    const auto answer = WebRequest::getAsync(url).get();
    EXPECT_EQ(answer.response.statusCode, status);
    EXPECT_EQ(std::string(answer.data.begin(), answer.data.end()), status == 304 ? "" : "body");
    EXPECT_EQ(checked.count() + pinged.count(), 2);
  }
  EXPECT_EQ(server.requests().front().method, "HEAD");
}

TEST(WebRequestTest, PostBodiesMethodsAndFields) {
  testsupport::LoopbackHttpServer server;
  WebRequest::postAsync(server.url(), std::nullopt).get();
  WebRequest::postAsync(server.url(), "").get();
  WebRequest::postWithHeadersAsync(server.url(), "a=1", {{"Content-Type", "text/plain"}}).get();
  WebRequest::postWithHeadersAsync(server.url(), std::nullopt, {{"Content-Type", "text/plain"}}).get();
  WebRequest::requestAsync("get", server.url(), {{"X-One", "1"}}).get();
  WebRequest::putAsync(server.url(), {}).get();
  const auto seen = server.requests();
  EXPECT_EQ(seen[0].method, "POST");
  EXPECT_EQ(seen[0].header("Content-Type"), std::nullopt);
  EXPECT_EQ(seen[1].header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(seen[1].header("Content-Length"), "0");
  EXPECT_EQ(seen[2].header("Content-Type"), "application/x-www-form-urlencoded,text/plain");
  EXPECT_EQ(seen[2].body, "a=1");
  EXPECT_EQ(seen[3].header("Content-Type"), "text/plain");
  EXPECT_EQ(seen[4].method, "get");
  EXPECT_EQ(seen[4].header("X-One"), "1");
  EXPECT_EQ(seen[5].method, "PUT");
  // The shared session keeps its connection; every ephemeral call opens a new one.
  EXPECT_EQ(seen[0].connection, seen[1].connection);
  EXPECT_NE(seen[4].connection, seen[5].connection);
}

TEST(WebRequestTest, FailuresArriveAsErrorsAlone) {
  testsupport::LoopbackHttpServer server([](const auto& request) {
    if (request.target == "/silent") return Reply(200, "", Reply::Action::silence);
    if (request.target == "/cut") return Reply(200, "partial", Reply::Action::closeMidBody);
    return Reply(302, "", Reply::Action::respond, 0, {{"Location", "file:///etc/hostname"}});
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(failureOf(WebRequest::pingAsync(server.url("/silent"), 2)), Code::timedOut);
  const std::chrono::duration<double> waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited.count(), 2);
  EXPECT_LT(waited.count(), 4);
  testsupport::Completions<Answer> cut;
  WebRequest::get(server.url("/cut"), {}, [&](auto... parts) { cut(Answer(parts...)); });
  const auto [body, response, error] = cut.first();
  EXPECT_FALSE(body || response);
  EXPECT_EQ(error->code(), Code::networkConnectionLost);
  EXPECT_EQ(failureOf(WebRequest::getAsync(server.url("/cut"))), Code::networkConnectionLost);
  EXPECT_EQ(failureOf(WebRequest::getAsync(server.url("/redirect"))), Code::unsupportedURL);

  testsupport::SelfSignedTlsServer tls;
  EXPECT_EQ(failureOf(WebRequest::getAsync(tls.url())), Code::serverCertificateUntrusted);
  std::string closedPort;
  {
    testsupport::LoopbackHttpServer closed;
    closedPort = closed.url();
  }
  EXPECT_EQ(failureOf(WebRequest::getAsync(closedPort)), Code::cannotConnectToHost);
}

TEST(WebRequestTest, FilesConcurrencyAndCallbackThreads) {
  const auto file = std::filesystem::temp_directory_path() / ("velmora-ping-" + std::to_string(::getpid()));
  std::ofstream(file) << "x";
  const PingResult filePing = WebRequest::pingAsync("file://" + file.string(), 2).get();
  EXPECT_FALSE(filePing.isSuccess);
  std::filesystem::remove(file);
  EXPECT_EQ(failureOf(WebRequest::getAsync("file://" + file.string())), Code::fileDoesNotExist);

  testsupport::LoopbackHttpServer server([](const auto&) { return Reply(200, "hi", Reply::Action::respond, 0.2); });
  std::vector<std::future<WebRequest::DataAndResponse>> answers;
  for (int i = 0; i < 20; ++i) answers.push_back(WebRequest::getAsync(server.url("/" + std::to_string(i))));
  for (auto& answer : answers) EXPECT_EQ(answer.get().data.size(), 2u);
  testsupport::Completions<Answer> got;
  WebRequest::get(server.url(), {}, [&](auto... parts) { got(Answer(parts...)); });
  EXPECT_TRUE(std::get<0>(got.first()));
  EXPECT_NE(got.thread(), std::this_thread::get_id());
  EXPECT_EQ(got.count(), 1);
}

}  // namespace
