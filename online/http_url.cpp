// Splitting the URLs the client is asked to fetch.
#include "online/http_url.h"

#include <cctype>

#include "online/http_errors.h"

namespace {

[[noreturn]] void Invalid(std::string_view url) {
  throw EHttpError("Invalid URL \"" + std::string(url) + "\"");
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

uint16_t ParsePort(std::string_view digits, std::string_view url) {
  if (digits.empty()) return 80;
  if (digits.size() > 5) Invalid(url);
  uint32_t port = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') Invalid(url);
    port = port * 10 + static_cast<uint32_t>(c - '0');
  }
  if (port == 0 || port > 65535) Invalid(url);
  return static_cast<uint16_t>(port);
}

}  // namespace

std::string THttpUrl::HostHeader() const {
  std::string value = Host.find(':') != std::string::npos ? "[" + Host + "]" : Host;
  if (Port != 80) value += ":" + std::to_string(Port);
  return value;
}

THttpUrl SplitUrl(std::string_view url) {
  constexpr std::string_view scheme = "http://";
  if (!StartsWithNoCase(url, scheme)) Invalid(url);
  for (const char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7F) Invalid(url);
  }
  std::string_view rest = url.substr(scheme.size());
  rest = rest.substr(0, rest.find('#'));

  const size_t authorityEnd = rest.find_first_of("/?");
  const std::string_view authority = rest.substr(0, authorityEnd);
  rest = authorityEnd == std::string_view::npos ? std::string_view() : rest.substr(authorityEnd);
  if (authority.find('@') != std::string_view::npos) Invalid(url);

  THttpUrl parts;
  std::string_view portText;
  if (!authority.empty() && authority.front() == '[') {
    const size_t close = authority.find(']');
    if (close == std::string_view::npos) Invalid(url);
    parts.Host = authority.substr(1, close - 1);
    const std::string_view after = authority.substr(close + 1);
    if (!after.empty() && after.front() != ':') Invalid(url);
    if (!after.empty()) portText = after.substr(1);
  } else {
    const size_t colon = authority.find(':');
    parts.Host = authority.substr(0, colon);
    if (colon != std::string_view::npos) portText = authority.substr(colon + 1);
  }
  if (parts.Host.empty()) Invalid(url);
  parts.Port = ParsePort(portText, url);

  const size_t queryStart = rest.find('?');
  const std::string_view path = rest.substr(0, queryStart);
  if (queryStart != std::string_view::npos) parts.Query = rest.substr(queryStart);
  const size_t lastSlash = path.rfind('/');
  if (lastSlash == std::string_view::npos) {
    parts.Path = "/";
  } else {
    parts.Path = path.substr(0, lastSlash + 1);
    parts.Document = path.substr(lastSlash + 1);
  }
  return parts;
}
