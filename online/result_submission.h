// Sending one result on a worker thread of its own, so that the game's window keeps drawing and
// answering the desktop while the server takes its time. The worker works on its own copies: the
// result's texts and the HTTP client (with its connection and cookies), which it hands back when
// the exchange is over.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "online/http_client.h"

// What is sent: the server, the key letter, the name, the score and the country.
struct TResultToSend {
  std::string Server;
  char Key = 'A';
  std::string Name;
  uint16_t Score = 0;
  std::string Country;
  // The game's compressed recording, uploaded first when the server takes recordings.
  std::vector<uint8_t> Recording;
};

class TResultSubmission {
 public:
  TResultSubmission() = default;
  // Waits for a worker still on its way (it ends by its deadline).
  ~TResultSubmission() = default;
  TResultSubmission(const TResultSubmission&) = delete;
  TResultSubmission& operator=(const TResultSubmission&) = delete;

  // Starts the handshake and the result's submission, which end by `deadline`. The client is the
  // worker's until Finish gives it back. Only one submission runs at a time.
  void Start(THttpClient client, TResultToSend result, THttpClient::Clock::time_point deadline);
  // True while a submission was started and has not been finished.
  bool Running() const { return client_.has_value(); }
  // True once the worker is done; Finish then returns at once.
  bool Done() const { return done_.load(std::memory_order_acquire); }
  // Waits for the worker, puts the client back into `client` and tells whether the server
  // accepted the result.
  bool Finish(THttpClient& client);
  // Whether the last finished submission's server said it takes recordings.
  bool ServerTakesRecordings() const { return offersReplays_; }

 private:
  std::optional<THttpClient> client_;
  bool sent_ = false;
  bool offersReplays_ = false;
  std::atomic<bool> done_{false};
  // Last, so that it is joined before the rest goes.
  std::jthread worker_;
};
