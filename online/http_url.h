// An "http" URL taken apart into what a GET request needs: where to connect and what to ask for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct THttpUrl {
  std::string Host;  // without the brackets of an IPv6 literal
  uint16_t Port = 80;
  std::string Path;      // from the first "/" up to and including the last one; at least "/"
  std::string Document;  // after the last "/", up to the query
  std::string Query;     // from the "?" on, or empty

  // The request target, character for character as the URL gave it.
  std::string Target() const { return Path + Document + Query; }
  // The value of the Host header: the host, and the port only when it is not 80.
  std::string HostHeader() const;
};

// Splits an absolute "http://host[:port][/path][?query]" URL (the scheme in any letter case; a
// fragment is dropped, since it is never sent). Throws EHttpError for any other scheme, user
// credentials, a bad port, an empty host, or spaces and control characters, which would break
// the request line.
THttpUrl SplitUrl(std::string_view url);
