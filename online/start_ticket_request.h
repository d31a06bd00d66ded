// Asking the score server for a start ticket at New game, on a worker thread of its own with a
// client of its own, so the game starts at once and never waits for the network. The main thread
// looks in on it each frame and takes the ticket when it has come.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "online/http_client.h"

class TStartTicketRequest {
 public:
  // How long a request may take: a ticket that comes later is of little use to a short game.
  static constexpr std::chrono::seconds TimeLimit{10};

  TStartTicketRequest() = default;
  // Waits for a worker still on its way (it ends by its deadline).
  ~TStartTicketRequest() = default;
  TStartTicketRequest(const TStartTicketRequest&) = delete;
  TStartTicketRequest& operator=(const TStartTicketRequest&) = delete;

  // Asks `server` for a ticket for game number `game`; a request still under way for an earlier
  // game is left to end and its ticket dropped.
  void Start(std::string server, uint64_t game);
  // The ticket for game number `game` once it has come; empty until then, and afterwards.
  std::string Take(uint64_t game);

 private:
  std::string ticket_;
  uint64_t game_ = 0;
  std::atomic<bool> done_{false};
  bool taken_ = true;
  // Last, so that it is joined before the rest goes.
  std::jthread worker_;
};
