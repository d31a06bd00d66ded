// The response reader on bytes held in memory, handed out in pieces of every size: status codes,
// headers, interim answers, body framing, the line and size bounds, and the errors.
#include "online/http_response.h"

#include <gtest/gtest.h>

#include "online/http_errors.h"
#include "tests/support/memory_byte_source.h"

namespace {

using namespace std::chrono_literals;

// Piece sizes that cut lines, line ends and chunks everywhere, and one that takes all at once.
constexpr size_t Pieces[] = {1, 2, 7, 4096};

struct Read {
  std::string Body;
  THttpResponseResult Result;
};

Read ReadAll(std::string_view bytes, size_t piece) {
  TMemoryByteSource source(bytes, piece);
  THttpReader reader(source);
  Read read;
  read.Result = ReadResponse(reader, read.Body, nullptr, 2000ms);
  return read;
}

TEST(ParseStatusCode, ReadsTheSecondWordAsADecimalNumber) {
  struct Case {
    const char* line;
    int code;
  };
  const Case cases[] = {
      {"HTTP/1.1 200 OK", 200},
      {"HTTP/1.0 404 Not Found", 404},
      {"HTTP/1.1 302", 302},
      {"HTTP/1.1  200 OK", 200},
      {"HTTP/1.1 2OO OK", -1},
      {"HTTP/1.1", -1},
      {"", -1},
      {"HTTP/1.1 -200 OK", -1},
      {"HTTP/1.1 9999999999 x", -1},
      {"ICY 200 OK", 200},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseStatusCode(c.line), c.code) << c.line;
}

TEST(ReadResponse, FramesTheBodyHoweverTheBytesArrive) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string body;
    bool keepAlive;
  };
  const Case cases[] = {
      {"length", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", "hello", true},
      {"length, bare LF line ends", "HTTP/1.1 200 OK\nContent-Length: 2\n\nOK", "OK", true},
      {"length zero", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", "", true},
      {"length beyond the end", "HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nshort", "short",
       false},
      {"chunks of 5 and 3",
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n3\r\nabc\r\n0\r\n\r\n",
       "helloabc", true},
      {"chunks with extensions and trailers",
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n"
       "A;name=value\r\n0123456789\r\n0\r\nX-Checksum: 1\r\nX-More: 2\r\n\r\n",
       "0123456789", true},
      {"chunked wins over a length",
       "HTTP/1.1 200 OK\r\nContent-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n"
       "2\r\nOK\r\n0\r\n\r\n",
       "OK", true},
      {"unreadable chunk size", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n\r\n",
       "", true},
      {"last chunk at the connection's end",
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nOK\r\n0\r\n", "OK", false},
      {"until close", "HTTP/1.1 200 OK\r\nServer: x\r\n\r\nOK|1|2", "OK|1|2", false},
      {"interim answers first",
       "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 102 Processing\r\nX: y\r\n\r\n"
       "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nOK",
       "OK", true},
      {"blank lines before the status", "\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nx",
       "x", true},
      {"no content", "HTTP/1.1 204 No Content\r\n\r\n", "", true},
      {"asked to close", "HTTP/1.1 200 OK\r\nConnection:  CLOSE \r\nContent-Length: 1\r\n\r\nx",
       "x", false},
      {"a proxy asked to close",
       "HTTP/1.1 200 OK\r\nProxy-Connection: close\r\nContent-Length: 1\r\n\r\nx", "x", false},
      {"HTTP/1.0 closes by default", "HTTP/1.0 200 OK\r\nContent-Length: 1\r\n\r\nx", "x", false},
      {"HTTP/1.0 asked to keep",
       "HTTP/1.0 200 OK\r\nConnection: keep-alive\r\nContent-Length: 1\r\n\r\nx", "x", true},
  };
  for (const Case& c : cases) {
    for (const size_t piece : Pieces) {
      const Read read = ReadAll(c.bytes, piece);
      EXPECT_EQ(read.Body, c.body) << c.name << ", pieces of " << piece;
      EXPECT_EQ(read.Result.KeepAlive, c.keepAlive) << c.name << ", pieces of " << piece;
    }
  }
}

TEST(ReadResponse, KeepsHeadersInOrderWithFoldedLinesJoined) {
  const Read read = ReadAll(
      "HTTP/1.1 200 OK\r\nX-Long: first\r\n  second\r\n\tthird\r\nno colon here\r\n"
      "Content-Length: 0\r\n\r\n",
      3);
  const THttpResponseHead& head = read.Result.Head;
  ASSERT_EQ(head.Headers.size(), 2u);
  EXPECT_EQ(head.Headers[0].first, "X-Long");
  EXPECT_EQ(head.Headers[0].second, "first second third");
  ASSERT_NE(head.Header("content-LENGTH"), nullptr);
  EXPECT_EQ(*head.Header("content-LENGTH"), "0");
  EXPECT_EQ(head.Header("Location"), nullptr);
}

TEST(ReadResponse, PassesEveryCookieHeaderOnIncludingThoseOfInterimAnswers) {
  TMemoryByteSource source(
      "HTTP/1.1 100 Continue\r\nSet-Cookie: early=1\r\n\r\n"
      "HTTP/1.1 200 OK\r\nset-cookie: a=1\r\nSet-Cookie2: b=2; Version=1\r\nContent-Length: "
      "0\r\n\r\n");
  THttpReader reader(source);
  std::vector<std::string> seen;
  std::string body;
  ReadResponse(
      reader, body,
      [&seen](std::string_view name, std::string_view value) {
        seen.push_back(std::string(name) + "=>" + std::string(value));
      },
      2000ms);
  EXPECT_EQ(seen, (std::vector<std::string>{"Set-Cookie=>early=1", "set-cookie=>a=1",
                                            "Set-Cookie2=>b=2; Version=1"}));
}

TEST(ReadResponse, ReportsEveryNonSuccessWithItsLineAndBodyReadWithShortWaits) {
  struct Case {
    std::string bytes;
    int code;
    std::string line;
    std::string body;
  };
  const Case cases[] = {
      {"HTTP/1.1 302 Found\r\nLocation: /x\r\nContent-Length: 5\r\n\r\nmoved", 302,
       "HTTP/1.1 302 Found", "moved"},
      // A Location header points elsewhere whatever the status: no success either.
      {"HTTP/1.1 200 OK\r\nlocation: /x\r\nContent-Length: 2\r\n\r\nOK", 200, "HTTP/1.1 200 OK",
       "OK"},
      {"HTTP/1.1 201 Created\r\nLocation: /scores/7\r\nContent-Length: 2\r\n\r\nOK", 201,
       "HTTP/1.1 201 Created", "OK"},
      {"HTTP/1.1 401 Unauthorized\r\n\r\nwho?", 401, "HTTP/1.1 401 Unauthorized", "who?"},
      {"HTTP/1.1 101 Switching Protocols\r\n\r\n", 101, "HTTP/1.1 101 Switching Protocols", ""},
      {"HTTP/1.1 304 Not Modified\r\nContent-Length: 3\r\n\r\nabc", 304,
       "HTTP/1.1 304 Not Modified", ""},
      // An error body that breaks off only shortens the message.
      {"HTTP/1.1 500 Oops\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nha", 500, "HTTP/1.1 500 Oops",
       "ha"},
      {"HTTP/1.1 503 Busy\r\nContent-Length: 99999999\r\n\r\n", 503, "HTTP/1.1 503 Busy", ""},
      // The connection's end before the empty line ends the headers of a failure.
      {"HTTP/1.1 404 Not Found\r\nServer: x", 404, "HTTP/1.1 404 Not Found", ""},
  };
  for (const Case& c : cases) {
    TMemoryByteSource source(c.bytes, 3);
    THttpReader reader(source);
    std::string body;
    try {
      ReadResponse(reader, body, nullptr, 1234ms);
      ADD_FAILURE() << c.line;
    } catch (const EHttpProtocolError& e) {
      EXPECT_EQ(e.StatusCode(), c.code) << c.line;
      EXPECT_EQ(e.StatusLine(), c.line);
      EXPECT_EQ(e.Body(), c.body) << c.line;
      EXPECT_EQ(std::string(e.what()), c.line);
    }
    EXPECT_EQ(body, "") << c.line;
    EXPECT_EQ(source.LimitedWait(), 1234ms) << c.line;
  }
}

TEST(ReadResponse, FailsWithTheErrorOfEachBrokenResponse) {
  struct Case {
    std::string bytes;
    std::string message;
    std::string partialBody;
  };
  const std::string longLine(HttpMaxLineLength + 1, 'x');
  std::string manyHeaders = "HTTP/1.1 200 OK\r\n";
  for (size_t i = 0; i <= HttpMaxHeaderLines; ++i)
    manyHeaders += "X-Header: " + std::to_string(i) + "\r\n";
  std::string bulkyHeaders = "HTTP/1.1 200 OK\r\n";
  for (int i = 0; i < 5; ++i) bulkyHeaders += "X-Bulk: " + std::string(16000, 'b') + "\r\n";
  std::string endlessContinues;
  for (int i = 0; i <= HttpMaxInterimResponses; ++i)
    endlessContinues += "HTTP/1.1 100 Continue\r\n\r\n";
  const Case cases[] = {
      {"", "Connection Closed Gracefully.", ""},
      {"\r\n\r\n", "Connection Closed Gracefully.", ""},
      {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n", "Undefined situation", ""},
      {"HTTP/1.1 200 OK", "Undefined situation", ""},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nOK|ab\r\n8\r\ncd",
       "Connection Closed Gracefully.", "OK|abcd"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nOK|ab",
       "Connection Closed Gracefully.", "OK|ab"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", "Connection Closed Gracefully.",
       ""},
      {"HTTP/1.1 200 " + longLine + "\r\n\r\n", "Max line length exceeded.", ""},
      {"HTTP/1.1 200 OK\r\nX: " + longLine + "\r\n\r\n", "Max line length exceeded.", ""},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + longLine + "\r\n",
       "Max line length exceeded.", ""},
      {manyHeaders + "\r\n", "Response header too large.", ""},
      {bulkyHeaders + "\r\n", "Response header too large.", ""},
      {endlessContinues, "Response header too large.", ""},
      {"HTTP/1.1 200 OK\r\nContent-Length: 1048577\r\n\r\n", "Response body too large.", ""},
      {"HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n", "Invalid Content-Length.", ""},
      {"HTTP/1.1 200 OK\r\nContent-Length: 5, 5\r\n\r\nhello", "Invalid Content-Length.", ""},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nFFFFFFFFFFFFFFFFFFFFFFFF\r\n",
       "Response body too large.", ""},
  };
  for (const Case& c : cases) {
    for (const size_t piece : Pieces) {
      TMemoryByteSource source(c.bytes, piece);
      THttpReader reader(source);
      std::string body;
      try {
        ReadResponse(reader, body, nullptr, 2000ms);
        ADD_FAILURE() << c.message << ": " << c.bytes.substr(0, 80);
      } catch (const EHttpError& e) {
        EXPECT_EQ(std::string(e.what()), c.message) << c.bytes.substr(0, 80);
        EXPECT_EQ(body, c.partialBody) << c.bytes.substr(0, 80);
      }
    }
  }
}

TEST(THttpReader, AcceptsLinesOfExactlyTheLimitWithOrWithoutCr) {
  const std::string line(HttpMaxLineLength, 'a');
  for (const std::string& ending : {std::string("\r\n"), std::string("\n"), std::string()}) {
    for (const size_t piece : Pieces) {
      TMemoryByteSource source(line + ending, piece);
      THttpReader reader(source);
      EXPECT_EQ(reader.ReadLine(), line);
      EXPECT_EQ(reader.ReadLine(), std::nullopt);
    }
  }
  TMemoryByteSource tooLong(line + "a\r\n", 1);
  THttpReader reader(tooLong);
  EXPECT_THROW(reader.ReadLine(), EHttpLineTooLong);
  // It stopped reading soon after the limit instead of buffering the rest.
  EXPECT_LE(tooLong.Position(), HttpMaxLineLength + 2);
}

}  // namespace
