// The cookies a web server has set during this run of the game, and the Cookie header that hands
// them back to it (version 0 cookies and those of Set-Cookie2 alike).
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Cookies kept at most; the oldest give way. Each cookie's name and value together stay within
// TCookieStore::MaxCookieSize bytes, or it is not kept.
class TCookieStore {
 public:
  using TimePoint = std::chrono::system_clock::time_point;
  static constexpr size_t MaxCookies = 50;
  static constexpr size_t MaxCookieSize = 4096;

  // Keeps the cookies of one "Set-Cookie" or "Set-Cookie2" header value, received for a request
  // to `host` with the path `requestPath` (path and document, no query). A cookie whose domain the
  // host does not belong to is refused; an expired one removes its earlier copy.
  void Store(std::string_view headerName, std::string_view value, std::string_view host,
             std::string_view requestPath, TimePoint now);
  // The Cookie header's value for a request, or an empty text when no cookie matches.
  std::string CookieHeader(std::string_view host, std::string_view requestPath,
                           TimePoint now) const;
  size_t Count() const { return cookies_.size(); }
  void Clear() { cookies_.clear(); }

 private:
  struct Cookie {
    std::string Name;
    std::string Value;
    std::string Domain;  // lower case; with a leading "." unless host-only
    std::string Path;
    bool DomainGiven = false;
    bool PathGiven = false;
    bool Secure = false;
    int Version = 0;
    std::optional<TimePoint> Expires;
  };

  void StoreOne(std::string_view text, bool version2, std::string_view host,
                std::string_view requestPath, TimePoint now);

  std::vector<Cookie> cookies_;  // oldest first
};
