// Parsing Set-Cookie and Set-Cookie2 headers and matching cookies to requests by host and path.
#include "online/cookie_store.h"

#include <algorithm>
#include <cctype>

#include "online/cookie_date.h"

namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::string_view Unquote(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    return text.substr(1, text.size() - 2);
  }
  return text;
}

// Splits at `separator` where it stands outside double quotes.
std::vector<std::string_view> SplitOutsideQuotes(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  bool quoted = false;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') quoted = !quoted;
    if (text[i] == separator && !quoted) {
      parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(text.substr(start));
  return parts;
}

bool IsIpAddress(std::string_view host) {
  return host.find(':') != std::string_view::npos ||
         std::all_of(host.begin(), host.end(),
                     [](char c) { return c == '.' || (c >= '0' && c <= '9'); });
}

// The host belongs to a domain given with its leading dot.
bool DomainMatches(std::string_view host, std::string_view domain) {
  return host == domain.substr(1) ||
         (host.size() > domain.size() && host.substr(host.size() - domain.size()) == domain);
}

bool PathMatches(std::string_view requestPath, std::string_view cookiePath) {
  if (requestPath.substr(0, cookiePath.size()) != cookiePath) return false;
  return requestPath.size() == cookiePath.size() || cookiePath.back() == '/' ||
         requestPath[cookiePath.size()] == '/';
}

// Up to the last "/" but not including it; "/" when that leaves nothing.
std::string DefaultPath(std::string_view requestPath) {
  const size_t slash = requestPath.rfind('/');
  if (slash == std::string_view::npos || slash == 0) return "/";
  return std::string(requestPath.substr(0, slash));
}

// Whole seconds, saturated far beyond any cookie's life.
std::optional<long long> Seconds(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  long long value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = std::min(value * 10 + (c - '0'), 100LL * 365 * 86400);
  }
  return negative ? -value : value;
}

}  // namespace

void TCookieStore::Store(std::string_view headerName, std::string_view value, std::string_view host,
                         std::string_view requestPath, TimePoint now) {
  std::erase_if(cookies_, [now](const Cookie& c) { return c.Expires && *c.Expires <= now; });
  if (Lower(headerName) == "set-cookie2") {
    // Set-Cookie2 lists cookies separated by commas; Set-Cookie holds one cookie, whose Expires
    // date has a comma of its own.
    for (const std::string_view one : SplitOutsideQuotes(value, ',')) {
      StoreOne(one, true, host, requestPath, now);
    }
  } else {
    StoreOne(value, false, host, requestPath, now);
  }
}

void TCookieStore::StoreOne(std::string_view text, bool version2, std::string_view host,
                            std::string_view requestPath, TimePoint now) {
  const std::vector<std::string_view> parts = SplitOutsideQuotes(text, ';');
  const size_t equals = parts[0].find('=');
  if (equals == std::string_view::npos) return;
  Cookie cookie;
  cookie.Name = Trim(parts[0].substr(0, equals));
  cookie.Value = Trim(parts[0].substr(equals + 1));
  if (cookie.Name.empty() || cookie.Name.front() == '$') return;
  if (cookie.Name.size() + cookie.Value.size() > MaxCookieSize) return;
  cookie.Version = version2 ? 1 : 0;

  const std::string lowerHost = Lower(host);
  cookie.Domain = lowerHost;
  cookie.Path = DefaultPath(requestPath);
  std::optional<long long> maxAge;
  for (size_t i = 1; i < parts.size(); ++i) {
    const size_t eq = parts[i].find('=');
    const std::string name = Lower(Trim(parts[i].substr(0, eq)));
    const std::string_view attribute =
        eq == std::string_view::npos ? std::string_view() : Unquote(Trim(parts[i].substr(eq + 1)));
    if (name == "domain" && !attribute.empty()) {
      std::string domain = Lower(attribute);
      if (domain.front() != '.') domain.insert(0, ".");
      // A domain must hold a dot of its own, so that no cookie is set for a whole top-level
      // domain, and the host must belong to it; an address is its own domain only.
      if (domain.substr(1) == lowerHost) continue;
      if (IsIpAddress(lowerHost) || domain.find('.', 1) == std::string::npos ||
          !DomainMatches(lowerHost, domain)) {
        return;
      }
      cookie.Domain = domain;
      cookie.DomainGiven = true;
    } else if (name == "path" && !attribute.empty() && attribute.front() == '/') {
      cookie.Path = attribute;
      cookie.PathGiven = true;
    } else if (name == "max-age") {
      maxAge = Seconds(attribute);
    } else if (name == "expires" && !maxAge) {
      if (const auto date = ParseCookieDate(attribute)) cookie.Expires = *date;
    } else if (name == "version") {
      cookie.Version = std::max(cookie.Version, attribute == "0" ? 0 : 1);
    } else if (name == "secure") {
      cookie.Secure = true;
    }
  }
  if (maxAge) cookie.Expires = now + std::chrono::seconds(*maxAge);

  std::erase_if(cookies_, [&cookie](const Cookie& c) {
    return c.Name == cookie.Name && c.Domain == cookie.Domain && c.Path == cookie.Path;
  });
  if (cookie.Expires && *cookie.Expires <= now) return;
  // This game speaks plain HTTP only, so a cookie meant for secure connections is never sent.
  if (cookie.Secure) return;
  if (cookies_.size() == MaxCookies) cookies_.erase(cookies_.begin());
  cookies_.push_back(std::move(cookie));
}

std::string TCookieStore::CookieHeader(std::string_view host, std::string_view requestPath,
                                       TimePoint now) const {
  const std::string lowerHost = Lower(host);
  std::vector<const Cookie*> matching;
  bool version1 = false;
  for (const Cookie& c : cookies_) {
    if (c.Expires && *c.Expires <= now) continue;
    const bool hostMatches = !c.Domain.empty() && c.Domain.front() == '.'
                                 ? DomainMatches(lowerHost, c.Domain)
                                 : c.Domain == lowerHost;
    if (!hostMatches || !PathMatches(requestPath, c.Path)) continue;
    matching.push_back(&c);
    version1 = version1 || c.Version > 0;
  }
  // The more specific path first, as the server reads the first cookie of a name.
  std::stable_sort(matching.begin(), matching.end(), [](const Cookie* a, const Cookie* b) {
    return a->Path.size() > b->Path.size();
  });
  std::string header = version1 && !matching.empty() ? "$Version=\"1\"" : "";
  for (const Cookie* c : matching) {
    if (!header.empty()) header += "; ";
    header += c->Name + "=" + c->Value;
    if (version1 && c->PathGiven) header += "; $Path=\"" + c->Path + "\"";
    if (version1 && c->DomainGiven) header += "; $Domain=\"" + c->Domain + "\"";
  }
  return header;
}
