// The publisher's pages the game opens in the player's web browser: its home page and the online
// high-score table. The server's host name is set when the game is built (SKARVEL_SCORE_SERVER).
#pragma once

#include <string>

// The host name of the publisher's web server.
std::string ScoreServer();
// "http://<server>/"
std::string HomePageUrl();
// "http://<server>/cgi/version.pl?prg=Skarvel&show&type=0"
std::string OnlineScoresUrl();
