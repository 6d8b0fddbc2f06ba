// A loopback GET through WebRequest::getAsync (request building, the loader thread, a new connection per
// call as its ephemeral session wants) against a bare libcurl easy request to the same server with a fresh
// connection, measured in the same run.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include "Bexlan/WebRequest.hpp"
#include "tests/support/LoopbackHttpServer.hpp"

namespace {

testsupport::LoopbackHttpServer& server() {
  static testsupport::LoopbackHttpServer* shared = new testsupport::LoopbackHttpServer(
      [](const auto&) { return testsupport::Reply(200, "203.0.113.7\n"); });
  return *shared;
}

void GetAsync(benchmark::State& state) {
  const std::string url = server().url("/");
  for (auto _ : state) {
    auto answer = Bexlan::WebRequest::getAsync(url).get();
    benchmark::DoNotOptimize(answer.data.data());
  }
}

size_t keep(char* data, size_t size, size_t count, void* body) {
  static_cast<std::string*>(body)->append(data, size * count);
  return size * count;
}

void BareCurl(benchmark::State& state) {
  const std::string url = server().url("/");
  curl_global_init(CURL_GLOBAL_DEFAULT);
  for (auto _ : state) {
    std::string body;
    CURL* easy = curl_easy_init();
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &keep);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
    if (curl_easy_perform(easy) != CURLE_OK) state.SkipWithError("curl");
    curl_easy_cleanup(easy);
    benchmark::DoNotOptimize(body.data());
  }
}

BENCHMARK(GetAsync)->UseRealTime();
BENCHMARK(BareCurl)->UseRealTime();

}  // namespace
