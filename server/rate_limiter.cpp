// Token buckets keyed by the client's address.
#include "server/rate_limiter.h"

#include <algorithm>

namespace {

constexpr auto SweepInterval = std::chrono::seconds(60);

}  // namespace

bool RateLimiter::Allow(const std::string& address, Clock::time_point now) {
  if (perMinute_ == 0) return true;
  const double perSecond = perMinute_ / 60.0;
  const std::string key = ClientKey(address);
  std::lock_guard lock(mutex_);
  if (now - lastSweep_ >= SweepInterval) ForgetFullBuckets(now);
  auto [entry, added] = buckets_.try_emplace(key, Bucket{double(perMinute_), now});
  Bucket& bucket = entry->second;
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

void RateLimiter::ForgetFullBuckets(Clock::time_point now) {
  lastSweep_ = now;
  const double perSecond = perMinute_ / 60.0;
  std::erase_if(buckets_, [&](const auto& item) {
    const double elapsed = std::chrono::duration<double>(now - item.second.updated).count();
    return item.second.tokens + elapsed * perSecond >= perMinute_;
  });
}
