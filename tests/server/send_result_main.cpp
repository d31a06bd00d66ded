// skarvel_send_result HOST:PORT KEY NAME SCORE COUNTRY: sends one result the way the game does
// (its HTTP client, handshake, payload and encoding); exits 0 when the server answered "OK".
// The name and country are taken as the game keeps them, bytes of ISO 8859-1.
#include <cstdio>
#include <string>

#include "online/http_client.h"
#include "online/result_exchange.h"

int main(int argc, char** argv) {
  if (argc != 6 || std::string(argv[2]).size() != 1) {
    std::fprintf(stderr, "usage: %s HOST:PORT KEY NAME SCORE COUNTRY\n", argv[0]);
    return 2;
  }
  const unsigned long score = std::stoul(argv[4]);
  if (score > 65535) {
    std::fprintf(stderr, "score above 65535\n");
    return 2;
  }
  THttpClient client;
  const bool sent = SendResultToServer(client, argv[1], argv[2][0], argv[3],
                                       static_cast<uint16_t>(score), argv[5]);
  std::puts(sent ? "sent" : "not sent");
  return sent ? 0 : 1;
}
