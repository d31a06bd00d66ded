// The request loop of one connection.
#include "server/http_session.h"

#include <algorithm>
#include <boost/asio/post.hpp>
#include <boost/asio/redirect_error.hpp>
#include <boost/asio/use_awaitable.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/span.hpp>
#include <boost/beast/core/string.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/span_body.hpp>
#include <boost/beast/http/write.hpp>

#include "server/client_key.h"
#include "server/request_checks.h"

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using asio::ip::tcp;
using namespace std::chrono_literals;

namespace {

// Bytes read at a time: a whole head usually comes in one read.
constexpr size_t ReadChunk = 8192;
// How long, and how much, a closing connection still reads of what its client sends.
constexpr auto DrainTime = 1000ms;
constexpr auto RefusalDrainTime = 250ms;
constexpr size_t DrainBytes = 64 * 1024;

std::string_view Received(const beast::flat_buffer& buffer) {
  return {static_cast<const char*>(buffer.data().data()), buffer.size()};
}

const char* RefusalText(int status) {
  switch (status) {
    case 400:
      return "ERROR: bad request\n";
    case 405:
      return "ERROR: method not allowed\n";
    case 408:
      return "ERROR: request not complete in time\n";
    case 411:
      return "ERROR: a body needs a Content-Length\n";
    case 413:
      return "ERROR: body too large\n";
    case 414:
      return "ERROR: request line too long\n";
    case 429:
      return "ERROR: too many connections from your address\n";
    case 431:
      return "ERROR: request too large\n";
    default:
      return "ERROR: the server is busy, try again later\n";
  }
}

}  // namespace

HttpSession::HttpSession(tcp::socket socket, const SessionContext& context)
    : stream_(std::move(socket)),
      context_(context),
      buffer_(context.limits.head.maxHead + ReadChunk) {}

HttpSession::~HttpSession() {
  context_.registry.Release(slot_);
}

asio::awaitable<void> HttpSession::Serve() {
  const auto self = shared_from_this();
  try {
    co_await ServeRequests();
  } catch (const std::exception&) {
    // A connection that fails ends alone; the server goes on.
  }
  beast::error_code ignored;
  stream_.socket().shutdown(tcp::socket::shutdown_both, ignored);
  stream_.close();
}

void HttpSession::CloseIfWaiting() {
  if (waiting_) stream_.close();
}

asio::awaitable<void> HttpSession::ServeRequests() {
  beast::error_code error;
  const auto peer = stream_.socket().remote_endpoint(error);
  if (error) co_return;
  peer_ = peer.address().to_string();
  slot_.clientKey = ClientKey(peer_);
  slot_.capped =
      std::find(context_.exempt.begin(), context_.exempt.end(), peer_) == context_.exempt.end();
  slot_.close = [weak = weak_from_this(), executor = stream_.get_executor()] {
    asio::post(executor, [weak] {
      if (const auto session = weak.lock()) session->CloseIfWaiting();
    });
  };
  switch (context_.registry.Admit(slot_)) {
    case Admission::ClientFull:
      co_await Refuse(429, "connection cap of the client", {}, RefusalDrainTime);
      co_return;
    case Admission::ServerFull:
      co_await Refuse(503, "connection cap of the server", {}, RefusalDrainTime);
      co_return;
    case Admission::Admitted:
      break;
  }
  while (co_await ServeOne()) {
  }
}

