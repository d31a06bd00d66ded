// Fuzz target: the HTTP response reader. Any bytes, handed out in pieces of a size taken from the
// input's length, either read into bounded responses (up to three on one connection, as kept-open
// connections carry them) or fail with the client's errors; cookies they set stay within bounds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "online/cookie_store.h"
#include "online/http_errors.h"
#include "online/http_response.h"
#include "tests/support/memory_byte_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  TMemoryByteSource source(bytes, 1 + size % 17);
  THttpReader reader(source);
  TCookieStore cookies;
  const auto now = std::chrono::system_clock::time_point(std::chrono::seconds(1714564800));
  const THttpCookieSink keep = [&](std::string_view name, std::string_view value) {
    cookies.Store(name, value, "www.example.org", "/cgi/version.pl", now);
  };
  for (int response = 0; response < 3; ++response) {
    std::string body;
    try {
      const THttpResponseResult result =
          ReadResponse(reader, body, keep, std::chrono::milliseconds(2000));
      if (result.Head.StatusCode < 200 || result.Head.StatusCode > 299) __builtin_trap();
      if (!result.KeepAlive) break;
    } catch (const EHttpProtocolError& e) {
      if (e.Body().size() > HttpMaxBodySize) __builtin_trap();
      break;
    } catch (const EHttpError&) {
      if (body.size() > HttpMaxBodySize) __builtin_trap();
      break;
    }
    if (body.size() > HttpMaxBodySize) __builtin_trap();
  }
  if (cookies.Count() > TCookieStore::MaxCookies) __builtin_trap();
  cookies.CookieHeader("www.example.org", "/cgi/version.pl", now);
  cookies.CookieHeader("scores.example.org", "/", now);
  return 0;
}
