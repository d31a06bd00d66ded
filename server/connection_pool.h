// A fixed set of database connections shared by the worker threads: a request borrows one for
// the length of a store call, and waits when all are out.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

template <typename Connection>
class TConnectionPool {
 public:
  // Opens `size` connections with `open` now, so a bad database is found at start.
  TConnectionPool(size_t size, const std::function<std::unique_ptr<Connection>()>& open) {
    for (size_t i = 0; i < size; ++i) idle_.push_back(open());
  }

  class TLease {
   public:
    TLease(TConnectionPool& pool, std::unique_ptr<Connection> connection)
        : pool_(pool), connection_(std::move(connection)) {}
    ~TLease() { pool_.Return(std::move(connection_)); }
    TLease(const TLease&) = delete;
    TLease& operator=(const TLease&) = delete;
    Connection& operator*() { return *connection_; }
    Connection* operator->() { return connection_.get(); }

   private:
    TConnectionPool& pool_;
    std::unique_ptr<Connection> connection_;
  };

  TLease Borrow() {
    std::unique_lock lock(mutex_);
    returned_.wait(lock, [this] { return !idle_.empty(); });
    auto connection = std::move(idle_.back());
    idle_.pop_back();
    return TLease(*this, std::move(connection));
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
