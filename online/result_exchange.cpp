// Handshake and submission of one result.
#include "online/result_exchange.h"

#include "online/http_errors.h"
#include "online/score_server_urls.h"
#include "protocol/result_encoding.h"
#include "protocol/result_payload.h"

std::string FetchReply(THttpClient& client, const std::string& url,
                       THttpClient::Clock::time_point deadline) {
  std::string reply;
  try {
    client.Get(url, reply, deadline);
  } catch (const EHttpError&) {
    // The caller only asks whether the reply begins with "OK"; what arrived is all there is.
  }
  return reply;
}

bool SendResultToServer(THttpClient& client, std::string_view server, char key,
                        std::string_view name, uint16_t score, std::string_view country,
                        THttpClient::Clock::time_point deadline) {
  const std::string handshake = FetchReply(client, HandshakeUrl(server), deadline);
  if (!IsOkReply(handshake)) return false;
  const std::string payload =
      BuildResultPayload(name, score, key, HandshakeServerValue(handshake), country);
  return IsOkReply(FetchReply(client, ResultUrl(server, EncodeResult(payload)), deadline));
}
