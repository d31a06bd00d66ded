// Building the result payload and reading the handshake reply.
#include "protocol/result_payload.h"

std::string BuildResultPayload(std::string_view name, uint16_t score, char key,
                               std::string_view serverValue, std::string_view country) {
  std::string payload = "type=0";
  payload += "|name=";
  payload += name;
  payload += "|score=" + std::to_string(score);
  payload += "|key=";
  payload += key;
  payload += "|p=";
  payload += serverValue;
  payload += "|add=";
  payload += country;
  payload += "|z=";
  // Five bytes make eight whole letters.
  payload.append((5 - payload.size() % 5) % 5, '0');
  return payload;
}

bool IsOkReply(std::string_view reply) {
  return reply.starts_with("OK");
}

std::string HandshakeServerValue(std::string_view reply) {
  std::string_view field;
  for (int split = 0; split < 5; ++split) {
    const size_t bar = reply.find('|');
    if (bar == std::string_view::npos) {
      // No "|" left: the field is empty and the reply stays as it is.
      field = {};
      continue;
    }
    field = reply.substr(0, bar);
    reply.remove_prefix(bar + 1);
  }
  return std::string(field);
}

bool HandshakeOffersReplays(std::string_view reply) {
  for (int split = 0; split < 5; ++split) {
    const size_t bar = reply.find('|');
    if (bar == std::string_view::npos) return false;
    reply.remove_prefix(bar + 1);
  }
  return reply.substr(0, reply.find('|')) == ReplaysOffered;
}
