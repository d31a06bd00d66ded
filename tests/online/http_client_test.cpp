// THttpClient against a real server on the loopback interface: what goes on the wire, how bodies
// are framed, connection reuse, cookies, redirects refused, and bounded waits.
#include "online/http_client.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "online/http_errors.h"
#include "tests/support/scripted_http_server.h"

namespace {

using namespace std::chrono_literals;
using Reply = TScriptedHttpServer::Reply;
using Clock = std::chrono::steady_clock;

std::string Ok(std::string_view body, std::string_view headers = "") {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" +
         std::string(headers) + "\r\n" + std::string(body);
}

// Waits short enough that a test of a silent server ends quickly, long enough for a busy machine.
THttpTimeouts ShortTimeouts() {
  THttpTimeouts timeouts;
  timeouts.Connect = 300ms;
  timeouts.Read = 300ms;
  timeouts.Request = 3000ms;
  timeouts.ErrorBodyRead = 300ms;
  return timeouts;
}

std::string RequestBytes(const TScriptedHttpServer& server, std::string_view target,
                         std::string_view cookieLines = "") {
  return "GET " + std::string(target) +
         " HTTP/1.1\r\n"
         "Content-Type: text/html\r\n"
         "Host: 127.0.0.1:" +
         std::to_string(server.Port()) +
         "\r\n"
         "Accept: text/html, */*\r\n"
         "User-Agent: Mozilla/3.0 (compatible; Skarvel)\r\n" +
         std::string(cookieLines) + "\r\n";
}

TEST(HttpClient, SendsTheRequestByteForByteWithTheQueryUnchanged) {
  TScriptedHttpServer server({Ok("OK|1|2|3|4|")});
  THttpClient client;
  const std::string target = "/cgi/version.pl?version&prg=Skarvel";
  EXPECT_EQ(client.Get(server.Url(target)), "OK|1|2|3|4|");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Bytes, RequestBytes(server, target));
}

TEST(HttpClient, ReachesAServerByItsHostName) {
  // "localhost" goes through the resolver (the hosts file), unlike an address.
  TScriptedHttpServer server({Ok("here")});
  THttpClient client;
  client.SetTimeouts(ShortTimeouts());
  EXPECT_EQ(client.Get("http://localhost:" + std::to_string(server.Port()) + "/x"), "here");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_NE(requests[0].Bytes.find("\r\nHost: localhost:" + std::to_string(server.Port()) + "\r\n"),
            std::string::npos);
}

