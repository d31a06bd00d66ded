// Fuzz target: the score server's own reading of a request. Any bytes, handed to the head scanner
// in pieces of a size taken from the input's length, must be judged as when handed whole; a head
// it passes goes through Beast's parser and the server's checks, its target through the route and
// query decoding, and its request line into an access log line, which stays one bounded line.
#include <boost/asio/buffer.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/parser.hpp>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "server/access_log.h"
#include "server/client_key.h"
#include "server/query_string.h"
#include "server/request_checks.h"
#include "server/request_head.h"

namespace {

// Small limits, so the fuzzer reaches them with short inputs.
constexpr RequestHeadLimits Limits{512, 128};

HeadStatus ScanInPieces(std::string_view bytes, size_t piece, size_t& length) {
  RequestHeadScanner scanner(Limits);
  HeadStatus status = HeadStatus::Incomplete;
  for (size_t end = 0; status == HeadStatus::Incomplete && end < bytes.size();) {
    end = std::min(bytes.size(), end + piece);
    status = scanner.Scan(bytes.substr(0, end));
  }
  length = scanner.Length();
  return status;
}

void CheckLogLine(std::string_view method, std::string_view target, std::string_view note) {
  const std::string line = AccessLogLine({ClientKey(target), method, target, 400, 0, 0.5, note}, 0);
  if (line.empty() || line.back() != '\n' || line.size() > MaxAccessLogLine) __builtin_trap();
  for (size_t i = 0; i + 1 < line.size(); ++i) {
    const auto byte = static_cast<unsigned char>(line[i]);
    if (byte < 0x20 || byte >= 0x7F) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace http = boost::beast::http;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  size_t wholeLength = 0;
  size_t pieceLength = 0;
  const HeadStatus whole = ScanInPieces(bytes, bytes.size() + 1, wholeLength);
  const HeadStatus pieces = ScanInPieces(bytes, 1 + size % 7, pieceLength);
  if (whole != pieces || wholeLength != pieceLength) __builtin_trap();
  if (wholeLength > Limits.maxHead) __builtin_trap();

  const RequestLineParts parts = SplitRequestLine(bytes.substr(0, bytes.find("\r\n")));
  CheckLogLine(parts.method, parts.target, bytes.substr(0, 300));
  if (whole != HeadStatus::Complete) return 0;

  http::request_parser<http::empty_body> parser;
  parser.header_limit(Limits.maxHead + 1);
  parser.eager(false);
  boost::system::error_code error;
  parser.put(boost::asio::buffer(bytes.data(), wholeLength), error);
  if (error || !parser.is_header_done()) return 0;
  const RequestVerdict verdict = CheckRequest(parser);
  if (verdict.status != 0) {
    if (verdict.problem.empty()) __builtin_trap();
    return 0;
  }
  const auto& request = parser.get();
  const std::string_view target(request.target().data(), request.target().size());
  if (target.empty() || target.front() != '/') __builtin_trap();
  if (TargetPath(target).size() > target.size()) __builtin_trap();
  if (const auto query = QueryString::Parse(target)) {
    for (const char* name : {"prg", "inf", "country", "page", "size"}) {
      if (!IsValidUtf8(query->Value(name))) __builtin_trap();
    }
  }
  return 0;
}
