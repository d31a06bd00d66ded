// Token buckets keyed by the client's address.
#include "server/rate_limiter.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr auto SweepInterval = std::chrono::seconds(60);

}  // namespace

std::string ClientKey(const std::string& address) {
  in6_addr v6{};
  if (inet_pton(AF_INET6, address.c_str(), &v6) != 1) return address;
  char text[INET6_ADDRSTRLEN] = {};
  if (IN6_IS_ADDR_V4MAPPED(&v6)) {
    in_addr v4{};
    std::memcpy(&v4, &v6.s6_addr[12], sizeof v4);
    return inet_ntop(AF_INET, &v4, text, sizeof text) ? std::string(text) : address;
  }
  std::memset(&v6.s6_addr[8], 0, 8);
  return inet_ntop(AF_INET6, &v6, text, sizeof text) ? std::string(text) + "/64" : address;
}

bool TRateLimiter::Allow(const std::string& address, TClock::time_point now) {
  if (perMinute_ == 0) return true;
  const double perSecond = perMinute_ / 60.0;
  const std::string key = ClientKey(address);
  std::lock_guard lock(mutex_);
  if (now - lastSweep_ >= SweepInterval) ForgetFullBuckets(now);
  auto [entry, added] = buckets_.try_emplace(key, TBucket{double(perMinute_), now});
  TBucket& bucket = entry->second;
  if (!added) {
    const double elapsed = std::chrono::duration<double>(now - bucket.updated).count();
    bucket.tokens =
        std::min<double>(perMinute_, bucket.tokens + std::max(0.0, elapsed) * perSecond);
    bucket.updated = now;
  }
  if (bucket.tokens < 1.0) return false;
  bucket.tokens -= 1.0;
  return true;
}

void TRateLimiter::ForgetFullBuckets(TClock::time_point now) {
  lastSweep_ = now;
  const double perSecond = perMinute_ / 60.0;
  std::erase_if(buckets_, [&](const auto& item) {
    const double elapsed = std::chrono::duration<double>(now - item.second.updated).count();
    return item.second.tokens + elapsed * perSecond >= perMinute_;
  });
}