TEST(HttpClient, ReadsBodiesByLengthByChunksAndUntilTheConnectionCloses) {
  struct Case {
    const char* name;
    Reply reply;
    std::string body;
  };
  const Case cases[] = {
      {"length", {Ok("hello")}, "hello"},
      {"chunks of 5 and 3",
       {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n3\r\nabc\r\n0\r\n\r\n"},
       "helloabc"},
      {"until close", {"HTTP/1.1 200 OK\r\n\r\nOK|read|to|the|end", true}, "OK|read|to|the|end"},
      {"after 100 Continue",
       {"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nOK"},
       "OK"},
      {"empty", {"HTTP/1.1 204 No Content\r\n\r\n"}, ""},
  };
  for (const Case& c : cases) {
    TScriptedHttpServer server({c.reply});
    THttpClient client;
    client.SetTimeouts(ShortTimeouts());
    EXPECT_EQ(client.Get(server.Url("/")), c.body) << c.name;
  }
}

TEST(HttpClient, FailsOnARedirectOrAnyLocationWithoutFetchingTheNewLocation) {
  struct Case {
    std::string reply;
    int code;
    std::string line;
    std::string body;
  };
  const Case cases[] = {
      {"HTTP/1.1 302 Found\r\nLocation: /elsewhere\r\nContent-Length: 5\r\n\r\nmoved", 302,
       "HTTP/1.1 302 Found", "moved"},
      {"HTTP/1.1 200 OK\r\nLocation: /elsewhere\r\nContent-Length: 2\r\n\r\nOK", 200,
       "HTTP/1.1 200 OK", "OK"},
  };
  for (const Case& c : cases) {
    TScriptedHttpServer server({{c.reply}, {Ok("OK from elsewhere")}});
    THttpClient client;
    client.SetTimeouts(ShortTimeouts());
    std::string result;
    try {
      client.Get(server.Url("/cgi/version.pl?version&prg=Skarvel"), result);
      ADD_FAILURE() << c.line << ": a Location must fail the request";
    } catch (const EHttpProtocolError& e) {
      EXPECT_EQ(e.StatusCode(), c.code);
      EXPECT_EQ(e.StatusLine(), c.line);
      EXPECT_EQ(e.Body(), c.body);
    }
    EXPECT_EQ(result, "") << c.line;
    EXPECT_EQ(server.Requests().size(), 1u) << c.line;
  }
}

TEST(HttpClient, ReportsErrorStatusesWithTheirLineAndBody) {
  struct Case {
    std::string reply;
    int code;
    std::string body;
  };
  const Case cases[] = {
      {"HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\ngone", 404, "gone"},
      {"HTTP/1.1 500 Internal Server Error\r\n\r\nbroken", 500, "broken"},
      {"HTTP/1.1 304 Not Modified\r\n\r\n", 304, ""},
      {"garbage\r\n\r\n", -1, ""},
  };
  for (const Case& c : cases) {
    // The server keeps the connection open: the error body must end by its framing or by the
    // short wait for error bodies, never by the whole request's bound.
    TScriptedHttpServer server({c.reply});
    THttpClient client;
    client.SetTimeouts(ShortTimeouts());
    std::string result = "stale";
    try {
      client.Get(server.Url("/"), result);
      ADD_FAILURE() << c.reply;
    } catch (const EHttpProtocolError& e) {
      EXPECT_EQ(e.StatusCode(), c.code) << c.reply;
      EXPECT_EQ(e.Body(), c.body) << c.reply;
      EXPECT_EQ(result, "") << c.reply;
    }
  }
}

TEST(HttpClient, KeepsTheConnectionForTheNextRequestUntilTheServerAsksToClose) {
  TScriptedHttpServer server({{Ok("one")},
                              {Ok("two", "Connection: close\r\n")},
                              {Ok("three", "Connection: Keep-Alive\r\n")},
                              {Ok("four")}});
  THttpClient client;
  client.SetTimeouts(ShortTimeouts());
  EXPECT_EQ(client.Get(server.Url("/a")), "one");
  EXPECT_EQ(client.Get(server.Url("/b")), "two");
  EXPECT_EQ(client.Get(server.Url("/c")), "three");
  EXPECT_EQ(client.Get(server.Url("/d")), "four");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[0].Connection, 0);
  EXPECT_EQ(requests[1].Connection, 0);
  EXPECT_EQ(requests[2].Connection, 1);  // "Connection: close" was obeyed
  EXPECT_EQ(requests[3].Connection, 1);
  EXPECT_EQ(server.Connections(), 2);
}

TEST(HttpClient, DoesNotReuseAConnectionOnWhichTheServerSentMoreThanItsAnswer) {
  TScriptedHttpServer server({{Ok("one") + "HTTP/1.1 200 OK\r\n"}, {Ok("two")}});
  THttpClient client;
  client.SetTimeouts(ShortTimeouts());
  EXPECT_EQ(client.Get(server.Url("/")), "one");
  EXPECT_EQ(client.Get(server.Url("/")), "two");
  EXPECT_EQ(server.Connections(), 2);
}

TEST(HttpClient, OpensANewConnectionForAnotherPort) {
  TScriptedHttpServer first({{Ok("1")}, {Ok("3")}});
  TScriptedHttpServer second({Ok("2")});
  THttpClient client;
  client.SetTimeouts(ShortTimeouts());
  EXPECT_EQ(client.Get(first.Url("/")), "1");
  EXPECT_EQ(client.Get(second.Url("/")), "2");
  EXPECT_EQ(client.Get(first.Url("/")), "3");
  EXPECT_EQ(first.Connections(), 2);
  EXPECT_EQ(second.Connections(), 1);
}

