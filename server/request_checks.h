// What the server refuses in a request head Beast has parsed: anything that could make two
// readers of one byte stream disagree on where a request ends, and what it does not serve.
#pragma once

#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/parser.hpp>
#include <cstddef>
#include <string_view>

struct RequestVerdict {
  int status = 0;            // 0: serve it.
  std::string_view problem;  // For the log.
  bool close = false;        // What follows on the connection cannot be trusted.
};

// A POST is served only with a Content-Length of at most `maxBody` bytes (none when 0): the one
// request with a body, a recording's upload, is small and its length known before it is sent.
RequestVerdict CheckRequest(
    const boost::beast::http::request_parser<boost::beast::http::empty_body>& parser,
    size_t maxBody = 0);

// The method and the target of a request line, for the log of a request that could not be read.
struct RequestLineParts {
  std::string_view method;
  std::string_view target;
};
RequestLineParts SplitRequestLine(std::string_view line);
