#include <gtest/gtest.h>

#include "Orvane/Ip.hpp"
#include "Platform/Foundation/UrlError.hpp"
#include "tests/support/LoopbackHttpServer.hpp"

namespace {

using Orvane::Ip;
using Record = std::shared_ptr<Orvane::ExternalIp>;
using Found = std::pair<std::optional<std::string>, std::optional<std::string>>;  // address, country code

Found found(const Record& record) { return {record->ip(), record->countryCode()}; }

// One loopback server plays both services: "/" echoes `echo`, "/api/lookup/..." answers `geolocation`.
struct Services {
  Services(std::string echo, std::string geolocation)
      : server([echo, geolocation](const auto& request) {
          return testsupport::Reply(200, request.target == "/" ? echo : geolocation);
        }) {
    Ip::setEchoAddress(server.url("/"));
    Ip::setGeolocationAddress(server.url(""));
  }
  testsupport::LoopbackHttpServer server;
};

TEST(IpTest, AddressAndCountryThroughBothForms) {
  const std::string germany = R"({"ip": "198.51.100.1", "country_code": "DE", "country": "Germany"})";
  const std::tuple<std::string, std::string, Found> cases[] = {
      {" 203.0.113.7\n", germany, {"203.0.113.7", "DE"}},
      {"\u00A0\u3000203.0.113.7\u2028\t", germany, {"203.0.113.7", "DE"}},
      {"203.0.113.7", R"({"country_code": null})", {"203.0.113.7", {}}},
      {"203.0.113.7", R"({"country_code": 49})", {"203.0.113.7", {}}},
      {"203.0.113.7", R"({"country_code": "DE", "country": 5})", {"203.0.113.7", {}}},
      {"203.0.113.7", "not json", {"203.0.113.7", {}}},
      {"", germany, {"", "DE"}},
      {std::string(100, '7'), germany, {std::string(64, '7'), "DE"}},
      {"\xFF\xFE", germany, {{}, {}}}};
  for (const auto& [echo, geolocation, expected] : cases) {
    Services services(echo, geolocation);
    EXPECT_EQ(found(Ip::lookup("Velmora", "1.0").get()), expected) << echo;
    std::promise<Record> done;  // a second call would throw and end the run
    Ip::lookupWithCompletion("Velmora", "1.0", [&](Record record) { done.set_value(record); });
    EXPECT_EQ(found(done.get_future().get()), expected) << echo;
    for (const auto& request : services.server.requests()) {
      if (request.target == "/") {
        EXPECT_EQ(request.header("User-Agent"), "Velmora/1.0");
      }
    }
  }
}

TEST(IpTest, TheEchoBecomesOneSegmentOfTheGeolocationPath) {
  for (const std::string echo : {" 203.0.113.7\n", "../x?y=#z", "..", "", "\xFF"}) {
    Services services(echo, "{}");
    Ip::lookupWithUserAgent("agent").get();
    const auto requests = services.server.requests();
    ASSERT_EQ(requests.size(), echo == "\xFF" ? 1u : 2u) << echo;  // no address, no second request
    if (requests.size() == 1) continue;
    const std::string target = requests[1].target;
    EXPECT_TRUE(target.starts_with("/api/lookup/") && target.find_first_of("/?#", 12) == std::string::npos)
        << target;
    EXPECT_NE(target.substr(12), "..");
    EXPECT_TRUE(!echo.starts_with(' ') || target == "/api/lookup/203.0.113.7") << target;
  }
}

TEST(IpTest, FailedRequests) {
  const std::string closed = testsupport::LoopbackHttpServer().url();
  Services tooLong(std::string(4097, '7'), "{}");  // an echo past 4 KiB fails as a failed request does
  EXPECT_THROW(Ip::lookupWithUserAgent("agent").get(), platform::UrlError);
  Services services("203.0.113.7", "{}");
  Ip::setGeolocationAddress(closed);
  EXPECT_EQ(found(Ip::lookupWithUserAgent("agent").get()), Found("203.0.113.7", std::nullopt));
  const std::pair<std::string, std::optional<std::string>> echoes[] = {
      {services.server.url("/"), "203.0.113.7"}, {"not a url", std::nullopt}, {closed, std::nullopt}};
  for (const auto& [echo, ip] : echoes) {
    Ip::setEchoAddress(echo);
    std::promise<Record> done;
    Ip::lookupWithUserAgent("agent", [&](Record record) { done.set_value(record); });
    EXPECT_EQ(found(done.get_future().get()), Found(ip, std::nullopt)) << echo;
  }
  EXPECT_THROW(Ip::lookupWithUserAgent("agent").get(), platform::UrlError);
}

}  // namespace
