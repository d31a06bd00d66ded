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

namespace {

// What a recording is sent as, the type the server gives it out with too.
constexpr std::string_view RecordingContentType = "application/vnd.skarvel.replay";
// A ticket is a short token; a longer reply is no ticket.
constexpr size_t MaxStartTicketLength = 128;

}  // namespace

std::string FetchStartTicket(THttpClient& client, std::string_view server,
                             THttpClient::Clock::time_point deadline) {
  const std::string reply = FetchReply(client, StartTicketUrl(server), deadline);
  if (!reply.starts_with("OK|")) return {};
  std::string ticket = reply.substr(3);
  if (ticket.empty() || ticket.size() > MaxStartTicketLength ||
      ticket.find_first_not_of("0123456789abcdef-") != std::string::npos) {
    return {};
  }
  return ticket;
}

bool SendResultToServer(THttpClient& client, std::string_view server, char key,
                        std::string_view name, uint16_t score, std::string_view country,
                        THttpClient::Clock::time_point deadline, std::span<const uint8_t> recording,
                        bool* offersReplays) {
  const std::string handshake = FetchReply(client, HandshakeUrl(server), deadline);
  if (!IsOkReply(handshake)) return false;
  const std::string serverValue = HandshakeServerValue(handshake);
  const bool replays = HandshakeOffersReplays(handshake);
  if (offersReplays) *offersReplays = replays;
  if (!recording.empty() && replays) {
    std::string reply;
    try {
      const std::string_view bytes(reinterpret_cast<const char*>(recording.data()),
                                   recording.size());
      client.Post(ReplayUploadUrl(server, serverValue), RecordingContentType, bytes, reply,
                  deadline);
    } catch (const EHttpError&) {
      // Refused or lost: the result goes without its recording.
    }
  }
  const std::string payload = BuildResultPayload(name, score, key, serverValue, country);
  return IsOkReply(FetchReply(client, ResultUrl(server, EncodeResult(payload)), deadline));
}