TEST(HttpClient, ReplacesAKeptConnectionThatTheServerClosedWhileIdle) {
  // The server closes the connection after its answer, as servers do when their keep-alive time
  // has run out: the next request goes out on a new connection, once.
  TScriptedHttpServer server({{Ok("one"), true}, {Ok("two")}});
  THttpClient client;
  client.SetTimeouts(ShortTimeouts());
  EXPECT_EQ(client.Get(server.Url("/")), "one");
  std::this_thread::sleep_for(200ms);  // the server's end of the connection has come through
  EXPECT_EQ(client.Get(server.Url("/")), "two");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].Connection, 1);
}

TEST(HttpClient, NeverSendsARequestTwiceOnceItWentOut) {
  // The server takes the request on the kept connection, acts on it (a result stored) and closes
  // without a byte of answer. Sending it again would store it twice: the request fails instead.
  Reply drop;
  drop.Drop = true;
  TScriptedHttpServer server({{Ok("one")}, drop, {Ok("two")}});
  THttpClient client;
  client.SetTimeouts(ShortTimeouts());
  EXPECT_EQ(client.Get(server.Url("/a")), "one");
  EXPECT_THROW(client.Get(server.Url("/b")), EHttpConnectionClosed);
  ASSERT_EQ(server.Requests().size(), 2u);
  EXPECT_EQ(server.Requests()[1].Connection, 0);
  // The next request of its own opens a new connection.
  EXPECT_EQ(client.Get(server.Url("/c")), "two");
  EXPECT_EQ(server.Requests().size(), 3u);
  EXPECT_EQ(server.Connections(), 2);
}

TEST(HttpClient, ReturnsTheCookiesOfAResponseWithTheNextRequest) {
  TScriptedHttpServer server(
      {{Ok("OK", "Set-Cookie: session=abc123; Path=/\r\nSet-Cookie: seen=yes\r\n")},
       {Ok("OK",
           "Set-Cookie: visitor=a-rather-long-value-of-the-kind-servers-like\r\n"
           "Set-Cookie: theme=night-sky-over-the-volcanoes\r\n")},
       {Ok("OK")}});
  THttpClient client;
  client.SetTimeouts(ShortTimeouts());
  client.Get(server.Url("/cgi/version.pl?version&prg=Skarvel"));
  client.Get(server.Url("/cgi/version.pl?hs"));
  client.Get(server.Url("/cgi/other.pl"));
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].Bytes, RequestBytes(server, "/cgi/version.pl?version&prg=Skarvel"));
  // "seen" belongs to the folder "/cgi" it was set from, "session" to the whole server.
  EXPECT_EQ(requests[1].Bytes,
            RequestBytes(server, "/cgi/version.pl?hs", "Cookie: seen=yes; session=abc123\r\n"));
  // Four cookies make the line longer than 78 characters: it is folded before a space.
  // Those of the folder come first, in the order they were set.
  EXPECT_EQ(
      requests[2].Bytes,
      RequestBytes(server, "/cgi/other.pl",
                   "Cookie: seen=yes; visitor=a-rather-long-value-of-the-kind-servers-like;\r\n"
                   " theme=night-sky-over-the-volcanoes; session=abc123\r\n"));
}

TEST(HttpClient, GivesUpOnAServerThatAcceptsAndNeverAnswers) {
  Reply silent;
  silent.Silent = true;
  TScriptedHttpServer server({silent});
  THttpClient client;
  client.SetTimeouts(ShortTimeouts());
  const auto start = Clock::now();
  try {
    client.Get(server.Url("/"));
    FAIL() << "a silent server must fail the request";
  } catch (const EHttpSocketError& e) {
    EXPECT_EQ(e.ErrorCode(), ETIMEDOUT);
    EXPECT_EQ(std::string(e.what()).rfind("Socket Error # ", 0), 0u) << e.what();
  }
  // Bounded by the read wait (300 ms); the margin only absorbs a busy machine.
  EXPECT_LT(Clock::now() - start, 2500ms);
}

