// The network half of sending a result: the handshake, the payload and its submission, with
// every failure turned into a plain "not sent".
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "online/http_client.h"

// How long a whole submission, handshake and result together, may take: the player waits at
// "Please Wait..." no longer than this, however slowly the server answers.
constexpr std::chrono::seconds SubmissionTimeLimit{30};

// The reply to a GET as the submission reads it: the body, or what had arrived of it when the
// request failed (as a rule nothing). Ends by `deadline` at the latest. Never throws a network
// error.
std::string FetchReply(
    THttpClient& client, const std::string& url,
    THttpClient::Clock::time_point deadline = THttpClient::Clock::time_point::max());

// Asks `server` for the server value, sends the encoded result and returns whether the server
// accepted it, all before `deadline` (by default SubmissionTimeLimit from the call). A handshake
// reply that does not begin with "OK" ends the exchange before the result is sent.
bool SendResultToServer(THttpClient& client, std::string_view server, char key,
                        std::string_view name, uint16_t score, std::string_view country,
                        THttpClient::Clock::time_point deadline = THttpClient::Clock::now() +
                                                                  SubmissionTimeLimit);
