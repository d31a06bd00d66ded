// The addresses on the high-score server: the two requests of a submission and the two pages the
// menu opens in the browser. `server` is a host with an optional ":port".
#pragma once

#include <string>
#include <string_view>

// The handshake that hands out the server value.
std::string HandshakeUrl(std::string_view server);
// The submission of an encoded result.
std::string ResultUrl(std::string_view server, std::string_view encodedResult);
// A start ticket for a new game, from a server that takes recordings.
std::string StartTicketUrl(std::string_view server);
// The upload (POST) of a game's recording, bound to the handshake's server value.
std::string ReplayUploadUrl(std::string_view server, std::string_view serverValue);
// The server's home page.
std::string HomePageUrl(std::string_view server);
// The online high-score table.
std::string OnlineTableUrl(std::string_view server);
