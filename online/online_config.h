// What the game must know of its high-score server, fixed when the game is built (the CMake cache
// variables SKARVEL_SCORE_SERVER and SKARVEL_RESULT_KEY).
#pragma once

#include <string_view>

// The host of the high-score server with an optional ":port", as URLs take it.
std::string_view ScoreServer();
// The one capital letter of every result's key field, which the server checks.
char ResultKey();
