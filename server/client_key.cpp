// Reducing an address to the part a client controls as a whole.
#include "server/client_key.h"

#include <arpa/inet.h>

#include <cstring>

std::string ClientKey(std::string_view address) {
  char text[INET6_ADDRSTRLEN + 8] = {};
  if (address.empty() || address.size() >= INET6_ADDRSTRLEN) return std::string(address);
  std::memcpy(text, address.data(), address.size());
  in6_addr v6{};
  if (inet_pton(AF_INET6, text, &v6) != 1) return std::string(address);
  if (IN6_IS_ADDR_V4MAPPED(&v6)) {
    in_addr v4{};
    std::memcpy(&v4, v6.s6_addr + 12, sizeof v4);
    inet_ntop(AF_INET, &v4, text, sizeof text);
    return text;
  }
  std::memset(v6.s6_addr + 8, 0, 8);
  inet_ntop(AF_INET6, &v6, text, sizeof text);
  return std::string(text) + "/64";
}