TEST(HttpClient, BoundsTheWholeRequestAgainstAServerThatTricklesForever) {
  Reply trickle;
  trickle.Bytes = "HTTP/1.1 200 OK\r\n";
  trickle.DripLine = "X-Wait: 1\r\n";
  trickle.DripInterval = 20ms;
  TScriptedHttpServer server({trickle});
  THttpClient client;
  THttpTimeouts timeouts = ShortTimeouts();
  timeouts.Request = 400ms;
  client.SetTimeouts(timeouts);
  const auto start = Clock::now();
  EXPECT_THROW(client.Get(server.Url("/")), EHttpSocketError);
  EXPECT_LT(Clock::now() - start, 2500ms);
}

TEST(HttpClient, GivesUpOnAConnectionThatIsNeverAccepted) {
  // A listener that accepts nothing, whose queue is already full: the handshake of a further
  // connection is never completed.
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ASSERT_EQ(listen(listener, 0), 0);
  ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
  std::vector<int> fillers;
  for (int i = 0; i < 4; ++i) {
    fillers.push_back(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    connect(fillers.back(), reinterpret_cast<sockaddr*>(&address), sizeof(address));
  }
  THttpClient client;
  client.SetTimeouts(ShortTimeouts());
  const auto start = Clock::now();
  try {
    client.Get("http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/");
    ADD_FAILURE() << "an unaccepted connection must fail the request";
  } catch (const EHttpSocketError& e) {
    EXPECT_EQ(e.ErrorCode(), ETIMEDOUT) << e.what();
  }
  EXPECT_LT(Clock::now() - start, 2500ms);
  for (const int fd : fillers) close(fd);
  close(listener);
}

TEST(HttpClient, ReportsARefusedConnectionAsASocketError) {
  // A port that was just free: nothing listens there.
  const int probe = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  ASSERT_EQ(bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ASSERT_EQ(getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length), 0);
  close(probe);
  THttpClient client;
  client.SetTimeouts(ShortTimeouts());
  try {
    client.Get("http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/");
    FAIL() << "nothing listens there";
  } catch (const EHttpSocketError& e) {
    EXPECT_EQ(e.ErrorCode(), ECONNREFUSED);
    EXPECT_EQ(std::string(e.what()),
              "Socket Error # " + std::to_string(ECONNREFUSED) + "\nConnection refused");
  }
}

TEST(HttpClient, RefusesBodiesBeyondOneMebibyte) {
  const std::string mebibyte(HttpMaxBodySize, 'x');
  struct Case {
    const char* name;
    Reply reply;
  };
  const Case cases[] = {
      {"length", {"HTTP/1.1 200 OK\r\nContent-Length: 1048577\r\n\r\nxx"}},
      {"huge length", {"HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999999\r\n\r\n"}},
      {"chunk size", {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n100001\r\nxx"}},
      {"chunks together",
       {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n100000\r\n" + mebibyte +
        "\r\n1\r\nx\r\n0\r\n\r\n"}},
      {"until close", {"HTTP/1.1 200 OK\r\n\r\n" + mebibyte + "x", true}},
  };
  for (const Case& c : cases) {
    TScriptedHttpServer server({c.reply});
    THttpClient client;
    client.SetTimeouts(ShortTimeouts());
    try {
      client.Get(server.Url("/"));
      ADD_FAILURE() << c.name;
    } catch (const EHttpError& e) {
      EXPECT_STREQ(e.what(), "Response body too large.") << c.name;
    }
  }
  // Exactly the limit is still a body.
  TScriptedHttpServer server({{"HTTP/1.1 200 OK\r\n\r\n" + mebibyte, true}});
  THttpClient client;
  client.SetTimeouts(ShortTimeouts());
  EXPECT_EQ(client.Get(server.Url("/")).size(), HttpMaxBodySize);
}

TEST(HttpClient, KeepsWhatArrivedOfABodyCutShort) {
  TScriptedHttpServer server(
      {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nOK|ab\r\n8\r\ncd", true}});
  THttpClient client;
  client.SetTimeouts(ShortTimeouts());
  std::string result;
  EXPECT_THROW(client.Get(server.Url("/"), result), EHttpConnectionClosed);
  EXPECT_EQ(result, "OK|abcd");
}

}  // namespace
