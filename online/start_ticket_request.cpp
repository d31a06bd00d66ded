// The worker thread of a start ticket's request.
#include "online/start_ticket_request.h"

#include <exception>
#include <system_error>

#include "online/result_exchange.h"

void TStartTicketRequest::Start(std::string server, uint64_t game) {
  // An earlier request that has not ended yet keeps its worker: this game goes without a ticket.
  if (worker_.joinable() && !done_.load(std::memory_order_acquire)) return;
  if (worker_.joinable()) worker_.join();
  ticket_.clear();
  game_ = game;
  taken_ = false;
  done_.store(false, std::memory_order_relaxed);
  try {
    worker_ = std::jthread([this, server = std::move(server)] {
      try {
        THttpClient client;
        ticket_ = FetchStartTicket(client, server, THttpClient::Clock::now() + TimeLimit);
      } catch (const std::exception&) {
        ticket_.clear();
      }
      done_.store(true, std::memory_order_release);
    });
  } catch (const std::system_error&) {
    done_.store(true, std::memory_order_release);
  }
}

std::string TStartTicketRequest::Take(uint64_t game) {
  if (taken_ || game != game_ || !done_.load(std::memory_order_acquire)) return {};
  taken_ = true;
  return ticket_;
}
