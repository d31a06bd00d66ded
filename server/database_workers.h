// The threads that may wait on the database. The I/O threads never do: a request that needs the
// store hands its call to these workers and awaits the answer, so a slow or hung database holds
// workers and the queue in front of them, never a connection's reading, a handshake or a file.
// The queue is bounded: when it is full a call is refused at once (DatabaseBusy) rather than
// waiting behind a backlog that cannot be served in time.
#pragma once

#include <atomic>
#include <boost/asio/associated_executor.hpp>
#include <boost/asio/async_result.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/thread_pool.hpp>
#include <boost/asio/use_awaitable.hpp>
#include <cstddef>
#include <exception>
#include <stdexcept>
#include <utility>

struct DatabaseBusy : std::runtime_error {
  DatabaseBusy() : std::runtime_error("all database workers busy and the queue full") {}
};

class DatabaseWorkers {
 public:
  // `threads` workers; at most `queue` calls wait for one of them.
  DatabaseWorkers(size_t threads, size_t queue)
      : pool_(threads == 0 ? 1 : threads), capacity_((threads == 0 ? 1 : threads) + queue) {}
  // Calls not begun are dropped; calls under way are waited for.
  ~DatabaseWorkers() {
    pool_.stop();
    pool_.join();
  }
  DatabaseWorkers(const DatabaseWorkers&) = delete;
  DatabaseWorkers& operator=(const DatabaseWorkers&) = delete;

  // Runs `call` on a worker and resumes the awaiting coroutine on its own executor with the
  // result, or with what `call` threw. Throws DatabaseBusy when the queue is full.
  template <class Call>
  auto Run(Call call) -> boost::asio::awaitable<decltype(call())> {
    using Result = decltype(call());
    if (!Reserve()) throw DatabaseBusy();
    return boost::asio::async_initiate<const boost::asio::use_awaitable_t<>,
                                       void(std::exception_ptr, Result)>(
        [this, call = std::move(call)](auto handler) mutable {
          boost::asio::post(pool_,
                            [this, call = std::move(call), handler = std::move(handler)]() mutable {
                              std::exception_ptr error;
                              Result result{};
                              try {
                                result = call();
                              } catch (...) {
                                error = std::current_exception();
                              }
                              --pending_;
                              auto resumeOn = boost::asio::get_associated_executor(handler);
                              boost::asio::post(resumeOn, [handler = std::move(handler), error,
                                                           result = std::move(result)]() mutable {
                                std::move(handler)(error, std::move(result));
                              });
                            });
        },
        boost::asio::use_awaitable);
  }

  // Calls waiting or under way.
  size_t Pending() const { return pending_; }

 private:
  bool Reserve() {
    if (pending_.fetch_add(1) >= capacity_) {
      --pending_;
      return false;
    }
    return true;
  }

  boost::asio::thread_pool pool_;
  const size_t capacity_;
  std::atomic<size_t> pending_{0};
};
