// The per-client allowance: an IPv6 client is its /64, so one subscriber's many addresses share one
// allowance, while every IPv4 address has its own.
#include "server/rate_limiter.h"

#include <gtest/gtest.h>

namespace {

TEST(ClientKey, GroupsIpv6ByItsSlash64AndKeepsIpv4Whole) {
  const struct {
    const char* address;
    const char* key;
  } cases[] = {
      {"192.0.2.7", "192.0.2.7"},
      {"::ffff:192.0.2.7", "192.0.2.7"},
      {"2001:db8:1:2:aaaa:bbbb:cccc:dddd", "2001:db8:1:2::/64"},
      {"2001:DB8:1:2::1", "2001:db8:1:2::/64"},
      {"2001:db8:1:3::1", "2001:db8:1:3::/64"},
      {"::1", "::/64"},
      {"not an address", "not an address"},
  };
  for (const auto& test : cases) EXPECT_EQ(ClientKey(test.address), test.key) << test.address;
}

TEST(RateLimiter, OneSlash64SharesOneAllowance) {
  RateLimiter limiter(2);
  const auto now = RateLimiter::Clock::now();
  EXPECT_TRUE(limiter.Allow("2001:db8:1:2::1", now));
  EXPECT_TRUE(limiter.Allow("2001:db8:1:2::ffff", now));
  EXPECT_FALSE(limiter.Allow("2001:db8:1:2:9:9:9:9", now));
  EXPECT_TRUE(limiter.Allow("2001:db8:1:3::1", now));  // the next network has its own
  EXPECT_TRUE(limiter.Allow("192.0.2.1", now));
  EXPECT_TRUE(limiter.Allow("192.0.2.1", now));
  EXPECT_FALSE(limiter.Allow("::ffff:192.0.2.1", now));
  EXPECT_TRUE(limiter.Allow("192.0.2.2", now));
  // Refilled evenly: one more after half a minute.
  EXPECT_TRUE(limiter.Allow("2001:db8:1:2::1", now + std::chrono::seconds(31)));
}

}  // namespace
