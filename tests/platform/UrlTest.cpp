#include <gtest/gtest.h>

#include "Platform/Foundation/PercentEncoding.hpp"
#include "Platform/Foundation/Url.hpp"
#include "Platform/Foundation/UrlRequest.hpp"

namespace {

using platform::Url;

TEST(UrlTest, ParsesReferencesAndRefusesWhatTheGrammarDoesNot) {
  struct Case { const char* text; const char* scheme; const char* host; int port; const char* path; const char* query; };
  const Case valid[] = {{"https://user@Host.example:8080/a/b?x=1&y#frag", "https", "Host.example", 8080, "/a/b", "x=1&y"},
                        {"http://[::1]:80/", "http", "[::1]", 80, "/", nullptr},
                        {"file:///tmp/a%20b", "file", "", -1, "/tmp/a%20b", nullptr},
                        {"mailto:a@b", "mailto", nullptr, -1, "a@b", nullptr},
                        {"a/b:c?q", nullptr, nullptr, -1, "a/b:c", "q"},
                        {"http://h:/", "http", "h", -1, "/", nullptr}};
  for (const Case& c : valid) {
    const std::optional<Url> url = Url::parse(c.text);
    ASSERT_TRUE(url) << c.text;
    EXPECT_EQ(url->scheme(), c.scheme ? std::optional<std::string>(c.scheme) : std::nullopt) << c.text;
    EXPECT_EQ(url->host(), c.host ? std::optional<std::string>(c.host) : std::nullopt) << c.text;
    EXPECT_EQ(url->port(), c.port >= 0 ? std::optional<int>(c.port) : std::nullopt) << c.text;
    EXPECT_EQ(url->path(), c.path) << c.text;
    EXPECT_EQ(url->query(), c.query ? std::optional<std::string>(c.query) : std::nullopt) << c.text;
    EXPECT_EQ(url->absoluteString(), c.text);
  }
  for (const char* text : {"", "http://a b/", "http://h/%2", "http://h/%zz", "http://h/\xC3\xA9", "a:b#c#d",
                           "1a:b", "http://h:65536/", "http://h:8x/", "http://[zz]/", "http://h/[x]", "<a>"}) {
    EXPECT_FALSE(Url::parse(text)) << text;
  }
}

TEST(UrlTest, QueryAndSegmentEncodingAndRequestFields) {
  using platform::AllowedCharacters;
  const auto& query = AllowedCharacters::urlQueryAllowed();
  EXPECT_EQ(platform::addingPercentEncoding("a b%#[]/?:@!$&'()*+,;=~_.-\xC3\xA9", query),
            "a%20b%25%23%5B%5D/?:@!$&'()*+,;=~_.-%C3%A9");
  EXPECT_EQ(platform::addingPercentEncoding("../x?y=#z", AllowedCharacters::urlPathSegmentAllowed()), "..%2Fx%3Fy=%23z");
  EXPECT_EQ(platform::addingPercentEncoding("\xC3", query), std::nullopt);

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
}

}  // namespace
