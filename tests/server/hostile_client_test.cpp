// The server against clients that mean harm, on the loopback interface: each attack in the table
// is answered as stated, and what follows it on the connection is never served.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "server/client_key.h"
#include "tests/server/raw_connection.h"
#include "tests/server/server_fixture.h"

namespace {

using namespace std::chrono_literals;

constexpr auto Patience = 5s;  // Only catches a hang.
constexpr const char* Handshake =
    "GET /cgi/version.pl?version&prg=Skarvel HTTP/1.1\r\nHost: x\r\n\r\n";

ServiceSettings NoRateLimits() {
  ServiceSettings settings;
  settings.resultsPerMinute = 0;
  settings.handshakesPerMinute = 0;
  return settings;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

size_t Count(std::string_view text, std::string_view part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

std::vector<std::string> Lines(const std::string& log) {
  std::vector<std::string> lines;
  std::istringstream in(log);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(HostileClients, MalformedRequestsGet400AndTheirConnectionCloses) {
  TRunningServer server(NoRateLimits());
  struct Case {
    const char* what;
    std::string request;
    int status;
  };
  const std::string smuggled = Handshake;
  const Case cases[] = {
      {"a GET with a body that is a second request",
       "GET / HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(smuggled.size()) +
           "\r\n\r\n" + smuggled,
       400},
      {"a HEAD with a chunked body",
       "HEAD / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n" +
           std::to_string(smuggled.size()) + "\r\n" + smuggled + "\r\n0\r\n\r\n",
       400},
      {"duplicate Content-Length",
       "GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\nContent-Length: 0\r\n\r\n" + smuggled,
       400},
      {"conflicting Content-Length",
       "GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\nContent-Length: 5\r\n\r\n" + smuggled,
       400},
      {"a folded header line", "GET / HTTP/1.1\r\nHost: x\r\nX-A: a\r\n b\r\n\r\n" + smuggled, 400},
      {"a bare CR in a header", "GET / HTTP/1.1\r\nHost: x\r\nX-A: a\rb\r\n\r\n" + smuggled, 400},
      {"a bare LF ending a header", "GET / HTTP/1.1\r\nHost: x\nX-A: a\r\n\r\n" + smuggled, 400},
      {"a header without a colon", "GET / HTTP/1.1\r\nHost: x\r\nNoColon\r\n\r\n" + smuggled, 400},
      {"white space before a colon", "GET / HTTP/1.1\r\nHost : x\r\n\r\n" + smuggled, 400},
      {"HTTP/1.1 without Host", "GET / HTTP/1.1\r\nX-A: a\r\n\r\n" + smuggled, 400},
      {"two Hosts", "GET / HTTP/1.1\r\nHost: x\r\nHost: y\r\n\r\n" + smuggled, 400},
      {"17 KiB of headers",
       "GET / HTTP/1.1\r\nHost: x\r\nX-Filler: " + std::string(17 * 1024, 'x') + "\r\n\r\n", 431},
      {"a request line of 9 KiB",
       "GET /" + std::string(9 * 1024, 'a') + " HTTP/1.1\r\nHost: x\r\n\r\n" + smuggled, 414},
      {"an unknown method", "BREW / HTTP/1.1\r\nHost: x\r\n\r\n" + smuggled, 400},
      {"a POST with a body",
       "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(smuggled.size()) +
           "\r\n\r\n" + smuggled,
       405},
  };
  for (const auto& c : cases) {
    TRawConnection connection(server.Port());
    ASSERT_TRUE(connection.Connected()) << c.what;
    connection.Send(c.request);
    bool closed = false;
    const std::string reply = connection.ReadUntilClosed(Patience, &closed);
    EXPECT_TRUE(reply.starts_with("HTTP/1.1 " + std::to_string(c.status) + " "))
        << c.what << ": " << reply.substr(0, 80);
    EXPECT_EQ(Count(reply, "HTTP/1.1 "), 1u) << c.what << ": the smuggled request was answered";
    EXPECT_TRUE(closed) << c.what;
  }
  // Not one handshake was served: every one of them came after something refused.
  EXPECT_EQ(server.Log().find("version&prg=Skarvel\" 200"), std::string::npos) << server.Log();

  // The same raw client is served when it behaves.
  TRawConnection polite(server.Port());
  polite.Send(Handshake);
  EXPECT_EQ(polite.ReadReply(Patience).status, 200);
}

TEST(HostileClients, ManyRangesGetOneWholeReply) {
  const std::string picture(20000, 'p');
  TRunningServer server(NoRateLimits(), {}, [&](const std::filesystem::path& web) {
    WriteFile(web / "screenshots" / "menu.png", picture);
  });
  std::string ranges = "bytes=0-";
  for (int i = 1; i < 400; ++i) ranges += ",0-";
  TRawConnection connection(server.Port());
  connection.Send("GET /screenshots/menu.png HTTP/1.1\r\nHost: x\r\nRange: " + ranges + "\r\n\r\n");
  const auto reply = connection.ReadReply(Patience);
  EXPECT_EQ(reply.status, 200);
  EXPECT_EQ(reply.body, picture);
  EXPECT_EQ(reply.head.find("multipart"), std::string::npos);
  // Nothing more than the one copy follows.
  EXPECT_EQ(connection.ReadUntilClosed(200ms), "");
}

TEST(HostileClients, A429OrA404KeepsTheConnectionOpen) {
  ServiceSettings settings = NoRateLimits();
  settings.handshakesPerMinute = 1;
  TRunningServer server(settings);
  TRawConnection connection(server.Port());
  const std::pair<std::string, int> exchanges[] = {
      {Handshake, 200},
      {Handshake, 429},
      {"GET /nothing HTTP/1.1\r\nHost: x\r\n\r\n", 404},
      {"GET /style.css HTTP/1.1\r\nHost: x\r\n\r\n", 200},
  };
  for (const auto& [request, status] : exchanges) {
    ASSERT_TRUE(connection.Send(request));
    EXPECT_EQ(connection.ReadReply(Patience).status, status) << request;
  }
}

TEST(HostileClients, AQueryThatIsNoUtf8Gets400) {
  TRunningServer server(NoRateLimits());
  const std::string table = TRunningServer::TableTarget;
  for (const std::string& target : std::vector<std::string>{
           table + "&country=%FF%FE", "/scores.json?country=%FF%FE", "/scores.json?country=%C0%AF",
           "/scores.json?country=%ED%A0%80", table + "&country=ab%C3", "/scores.json?%FF=1"}) {
    const auto [status, body] = server.Get(target);
    EXPECT_EQ(status, 400) << target;
    EXPECT_EQ(body.find('\xFF'), std::string::npos) << target;
  }
  // Countries in any script are still fine.
  EXPECT_EQ(server.Get("/scores.json?country=%C3%98sterrike").first, 200);
  EXPECT_EQ(server.Get(table + "&country=%E6%97%A5%E6%9C%AC").first, 200);
}

TEST(HostileClients, ALinkOutOfTheWebRootIsNotFollowed) {
  TRunningServer server(NoRateLimits(), {}, [](const std::filesystem::path& web) {
    WriteFile(web / "screenshots" / "day.png", "inside");
    WriteFile(web.parent_path() / "secret.png", "outside");
    std::filesystem::create_symlink(web.parent_path() / "secret.png",
                                    web / "screenshots" / "leak.png");
    std::filesystem::create_symlink(web.parent_path(), web / "screenshots" / "up");
    std::filesystem::create_directories(web.parent_path() / "elsewhere");
    WriteFile(web.parent_path() / "elsewhere" / "font.otf", "outside");
    std::filesystem::create_directory_symlink(web.parent_path() / "elsewhere", web / "fonts");
  });
  EXPECT_EQ(server.Get("/screenshots/day.png"), std::make_pair(200, std::string("inside")));
  for (const char* target :
       {"/screenshots/leak.png", "/screenshots/up/secret.png", "/fonts/font.otf"}) {
    const auto [status, body] = server.Get(target);
    EXPECT_EQ(status, 404) << target;
    EXPECT_EQ(body.find("outside"), std::string::npos) << target;
  }
}

TEST(HostileClients, EveryLogLineEndsAndCarriesItsOwnNote) {
  TRunningServer server(NoRateLimits());
  // A line is written once its reply has gone out, which the client may see first: each request
  // waits for the line of the one before it, so the lines come in order.
  auto waitForLines = [&](size_t count) {
    for (int i = 0; i < 250 && Count(server.Log(), "\n") < count; ++i) {
      std::this_thread::sleep_for(20ms);
    }
  };
  {
    // A target of backslashes, each shown as four bytes in the log: a line of over 1,100 bytes.
    TRawConnection connection(server.Port());
    connection.Send("GET /" + std::string(1000, '\\') + " HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_NE(connection.ReadReply(Patience).status, -1);
  }
  waitForLines(1);
  {
    TRawConnection connection(server.Port());
    connection.Send("GET / HTTP/1.1\r\nHost: x\r\nX-A: a\rb\r\n\r\n");
    connection.ReadUntilClosed(Patience);
  }
  waitForLines(2);
  EXPECT_EQ(server.Get(TRunningServer::HandshakeTarget).first, 200);
  waitForLines(3);
  const std::string log = server.Log();
  ASSERT_TRUE(log.ends_with('\n')) << log;
  const auto lines = Lines(log);
  ASSERT_EQ(lines.size(), 3u) << log;
  EXPECT_GT(lines[0].size(), 1100u);
  EXPECT_LT(lines[0].size(), 4096u);
  EXPECT_TRUE(lines[0].find("\\x5c\\x5c") != std::string::npos &&
              lines[0].find("...") != std::string::npos)
      << lines[0];
  EXPECT_NE(lines[1].find("\" 400 "), std::string::npos) << lines[1];
  EXPECT_TRUE(lines[1].ends_with(" bare CR")) << lines[1];
  // The handshake's line has no note: none is left over from the refusal before it.
  EXPECT_NE(lines[2].find("\"GET /cgi/version.pl?version&prg=Skarvel\" 200 "), std::string::npos)
      << lines[2];
  EXPECT_TRUE(lines[2].ends_with("ms")) << lines[2];
}

TEST(HostileClients, IdleConnectionsDoNotDelayAPoliteRequest) {
  ConnectionLimits limits;
  limits.maxConnectionsPerClient = 1000;
  TRunningServer server(NoRateLimits(), limits);
  std::vector<std::unique_ptr<TRawConnection>> idle;
  for (int i = 0; i < 200; ++i) {
    idle.push_back(std::make_unique<TRawConnection>(server.Port()));
    ASSERT_TRUE(idle.back()->Connected());
  }
  // Some begin a request and never end it.
  for (int i = 0; i < 50; ++i) idle[i]->Send("GET / HTTP/1.1\r\nX-Dri");
  TRawConnection polite(server.Port());
  polite.Send("GET / HTTP/1.1\r\nHost: x\r\n\r\n");
  const auto reply = polite.ReadReply(Patience);
  EXPECT_EQ(reply.status, 200);
  EXPECT_NE(reply.body.find("Skarvel"), std::string::npos);
}

TEST(HostileClients, SilentConnectionsAreClosedAtTheFirstByteDeadline) {
  ConnectionLimits limits;
  limits.firstByteTimeout = 300ms;
  TRunningServer server(NoRateLimits(), limits);
  // One never sends anything; one is kept alive after a request and then says nothing more.
  TRawConnection silent(server.Port());
  TRawConnection keptAlive(server.Port());
  keptAlive.Send(Handshake);
  EXPECT_EQ(keptAlive.ReadReply(Patience).status, 200);
  EXPECT_TRUE(silent.ClosedWithin(Patience));
  EXPECT_TRUE(keptAlive.ClosedWithin(Patience));
}

TEST(HostileClients, OneAddressHoldsNoMoreThanItsShareOfConnections) {
  ConnectionLimits limits;
  limits.maxConnectionsPerClient = 3;
  TRunningServer server(NoRateLimits(), limits);
  std::vector<std::unique_ptr<TRawConnection>> held;
  for (int i = 0; i < 3; ++i) {
    held.push_back(std::make_unique<TRawConnection>(server.Port(), "127.0.0.1"));
    // Each is counted once the server has taken it up: one request answered shows that.
    held.back()->Send(Handshake);
    ASSERT_EQ(held.back()->ReadReply(Patience).status, 200);
  }
  {
    TRawConnection fourth(server.Port(), "127.0.0.1");
    fourth.Send(Handshake);
    bool closed = false;
    const std::string reply = fourth.ReadUntilClosed(Patience, &closed);
    EXPECT_TRUE(reply.starts_with("HTTP/1.1 429 ")) << reply;
    EXPECT_TRUE(closed);
  }
  // Another address has its own share.
  TRawConnection other(server.Port(), "127.0.0.2");
  ASSERT_TRUE(other.Connected());
  other.Send(Handshake);
  EXPECT_EQ(other.ReadReply(Patience).status, 200);
  // A connection closed gives its place back.
  held.pop_back();
  bool served = false;
  for (int i = 0; i < 50 && !served; ++i) {
    TRawConnection again(server.Port(), "127.0.0.1");
    again.Send(Handshake);
    served = again.ReadReply(Patience).status == 200;
    if (!served) std::this_thread::sleep_for(20ms);
  }
  EXPECT_TRUE(served);
}

TEST(HostileClients, AtTheGlobalCapTheLongestIdleConnectionMakesRoom) {
  ConnectionLimits limits;
  limits.maxConnections = 3;
  TRunningServer server(NoRateLimits(), limits);
  std::vector<std::unique_ptr<TRawConnection>> kept;
  for (int i = 0; i < 3; ++i) {
    kept.push_back(std::make_unique<TRawConnection>(server.Port()));
    kept.back()->Send(Handshake);
    ASSERT_EQ(kept.back()->ReadReply(Patience).status, 200);
    std::this_thread::sleep_for(10ms);
  }
  TRawConnection newcomer(server.Port());
  newcomer.Send(Handshake);
  EXPECT_EQ(newcomer.ReadReply(Patience).status, 200);
  EXPECT_TRUE(kept[0]->ClosedWithin(Patience));
  // The others are still there.
  for (int i = 1; i < 3; ++i) {
    kept[i]->Send(Handshake);
    EXPECT_EQ(kept[i]->ReadReply(Patience).status, 200) << i;
  }
}

TEST(HostileClients, ClientKeysCountAnIpv6NetworkAsOne) {
  EXPECT_EQ(ClientKey("192.0.2.7"), "192.0.2.7");
  EXPECT_EQ(ClientKey("::ffff:192.0.2.7"), "192.0.2.7");
  EXPECT_EQ(ClientKey("2001:db8:1:2:aaaa::1"), ClientKey("2001:db8:1:2:bbbb:cccc:dddd:eeee"));
  EXPECT_EQ(ClientKey("2001:db8:1:2::9"), "2001:db8:1:2::/64");
  EXPECT_NE(ClientKey("2001:db8:1:2::1"), ClientKey("2001:db8:1:3::1"));
  EXPECT_EQ(ClientKey("not an address"), "not an address");
}

}  // namespace
