// The text a result is sent as, and the reading of the server's replies around it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// "type=0|name=<name>|score=<score>|key=<key>|p=<server value>|add=<country>|z=", then "0"
// characters until the length is a multiple of 5, so that it encodes into whole letters. The
// values go in as they are.
std::string BuildResultPayload(std::string_view name, uint16_t score, char key,
                               std::string_view serverValue, std::string_view country);

// A reply the server accepted: its first two characters are "OK".
bool IsOkReply(std::string_view reply);

// The server value of a handshake reply: its fifth "|"-separated field counting the one that
// starts with "OK", that is the text between the fourth and the fifth "|". Empty when the reply
// holds fewer than five "|".
std::string HandshakeServerValue(std::string_view reply);

// The handshake reply's sixth field from a server that takes recordings of games; an older
// server leaves it empty, and an older game never reads it.
inline constexpr std::string_view ReplaysOffered = "replays";
// Whether the reply's sixth "|"-separated field (after the server value) is ReplaysOffered.
bool HandshakeOffersReplays(std::string_view reply);
