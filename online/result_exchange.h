// The network half of sending a result: the handshake, the payload and its submission, with
// every failure turned into a plain "not sent".
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
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
// reply that does not begin with "OK" ends the exchange before the result is sent. When the
// handshake says the server takes recordings and `recording` holds the game's, it is uploaded
// first, bound to the server value; whatever becomes of the upload, the result is sent as ever
// (without its recording the server keeps it unproven). `offersReplays` (may be null) learns
// whether the handshake said the server takes recordings.
bool SendResultToServer(THttpClient& client, std::string_view server, char key,
                        std::string_view name, uint16_t score, std::string_view country,
                        THttpClient::Clock::time_point deadline = THttpClient::Clock::now() +
                                                                  SubmissionTimeLimit,
                        std::span<const uint8_t> recording = {}, bool* offersReplays = nullptr);

// A start ticket for the game just begun, from a server that hands them out; empty when none
// came by `deadline`.
std::string FetchStartTicket(THttpClient& client, std::string_view server,
                             THttpClient::Clock::time_point deadline);
