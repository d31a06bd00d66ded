// The listener, the I/O threads and stopping.
#include "server/http_server.h"

#include <sys/resource.h>

#include <algorithm>
#include <boost/asio/as_tuple.hpp>
#include <boost/asio/co_spawn.hpp>
#include <boost/asio/detached.hpp>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>
#include <boost/asio/use_awaitable.hpp>
#include <thread>

#include "server/http_session.h"

namespace asio = boost::asio;
using asio::ip::tcp;
using namespace std::chrono_literals;

namespace {

// Files the server keeps open beside its connections: the database's, the log's, the listener's.
constexpr size_t ReservedFiles = 64;
// How long a stopping server lets requests under way finish.
constexpr auto StopGrace = 3s;
constexpr auto StopCheckInterval = 10ms;
// When the file limit is reached, accepting waits a moment instead of spinning on the error.
constexpr auto AcceptPause = 50ms;

}  // namespace

std::string_view HttpRequest::Header(std::string_view name) const {
  if (!fields) return {};
  const auto found = fields->find(name);
  if (found == fields->end()) return {};
  return {found->value().data(), found->value().size()};
}

HttpServer::HttpServer(const ConnectionLimits& limits, HttpHandler handler, AccessLog& log)
    : limits_(limits),
      handler_(std::move(handler)),
      log_(log),
      registry_(limits.maxConnections, limits.maxConnectionsPerClient),
      sessionContext_(std::make_unique<SessionContext>(
          SessionContext{limits_, handler_, log_, registry_, exempt_, stopping_})),
      acceptor_(context_) {}

HttpServer::~HttpServer() = default;

int HttpServer::Bind(const std::string& host, int port) {
  boost::system::error_code error;
  asio::ip::address address = asio::ip::make_address(host, error);
  if (error) {
    tcp::resolver resolver(context_);
    const auto found = resolver.resolve(host, std::to_string(port), error);
    if (error || found.empty()) return -1;
    address = found.begin()->endpoint().address();
  }
  const tcp::endpoint endpoint(address, static_cast<unsigned short>(port));
  acceptor_.open(endpoint.protocol(), error);
  if (error) return -1;
  acceptor_.set_option(tcp::acceptor::reuse_address(true), error);
  acceptor_.bind(endpoint, error);
  if (!error) acceptor_.listen(asio::socket_base::max_listen_connections, error);
  if (error) {
    acceptor_.close(error);
    return -1;
  }
  return acceptor_.local_endpoint().port();
}

bool HttpServer::Run() {
  if (!acceptor_.is_open()) return false;
  auto work = asio::make_work_guard(context_);
  asio::co_spawn(context_, Accept(), asio::detached);
  size_t threads = limits_.ioThreads;
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  std::vector<std::thread> others;
  for (size_t i = 1; i < threads; ++i) others.emplace_back([this] { context_.run(); });
  running_ = true;
  context_.run();
  for (auto& thread : others) thread.join();
  running_ = false;
  return true;
}

void HttpServer::Stop() {
  if (stopRequested_.exchange(true)) return;
  asio::post(context_, [this] {
    stopping_ = true;
    boost::system::error_code ignored;
    acceptor_.close(ignored);
    registry_.CloseWaiting();
    StopWhenDrained(std::chrono::steady_clock::now() + StopGrace);
  });
}

void HttpServer::StopWhenDrained(std::chrono::steady_clock::time_point giveUp) {
  if (registry_.Open() == 0 || std::chrono::steady_clock::now() >= giveUp) {
    context_.stop();
    return;
  }
  auto timer = std::make_shared<asio::steady_timer>(context_, StopCheckInterval);
  timer->async_wait(
      [this, timer, giveUp](const boost::system::error_code&) { StopWhenDrained(giveUp); });
}

asio::awaitable<void> HttpServer::Accept() {
  asio::steady_timer pause(context_);
  for (;;) {
    auto [error, socket] = co_await acceptor_.async_accept(asio::make_strand(context_),
                                                           asio::as_tuple(asio::use_awaitable));
    if (stopping_ || !acceptor_.is_open()) co_return;
    if (error) {
      if (error == asio::error::no_descriptors || error == asio::error::no_buffer_space ||
          error == asio::error::no_memory) {
        pause.expires_after(AcceptPause);
        co_await pause.async_wait(asio::as_tuple(asio::use_awaitable));
      }
      continue;
    }
    boost::system::error_code ignored;
    socket.set_option(tcp::no_delay(true), ignored);
    const auto session = std::make_shared<HttpSession>(std::move(socket), *sessionContext_);
    asio::co_spawn(session->Executor(), session->Serve(), asio::detached);
  }
}

size_t RaiseFileLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return 1024;
  if (limit.rlim_cur < limit.rlim_max) {
    rlimit raised = limit;
    raised.rlim_cur = limit.rlim_max;
    if (setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
  }
  return limit.rlim_cur == RLIM_INFINITY ? size_t(1) << 20 : static_cast<size_t>(limit.rlim_cur);
}

size_t ConnectionsWithin(size_t fileLimit) {
  return fileLimit > 2 * ReservedFiles ? fileLimit - ReservedFiles : fileLimit / 2;
}
