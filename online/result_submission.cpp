// The worker thread of a result's submission.
#include "online/result_submission.h"

#include <exception>
#include <system_error>

#include "online/result_exchange.h"

void TResultSubmission::Start(THttpClient client, TResultToSend result,
                              THttpClient::Clock::time_point deadline) {
  client_.emplace(std::move(client));
  sent_ = false;
  offersReplays_ = false;
  done_.store(false, std::memory_order_relaxed);
  try {
    worker_ = std::jthread([this, result = std::move(result), deadline] {
      bool sent = false;
      try {
        sent = SendResultToServer(*client_, result.Server, result.Key, result.Name, result.Score,
                                  result.Country, deadline, result.Recording, &offersReplays_);
      } catch (const std::exception&) {
        // Whatever else went wrong on the way (memory, say), the result did not arrive.
      }
      sent_ = sent;
      done_.store(true, std::memory_order_release);
    });
  } catch (const std::system_error&) {
    // No thread to be had: the result is not sent, and the player is told so.
    done_.store(true, std::memory_order_release);
  }
}

bool TResultSubmission::Finish(THttpClient& client) {
  if (worker_.joinable()) worker_.join();
  if (client_) client = std::move(*client_);
  client_.reset();
  return sent_;
}
