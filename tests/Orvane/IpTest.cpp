#include <gtest/gtest.h>

#include "Orvane/DecodingError.hpp"
#include "Orvane/IPInfo.hpp"
#include "Orvane/Ip.hpp"
#include "Platform/Foundation/UrlError.hpp"
#include "tests/support/Completions.hpp"
#include "tests/support/LoopbackHttpServer.hpp"

namespace {

using Orvane::Ip;
using testsupport::Reply;

// One loopback server plays both services: "/" echoes `echo`, "/api/lookup/..." answers `geolocation`.
struct Services {
  Services(std::string echo, std::string geolocation)
      : server([echo, geolocation](const testsupport::ReceivedRequest& request) {
          return Reply(200, request.target == "/" ? echo : geolocation);
        }) {
    Ip::setEchoAddress(server.url("/"));
    Ip::setGeolocationAddress(server.url(""));
  }
  testsupport::LoopbackHttpServer server;
};

struct Expected { std::optional<std::string> ip, countryCode; };

Expected bothForms(const std::string& echo, const std::string& geolocation) {
  Services services(echo, geolocation);
  const auto record = Ip::lookup("Velmora", "1.0").get();
  testsupport::Completions<std::shared_ptr<Orvane::ExternalIp>> done;
  Ip::lookupWithCompletion("Velmora", "1.0", std::ref(done));
  EXPECT_EQ(done.first()->ip(), record->ip());
  EXPECT_EQ(done.first()->countryCode(), record->countryCode());
  EXPECT_EQ(done.count(), 1);
  for (const auto& request : services.server.requests()) {
    EXPECT_TRUE(request.target != "/" || request.header("User-Agent") == "Velmora/1.0");
  }
  return {record->ip(), record->countryCode()};
}

TEST(IpTest, AddressAndCountryFromBothServices) {
  const char* germany = R"({"ip": "198.51.100.1", "country_code": "DE", "country": "Germany"})";
  struct Case { std::string echo, geolocation; Expected expected; };
  const Case cases[] = {{" 203.0.113.7\n", germany, {"203.0.113.7", "DE"}},
                        {"203.0.113.7", R"({"ip": "203.0.113.7"})", {"203.0.113.7", {}}},
                        {"203.0.113.7", R"({"country_code": null})", {"203.0.113.7", {}}},
                        {"203.0.113.7", R"({"country_code": 49})", {"203.0.113.7", {}}},
                        {"203.0.113.7", R"({"country_code": "DE", "country": 5})", {"203.0.113.7", {}}},
                        {"203.0.113.7", "not json", {"203.0.113.7", {}}},
                        {"", germany, {"", "DE"}},
                        {std::string(100, '7'), germany, {std::string(64, '7'), "DE"}},
                        {"\xFF\xFE", germany, {{}, {}}}};
  for (const Case& c : cases) {
    const Expected found = bothForms(c.echo, c.geolocation);
    EXPECT_EQ(found.ip, c.expected.ip) << c.echo;
    EXPECT_EQ(found.countryCode, c.expected.countryCode) << c.echo;
  }
}

TEST(IpTest, TheEchoBecomesOneSegmentOfTheGeolocationPath) {
  for (const std::string echo : {" 203.0.113.7\n", "../x?y=#z", "..", ""}) {
    Services services(echo, "{}");
    Ip::lookupWithUserAgent("agent").get();
    const auto requests = services.server.requests();
    ASSERT_EQ(requests.size(), 2u) << echo;
    const std::string target = requests[1].target;
    ASSERT_TRUE(target.starts_with("/api/lookup/")) << target;
    EXPECT_EQ(target.find_first_of("/?#", 12), std::string::npos) << target;
    EXPECT_NE(target.substr(12), "..");
    EXPECT_TRUE(!echo.starts_with(' ') || target == "/api/lookup/203.0.113.7") << target;
  }
  Services services("\xFF", "{}");
  Ip::lookupWithUserAgent("agent").get();
  EXPECT_EQ(services.server.requests().size(), 1u);
}

TEST(IpTest, FailedRequests) {
  std::string closed;
  {
    testsupport::LoopbackHttpServer server;
    closed = server.url("/");
  }
  Services services("203.0.113.7", "{}");
  Ip::setGeolocationAddress(closed);
  const auto record = Ip::lookupWithUserAgent("agent").get();
  EXPECT_EQ(record->ip(), "203.0.113.7");
  EXPECT_EQ(record->countryCode(), std::nullopt);
  Ip::setEchoAddress(closed);
  EXPECT_THROW(Ip::lookupWithUserAgent("agent").get(), platform::UrlError);
  for (const std::string& echo : {closed, std::string("not a url")}) {
    Ip::setEchoAddress(echo);
    testsupport::Completions<std::shared_ptr<Orvane::ExternalIp>> done;
    Ip::lookupWithUserAgent("agent", std::ref(done));
    EXPECT_EQ(done.first()->ip(), std::nullopt);
    EXPECT_EQ(done.count(), 1);
  }
}

TEST(IPInfoTest, CodingKeysAndEncoding) {
  const Orvane::IPInfo info{"203.0.113.7", "DE", std::nullopt};
  EXPECT_EQ(info.encode(), nlohmann::json::parse(R"({"ip": "203.0.113.7", "country_code": "DE"})"));
  EXPECT_EQ(Orvane::IPInfo::decode(info.encode()), info);
  EXPECT_EQ(Orvane::IPInfo::codingKey("country"), Orvane::IPInfo::CodingKeys::countryName);
  EXPECT_EQ(Orvane::IPInfo::codingKey("countryName"), std::nullopt);
  EXPECT_THROW(Orvane::IPInfo::decode(nlohmann::json::array()), Orvane::DecodingError);
}

}  // namespace
