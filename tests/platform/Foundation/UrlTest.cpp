#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "Platform/Foundation/PercentEncoding.hpp"
#include "Platform/Foundation/UrlBodyBuffer.hpp"
#include "Platform/Foundation/UrlRequest.hpp"

namespace {

using platform::Url;

// "scheme|host", "-" for an absent part.
std::string parts(const Url& url) {
  auto text = [](const auto& part) { return part ? std::string(*part) : std::string("-"); };
  return text(url.scheme()) + "|" + text(url.host());
}

TEST(UrlTest, ParsesReferencesAndRefusesWhatTheGrammarDoesNot) {
  const std::pair<const char*, const char*> valid[] = {
      {"https://user@Host.example:8080/a/b?x=1&y#f", "https|Host.example"},
      {"http://[::1]:80/", "http|[::1]"},
      {"file:///tmp/a%20b", "file|"},
      {"mailto:a@b", "mailto|-"},
      {"a/b:c?q#", "-|-"},
      {"http://h:/", "http|h"}};
  for (const auto& [text, expected] : valid) {
    const std::optional<Url> url = Url::parse(text);
    ASSERT_TRUE(url) << text;
    EXPECT_EQ(parts(*url), expected);
    EXPECT_EQ(url->absoluteString(), text);
  }
  for (const char* text :
       {"", "http://a b/", "http://h/%2", "http://h/%zz", "http://h/\xC3\xA9", "a:b#c#d", "1a:b",
        "http://h:65536/", "http://h:8x/", "http://[zz]/", "http://h/[x]", "<a>", "http://a:b:c/"}) {
    EXPECT_FALSE(Url::parse(text)) << text;
  }
}

TEST(UrlTest, QueryAndSegmentEncodingAndRequestFields) {
  using platform::AllowedCharacters;
  EXPECT_EQ(platform::addingPercentEncoding("a b%#[]/?:@!$&'()*+,;=~_.-\xC3\xA9",
                                            AllowedCharacters::urlQueryAllowed()),
            "a%20b%25%23%5B%5D/?:@!$&'()*+,;=~_.-%C3%A9");
  EXPECT_EQ(platform::addingPercentEncoding("../x?y=#z", AllowedCharacters::urlPathSegmentAllowed()),
            "..%2Fx%3Fy=%23z");
  EXPECT_EQ(platform::addingPercentEncoding("\xC3", AllowedCharacters::urlQueryAllowed()), std::nullopt);

  platform::UrlRequest request(*Url::parse("http://h/"));
  request.addValue("a", "X-Field");
  request.addValue("b", "x-field");
  request.setValue("c", "Other");
  EXPECT_EQ(request.value("X-FIELD"), "a,b");
  request.setValue("d", "x-Field");
  request.setValue(std::nullopt, "other");
  EXPECT_EQ(request.allHttpHeaderFields(), (std::vector<platform::UrlRequest::Field>{{"X-Field", "d"}}));
  EXPECT_THROW(request.addValue("v\r\nInjected: 1", "X"), std::invalid_argument);
  EXPECT_THROW(request.setValue("v", "Bad Name"), std::invalid_argument);
  EXPECT_THROW(request.setHttpMethod("GET / HTTP/1.1\r\nX: 1"), std::invalid_argument);
}

std::size_t addressSpace() {
  std::size_t pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  return pages * std::size_t(::getpagesize());
}

TEST(UrlBodyBufferTest, RoomGrowsWithTheBodyAndBytesSurviveEverySeam) {
  // Small bodies take small room: 128 of 20 bytes add far less than a mapped piece each.
  const std::size_t before = addressSpace();
  std::vector<platform::UrlBodyBuffer> small(128);
  for (auto& buffer : small) ASSERT_TRUE(buffer.append("twenty bytes of body", 20));
  EXPECT_LT(addressSpace(), before + (std::size_t(32) << 20));

  // Bodies of one small append, appends that end inside, at and past 1 MiB, a first append longer than
  // that, 16 KiB appends past 2 MiB: each comes back whole.
  constexpr std::size_t mib = std::size_t(1) << 20;
  const std::vector<std::vector<std::size_t>> cases = {
      {20}, {mib}, {mib, 1}, {1000, mib, mib - 1000, 7}, {3 * mib + 5}, std::vector<std::size_t>(160, 16384)};
  for (const auto& lengths : cases) {
    platform::UrlBodyBuffer buffer;
    std::string expected;
    for (const std::size_t length : lengths) {
      // 251 does not divide 1 MiB: a byte put at the wrong place in a piece shows.
      for (std::size_t i = 0; i < length; ++i) expected += char(expected.size() % 251);
      ASSERT_TRUE(buffer.append(expected.data() + expected.size() - length, length));
    }
    const auto body = buffer.take();
    ASSERT_TRUE(body) << lengths.size();
    EXPECT_TRUE(std::string(body->begin(), body->end()) == expected) << lengths.size() << " " << lengths[0];
    EXPECT_EQ(buffer.size(), 0u);
  }
}

}  // namespace
