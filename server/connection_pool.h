// A fixed set of database connections shared by the threads that call the store: a call borrows
// one for its length, and waits for one no longer than its deadline.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "server/score_store.h"

using StoreClock = std::chrono::steady_clock;

template <typename Connection>
class ConnectionPool {
 public:
  // Opens `size` connections with `open` now, so a bad database is found at start.
  ConnectionPool(size_t size, const std::function<std::unique_ptr<Connection>()>& open) {
    for (size_t i = 0; i < size; ++i) idle_.push_back(open());
  }

  class Lease {
   public:
    Lease(ConnectionPool& pool, std::unique_ptr<Connection> connection)
        : pool_(pool), connection_(std::move(connection)) {}
    ~Lease() { pool_.Return(std::move(connection_)); }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    Connection& operator*() { return *connection_; }
    Connection* operator->() { return connection_.get(); }

   private:
    ConnectionPool& pool_;
    std::unique_ptr<Connection> connection_;
  };

  // Throws StoreUnavailable when every connection is still out at `deadline`: the calls holding
  // them are waiting on a database that does not answer.
  Lease Borrow(StoreClock::time_point deadline) {
    std::unique_lock lock(mutex_);
    if (!returned_.wait_until(lock, deadline, [this] { return !idle_.empty(); })) {
      throw StoreUnavailable("no database connection came free in time");
    }
    auto connection = std::move(idle_.back());
    idle_.pop_back();
    return Lease(*this, std::move(connection));
  }

 private:
  void Return(std::unique_ptr<Connection> connection) {
    {
      std::lock_guard lock(mutex_);
      idle_.push_back(std::move(connection));
    }
    returned_.notify_one();
  }

  std::mutex mutex_;
  std::condition_variable returned_;
  std::vector<std::unique_ptr<Connection>> idle_;
};
