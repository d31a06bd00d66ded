// The addresses on the high-score server: the two requests of a submission and the two pages the
// menu opens in the browser. `server` is a host with an optional ":port".
#pragma once

#include <string>
#include <string_view>

// The handshake that hands out the server value.
std::string HandshakeUrl(std::string_view server);
// The submission of an encoded result.
std::string ResultUrl(std::string_view server, std::string_view encodedResult);
// The server's home page.
std::string HomePageUrl(std::string_view server);
// The online high-score table.
std::string OnlineTableUrl(std::string_view server);
