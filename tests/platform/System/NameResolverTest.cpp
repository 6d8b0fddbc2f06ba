#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netdb.h>

#include "Platform/System/NameResolver.hpp"
#include "Platform/System/Utf8Text.hpp"

namespace {

// The flag values differ between platforms; the callers pass Linux's.
static_assert(NI_NUMERICHOST == 1 && NI_NUMERICSERV == 2);

sockaddr_in address(const char* text, std::uint16_t port) {
  sockaddr_in result{};
  result.sin_family = AF_INET;
  result.sin_port = htons(port);
  ::inet_pton(AF_INET, text, &result.sin_addr);
  return result;
}

// Host names come from /etc/hosts (127.0.0.1 is "localhost" on Debian), services from /etc/services; an
// unknown flag bit makes getnameinfo fail and both texts empty. No row asks a name server.
TEST(NameResolverTest, NamesFromTheHostsAndServicesFilesOrNumeric) {
  const struct {
    const char* address;
    std::uint16_t port;
    int flags;
    const char* host;
    const char* service;
  } cases[] = {{"127.0.0.1", 80, 0, "localhost", "http"},
               {"127.0.0.1", 443, NI_NUMERICHOST | NI_NUMERICSERV, "127.0.0.1", "443"},
               {"127.0.0.1", 80, 0x40000000, "", ""}};
  const auto& resolver = *platform::NameResolver::live();
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.address) + ":" + std::to_string(c.port));
    EXPECT_EQ(resolver.hostName(address(c.address, c.port), c.flags), c.host);
    EXPECT_EQ(resolver.serviceName(address(c.address, c.port), c.flags), c.service);
  }
}

TEST(Utf8TextTest, ValidityAndRepair) {
  using platform::isValidUtf8;
  using platform::repairedUtf8;
  EXPECT_TRUE(isValidUtf8(""));
  EXPECT_TRUE(isValidUtf8("eth0"));
  EXPECT_TRUE(isValidUtf8("caf\xC3\xA9 \xF0\x9F\x93\xB6"));
  EXPECT_FALSE(isValidUtf8("\xC3"));              // cut short
  EXPECT_FALSE(isValidUtf8("\xC0\xAF"));          // overlong "/"
  EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));      // a surrogate
  EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_EQ(repairedUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
  // Each maximal ill-formed part becomes one U+FFFD: "\xE2\x82" is a cut-off three-byte sequence.
  EXPECT_EQ(repairedUtf8("a\xE2\x82z\xFF"), "a\xEF\xBF\xBDz\xEF\xBF\xBD");
  EXPECT_EQ(repairedUtf8(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

}  // namespace
