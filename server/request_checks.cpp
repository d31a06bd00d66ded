// The checks, in the order a client is told about them: the method first, then the framing.
#include "server/request_checks.h"

namespace http = boost::beast::http;

RequestVerdict CheckRequest(const http::request_parser<http::empty_body>& parser, size_t maxBody) {
  const auto& request = parser.get();
  const bool hasBody = parser.chunked() ||
                       (parser.content_length() && *parser.content_length() > 0) ||
                       request.count(http::field::transfer_encoding) > 0;
  if (request.version() != 10 && request.version() != 11) {
    return {400, "unknown HTTP version", true};
  }
  if (request.count(http::field::content_length) > 1) {
    return {400, "more than one Content-Length", true};
  }
  if (request.count(http::field::host) > 1) return {400, "more than one Host", true};
  if (request.version() == 11 && request.count(http::field::host) == 0) {
    return {400, "HTTP/1.1 request without Host", true};
  }
  const http::verb verb = request.method();
  if (verb == http::verb::unknown) return {400, "unknown method", true};
  if (verb == http::verb::post && maxBody > 0) {
    // Read to the last byte of its declared length, never to the connection's end or by chunks.
    if (request.count(http::field::transfer_encoding) > 0) {
      return {411, "POST with Transfer-Encoding", true};
    }
    if (!parser.content_length()) return {411, "POST without Content-Length", true};
    if (*parser.content_length() > maxBody) return {413, "body too large", true};
    const std::string_view target = request.target();
    if (target.empty() || target.front() != '/') return {400, "target not a path", true};
    return {};
  }
  // A body the server does not read must not be taken for the next request.
  if (verb != http::verb::get && verb != http::verb::head) {
    return {405, "method not allowed", true};
  }
  if (hasBody) return {400, "body on a GET or HEAD", true};
  const std::string_view target = request.target();
  if (target.empty() || target.front() != '/') return {400, "target not a path", true};
  return {};
}

RequestLineParts SplitRequestLine(std::string_view line) {
  const size_t space = line.find(' ');
  if (space == std::string_view::npos) return {line, {}};
  std::string_view rest = line.substr(space + 1);
  return {line.substr(0, space), rest.substr(0, rest.rfind(' '))};
}
