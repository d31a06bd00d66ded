// skarvel_send_result HOST:PORT KEY NAME SCORE COUNTRY [RESULT_HOST:PORT]: sends one result the
// way the game does (its HTTP client, handshake, payload and encoding); exits 0 when the server
// answered "OK". With RESULT_HOST:PORT the handshake goes to the first server and the result to
// the second, as it may behind a proxy in front of several instances.
// The name and country are taken as the game keeps them, bytes of ISO 8859-1.
#include <cstdio>
#include <string>

#include "online/http_client.h"
#include "online/result_exchange.h"
#include "online/score_server_urls.h"
#include "protocol/result_encoding.h"
#include "protocol/result_payload.h"

int main(int argc, char** argv) {
  if ((argc != 6 && argc != 7) || std::string(argv[2]).size() != 1) {
    std::fprintf(stderr, "usage: %s HOST:PORT KEY NAME SCORE COUNTRY [RESULT_HOST:PORT]\n",
                 argv[0]);
    return 2;
  }
  const unsigned long score = std::stoul(argv[4]);
  if (score > 65535) {
    std::fprintf(stderr, "score above 65535\n");
    return 2;
  }
  THttpClient client;
  bool sent = false;
  if (argc == 6) {
    sent = SendResultToServer(client, argv[1], argv[2][0], argv[3], static_cast<uint16_t>(score),
                              argv[5]);
  } else {
    const std::string token = HandshakeServerValue(client.Get(HandshakeUrl(argv[1])));
    sent = client.Get(ResultUrl(
               argv[6], EncodeResult(BuildResultPayload(argv[3], static_cast<uint16_t>(score),
                                                        argv[2][0], token, argv[5])))) == "OK";
  }
  std::puts(sent ? "sent" : "not sent");
  return sent ? 0 : 1;
}