asio::awaitable<bool> HttpSession::ServeOne() {
  const ConnectionLimits& limits = context_.limits;
  beast::error_code error;
  if (buffer_.size() == 0) {
    // An idle connection keeps no more than one read's room.
    buffer_.shrink_to_fit();
    waiting_ = true;
    context_.registry.Waiting(slot_);
    if (context_.stopping) co_return false;
    stream_.expires_after(limits.firstByteTimeout);
    const size_t count = co_await stream_.async_read_some(
        buffer_.prepare(ReadChunk), asio::redirect_error(asio::use_awaitable, error));
    waiting_ = false;
    context_.registry.Busy(slot_);
    if (error) co_return false;
    buffer_.commit(count);
  }
  started_ = std::chrono::steady_clock::now();
  const auto deadline = started_ + limits.requestTimeout;
  RequestHeadScanner scanner(limits.head);
  HeadStatus status;
  while ((status = scanner.Scan(Received(buffer_))) == HeadStatus::Incomplete) {
    stream_.expires_at(deadline);
    const size_t count = co_await stream_.async_read_some(
        buffer_.prepare(ReadChunk), asio::redirect_error(asio::use_awaitable, error));
    if (error == beast::error::timeout) {
      const std::string_view received = Received(buffer_);
      std::string line(received.substr(0, received.find("\r\n")));
      co_return co_await Refuse(408, "request not complete in time", line, RefusalDrainTime);
    }
    if (error) co_return false;
    buffer_.commit(count);
  }
  const std::string_view received = Received(buffer_);
  std::string requestLine(received.substr(0, received.find("\r\n")));
  const int refusal = status == HeadStatus::TooLarge             ? 431
                      : status == HeadStatus::RequestLineTooLong ? 414
                      : status == HeadStatus::Malformed          ? 400
                                                                 : 0;
  if (refusal != 0) {
    std::string problem(scanner.Problem());
    co_return co_await Refuse(refusal, problem, requestLine, DrainTime);
  }

  http::request_parser<http::empty_body> parser;
  parser.header_limit(static_cast<std::uint32_t>(limits.head.maxHead + 1));
  parser.eager(false);
  // The body's length is judged by CheckRequest, with a status that says so.
  parser.body_limit(boost::none);
  parser.put(asio::buffer(buffer_.data().data(), scanner.Length()), error);
  if (error || !parser.is_header_done()) {
    std::string problem = "unreadable head: " + error.message();
    co_return co_await Refuse(400, problem, requestLine, DrainTime);
  }
  buffer_.consume(scanner.Length());
  const auto& head = parser.get();
  const RequestVerdict verdict = CheckRequest(parser, limits.maxBody);
  HttpReply reply;
  std::string body;
  if (verdict.status == 0 && head.method() == http::verb::post) {
    const auto length = static_cast<size_t>(parser.content_length().value_or(0));
    if (beast::iequals(head[http::field::expect], "100-continue")) {
      static constexpr std::string_view Continue = "HTTP/1.1 100 Continue\r\n\r\n";
      stream_.expires_at(deadline);
      co_await asio::async_write(stream_, asio::buffer(Continue.data(), Continue.size()),
                                 asio::redirect_error(asio::use_awaitable, error));
      if (error) co_return false;
    }
    if (!co_await ReadBody(length, deadline, body)) {
      co_return co_await Refuse(408, "body not complete in time", requestLine, RefusalDrainTime);
    }
  }
  if (verdict.status != 0) {
    reply.status = verdict.status;
    reply.body = std::make_shared<const std::string>(RefusalText(verdict.status));
    reply.note = verdict.problem;
    reply.close = verdict.close;
    if (verdict.status == 405) reply.headers.emplace_back("Allow", "GET, HEAD");
  } else {
    const HttpRequest request{head.method(), head.target(), &head.base(), peer_, body};
    reply = co_await context_.handler(request);
  }
  const bool keepAlive = head.keep_alive() && !reply.close && !context_.stopping;
  co_await Write(reply.status, head.version(), head.method() == http::verb::head, reply, keepAlive,
                 head.method_string(), head.target());
  if (!keepAlive) co_await CloseGently(DrainTime);
  co_return keepAlive;
}

asio::awaitable<bool> HttpSession::ReadBody(size_t length,
                                            std::chrono::steady_clock::time_point deadline,
                                            std::string& body) {
  // What came with the head first; then the rest a read at a time, so a client that declares a
  // large body and sends little holds little.
  const size_t buffered = std::min(length, buffer_.size());
  body.assign(static_cast<const char*>(buffer_.data().data()), buffered);
  buffer_.consume(buffered);
  char chunk[ReadChunk];
  while (body.size() < length) {
    beast::error_code error;
    stream_.expires_at(deadline);
    const size_t count = co_await stream_.async_read_some(
        asio::buffer(chunk, std::min(sizeof chunk, length - body.size())),
        asio::redirect_error(asio::use_awaitable, error));
    if (error) co_return false;
    body.append(chunk, count);
  }
  co_return true;
}

asio::awaitable<bool> HttpSession::Refuse(int status, std::string_view problem,
                                          std::string_view requestLine,
                                          std::chrono::milliseconds drain) {
  HttpReply reply;
  reply.status = status;
  reply.body = std::make_shared<const std::string>(RefusalText(status));
  reply.note = problem;
  const RequestLineParts parts = SplitRequestLine(requestLine);
  if (started_ == std::chrono::steady_clock::time_point{}) {
    started_ = std::chrono::steady_clock::now();
  }
  co_await Write(status, 11, false, reply, false, parts.method, parts.target);
  co_await CloseGently(drain);
  co_return false;
}

asio::awaitable<void> HttpSession::Write(int status, unsigned version, bool head, HttpReply& reply,
                                         bool keepAlive, std::string_view method,
                                         std::string_view target) {
  http::response<http::span_body<const char>> response{static_cast<http::status>(status), version};
  response.set(http::field::content_type, reply.contentType);
  for (const auto& [name, value] : reply.headers) response.set(name, value);
  const std::string_view body = reply.body ? std::string_view(*reply.body) : std::string_view();
  response.content_length(body.size());
  // A HEAD reply tells the length of what a GET would carry, and carries nothing.
  if (!head) response.body() = beast::span<const char>(body.data(), body.size());
  response.keep_alive(keepAlive);
  stream_.expires_after(context_.limits.requestTimeout);
  beast::error_code error;
  co_await http::async_write(stream_, response, asio::redirect_error(asio::use_awaitable, error));
  const auto elapsed = std::chrono::steady_clock::now() - started_;
  context_.log.Write({peer_, method, target, status, body.size(),
                      std::chrono::duration<double, std::milli>(elapsed).count(), reply.note});
}

asio::awaitable<void> HttpSession::CloseGently(std::chrono::milliseconds drain) {
  beast::error_code error;
  stream_.socket().shutdown(tcp::socket::shutdown_send, error);
  stream_.expires_after(drain);
  char sink[4096];
  size_t drained = 0;
  while (!error && drained < DrainBytes) {
    drained += co_await stream_.async_read_some(asio::buffer(sink),
                                                asio::redirect_error(asio::use_awaitable, error));
  }
}
