// The protocol as the game speaks it, against the real HTTP server on the loopback interface:
// the handshake, results good and bad, the token's single use, the pages and the limits.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "protocol/result_encoding.h"
#include "protocol/result_payload.h"
#include "server/result_decoding.h"
#include "tests/server/raw_connection.h"
#include "tests/server/server_fixture.h"

namespace {

using namespace std::chrono_literals;

ServiceSettings NoRateLimits() {
  ServiceSettings settings;
  settings.resultsPerMinute = 0;
  settings.handshakesPerMinute = 0;
  return settings;
}

std::string GamePayload(const std::string& token, std::string_view name = "Ada",
                        uint16_t score = 4321, std::string_view country = "Norway") {
  return BuildResultPayload(name, score, 'S', token, country);
}

TEST(Protocol, AGoodResultIsStoredAndShown) {
  TRunningServer server(NoRateLimits());
  const auto [status, handshake] = server.Get(TRunningServer::HandshakeTarget);
  EXPECT_EQ(status, 200);
  ASSERT_TRUE(handshake.starts_with("OK|"));
  // The server value is the fifth field, and a token the server signed.
  const std::string token = HandshakeServerValue(handshake);
  EXPECT_FALSE(token.empty());

  const auto [sent, reply] = server.SendPayload(GamePayload(token, "Ada", 4321, "Norway"));
  EXPECT_EQ(sent, 200);
  EXPECT_EQ(reply, "OK");

  const auto rows = server.Store().Table({"", 0, 10});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].name, "Ada");
  EXPECT_EQ(rows[0].country, "Norway");
  EXPECT_EQ(rows[0].score, 4321);
  EXPECT_EQ(rows[0].submittedAt, server.Now());

  const auto [shown, page] = server.Get(TRunningServer::TableTarget);
  EXPECT_EQ(shown, 200);
  EXPECT_NE(page.find("<td class=\"name\">Ada</td>"), std::string::npos);
  EXPECT_NE(page.find(">4321<"), std::string::npos);
  EXPECT_NE(page.find("<td class=\"proof unproven\">unproven</td>"), std::string::npos);
  // Without a recording it is not among the proven results, which the home page and the table
  // show unless asked for all.
  const auto [homeStatus, home] = server.Get("/");
  EXPECT_EQ(homeStatus, 200);
  EXPECT_EQ(home.find(">Ada<"), std::string::npos);
  EXPECT_EQ(server.Get(TRunningServer::ProvenTableTarget).second.find(">Ada<"), std::string::npos);
  const auto [jsonStatus, json] = server.Get("/scores.json?all");
  EXPECT_EQ(jsonStatus, 200);
  EXPECT_NE(json.find("\"name\":\"Ada\",\"country\":\"Norway\",\"score\":4321"), std::string::npos);
  EXPECT_NE(json.find("\"status\":\"unproven\""), std::string::npos);
  EXPECT_EQ(server.Get("/scores.json").second.find("Ada"), std::string::npos);
}

TEST(Protocol, EveryKindOfBadResultIsRefusedAndNothingStored) {
  TRunningServer server(NoRateLimits());
  struct Case {
    const char* what;
    std::function<std::string(const std::string& token)> letters;
  };
  auto encoded = [](std::string text) {
    text.append((5 - text.size() % 5) % 5, '0');
    return EncodeResult(text);
  };
  const Case cases[] = {
      {"wrong key letter",
       [](const std::string& t) {
         return EncodeResult(BuildResultPayload("Ada", 1, 'T', t, "N"));
       }},
      {"score 65536",
       [&](const std::string& t) {
         return encoded("type=0|name=Ada|score=65536|key=S|p=" + t + "|add=N|z=");
       }},
      {"score 007",
       [&](const std::string& t) {
         return encoded("type=0|name=Ada|score=007|key=S|p=" + t + "|add=N|z=");
       }},
      {"name of 11 characters",
       [](const std::string& t) {
         return EncodeResult(BuildResultPayload("ABCDEFGHIJK", 1, 'S', t, "N"));
       }},
      {"control character",
       [](const std::string& t) {
         return EncodeResult(BuildResultPayload("A\nB", 1, 'S', t, "N"));
       }},
      {"missing field",
       [&](const std::string& t) { return encoded("type=0|name=Ada|key=S|p=" + t + "|add=N|z="); }},
      {"reordered fields",
       [&](const std::string& t) {
         return encoded("type=0|score=1|name=Ada|key=S|p=" + t + "|add=N|z=");
       }},
      {"bad padding",
       [](const std::string& t) {
         return EncodeResult(BuildResultPayload("Ada", 1, 'S', t, "N") + "00000");
       }},
      {"unknown letters",
       [](const std::string& t) {
         std::string letters = EncodeResult(BuildResultPayload("Ada", 1, 'S', t, "N"));
         letters[3] = 'O';
         return letters;
       }},
      {"letters cut short",
       [](const std::string& t) {
         const std::string letters = EncodeResult(BuildResultPayload("Ada", 1, 'S', t, "N"));
         return letters.substr(0, letters.size() - 8);
       }},
      {"no letters", [](const std::string&) { return std::string(); }},
      {"forged token",
       [](const std::string&) {
         return EncodeResult(BuildResultPayload(
             "Ada", 1, 'S', TokenSigner("not the server's secret").Issue(1'800'000'000), "N"));
       }},
      {"no token",
       [](const std::string&) { return EncodeResult(BuildResultPayload("Ada", 1, 'S', "", "N")); }},
  };
  for (const auto& c : cases) {
    const std::string token = server.Handshake();
    const auto [status, reply] = server.Get(TRunningServer::ResultTarget(c.letters(token)));
    EXPECT_EQ(status, 400) << c.what;
    EXPECT_FALSE(reply.starts_with("OK")) << c.what << ": " << reply;
    EXPECT_FALSE(reply.empty()) << c.what;
  }
  EXPECT_EQ(server.Store().Count(""), 0);
}

TEST(Protocol, ATokenIsSpentOnceAndExpiresAfterTwoHours) {
  TRunningServer server(NoRateLimits());
  const std::string token = server.Handshake();
  EXPECT_EQ(server.SendPayload(GamePayload(token)).second, "OK");
  // The same result again, and another result with the same token.
  EXPECT_EQ(server.SendPayload(GamePayload(token)).first, 400);
  EXPECT_EQ(server.SendPayload(GamePayload(token, "Bo", 9)).first, 400);
  EXPECT_EQ(server.Store().Count(""), 1);

  const std::string old = server.Handshake();
  server.SetNow(server.Now() + TokenLifetimeSeconds + 1);
  EXPECT_EQ(server.SendPayload(GamePayload(old)).first, 400);
  const std::string fresh = server.Handshake();
  server.SetNow(server.Now() + TokenLifetimeSeconds);
  EXPECT_EQ(server.SendPayload(GamePayload(fresh)).second, "OK");
  EXPECT_EQ(server.Store().Count(""), 2);
}

TEST(Protocol, ConcurrentUsesOfOneTokenStoreOneResult) {
  ConnectionLimits limits;
  limits.databaseWorkers = 8;
  TRunningServer server(NoRateLimits(), limits);
  const std::string target =
      TRunningServer::ResultTarget(EncodeResult(GamePayload(server.Handshake())));
  constexpr int Clients = 16;
  std::atomic<int> ok{0};
  std::atomic<int> refused{0};
  std::atomic<bool> go{false};
  std::vector<std::thread> clients;
  for (int i = 0; i < Clients; ++i) {
    clients.emplace_back([&] {
      while (!go) std::this_thread::yield();
      const auto [status, reply] = server.Get(target);
      (reply == "OK" ? ok : refused)++;
    });
  }
  go = true;
  for (auto& client : clients) client.join();
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(refused, Clients - 1);
  EXPECT_EQ(server.Store().Count(""), 1);
}

TEST(Protocol, LimitsResultsAndHandshakesPerAddress) {
  ServiceSettings settings;
  settings.resultsPerMinute = 3;
  settings.handshakesPerMinute = 5;
  TRunningServer server(settings);
  std::vector<std::string> tokens;
  for (int i = 0; i < 5; ++i) tokens.push_back(server.Handshake());
  const auto [status, reply] = server.Get(TRunningServer::HandshakeTarget);
  EXPECT_EQ(status, 429);
  EXPECT_FALSE(reply.starts_with("OK"));

  for (int i = 0; i < 3; ++i) EXPECT_EQ(server.SendPayload(GamePayload(tokens[i])).second, "OK");
  EXPECT_EQ(server.SendPayload(GamePayload(tokens[3])).first, 429);
  EXPECT_EQ(server.Store().Count(""), 3);
}

TEST(Protocol, AnswersOnlyItsOwnAddressesAndMethods) {
  TRunningServer server(NoRateLimits());
  for (const char* target :
       {"/nothing", "/cgi/version.pl", "/cgi/version.pl?prg=Other&version",
        "/cgi/version.pl?prg=Skarvel", "/cgi/version.pl?prg=Skarvel&show&type=1",
        "/cgi/other.pl?version&prg=Skarvel", "/../etc/passwd", "/screenshots/../../secret"}) {
    const auto [status, body] = server.Get(target);
    EXPECT_EQ(status, 404) << target;
    EXPECT_FALSE(body.starts_with("OK")) << target;
  }
  httplib::Client client("127.0.0.1", server.Port());
  for (const auto& result : {client.Post("/"), client.Put("/cgi/version.pl?version&prg=Skarvel"),
                             client.Delete("/"), client.Options("/")}) {
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 405);
    EXPECT_EQ(result->get_header_value("Allow"), "GET, HEAD");
  }
  // A method httplib does not know is a request it cannot read: refused, and the connection ends
  // there rather than its headers being taken for further requests.
  TRawConnection unknown(server.Port());
  ASSERT_TRUE(unknown.Connected());
  unknown.Send("FOO / HTTP/1.1\r\nHost: x\r\nX-Other: y\r\n\r\n");
  bool closed = false;
  const std::string reply = unknown.ReadUntilClosed(5s, &closed);
  EXPECT_TRUE(reply.starts_with("HTTP/1.1 400")) << reply;
  EXPECT_EQ(reply.find("HTTP/1.1", 1), std::string::npos) << reply;
  EXPECT_TRUE(closed);

  const auto head = client.Head(TRunningServer::TableTarget);
  ASSERT_TRUE(head);
  EXPECT_EQ(head->status, 200);
  EXPECT_TRUE(head->body.empty());
}

TEST(Protocol, PagesShowStoredMarkupAsText) {
  TRunningServer server(NoRateLimits());
  EXPECT_EQ(server.SendPayload(GamePayload(server.Handshake(), "<b>x</b>", 77, "<i>&'\"")).second,
            "OK");
  int64_t id = 0;
  ASSERT_EQ(
      server.Store().AddResult({"<script>alert(1)</script>", "Nowhere", 5, 1}, "direct", 1, &id),
      StoreOutcome::Stored);
  // Proven, so it is on the home page too.
  server.Store().SetStatus(id, ResultStatus::Proven, false);
  for (const char* target : {TRunningServer::TableTarget, TRunningServer::ProvenTableTarget, "/"}) {
    const auto [status, page] = server.Get(target);
    EXPECT_EQ(status, 200);
    EXPECT_EQ(page.find("<b>x"), std::string::npos) << target;
    EXPECT_EQ(page.find("<script"), std::string::npos) << target;
    EXPECT_EQ(page.find("<i>"), std::string::npos) << target;
    EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos) << target;
  }
  EXPECT_NE(server.Get(TRunningServer::TableTarget).second.find("&lt;b&gt;x&lt;/b&gt;"),
            std::string::npos);
  const auto [status, json] = server.Get("/scores.json?all");
  EXPECT_EQ(json.find('<'), std::string::npos);
  EXPECT_NE(json.find("\\u003cb\\u003ex"), std::string::npos);
}

TEST(Protocol, TablePagesAndTheCountryFilter) {
  TRunningServer server(NoRateLimits());
  for (int i = 0; i < 7; ++i) {
    ASSERT_EQ(server.Store().AddResult({"p" + std::to_string(i), i % 2 ? "Norway" : "Sverige",
                                        static_cast<uint16_t>(100 - i), i},
                                       "t" + std::to_string(i), i),
              StoreOutcome::Stored);
  }
  const auto [status, second] =
      server.Get(std::string(TRunningServer::TableTarget) + "&size=3&page=2");
  EXPECT_EQ(status, 200);
  EXPECT_NE(second.find(">p3<"), std::string::npos);
  EXPECT_EQ(second.find(">p2<"), std::string::npos);
  EXPECT_NE(second.find("Page 2 of 3"), std::string::npos);

  const auto [filtered, norway] =
      server.Get(std::string(TRunningServer::TableTarget) + "&country=Norway");
  EXPECT_EQ(filtered, 200);
  EXPECT_NE(norway.find(">p1<"), std::string::npos);
  EXPECT_EQ(norway.find(">p0<"), std::string::npos);

  for (const char* bad : {"&page=0", "&page=x", "&size=501", "&page=-1", "&country=%zz"}) {
    EXPECT_EQ(server.Get(std::string(TRunningServer::TableTarget) + bad).first, 400) << bad;
  }
}

TEST(Protocol, ASlowClientLosesItsWorkerAtTheTimeOut) {
  ConnectionLimits limits;
  limits.ioThreads = 1;
  limits.requestTimeout = 1s;
  TRunningServer server(NoRateLimits(), limits);

  // One byte at a time, never finishing the request: the server closes at the time-out.
  TRawConnection slow(server.Port());
  ASSERT_TRUE(slow.Connected());
  std::atomic<bool> stop{false};
  std::thread dribble([&] {
    for (const char c : std::string("GET /cgi/version.pl?version&prg=Skarvel HTTP/1.1\r\nX: ")) {
      if (stop || !slow.Send(std::string(1, c))) return;
      std::this_thread::sleep_for(100ms);
    }
    while (!stop && slow.Send("y")) std::this_thread::sleep_for(100ms);
  });
  // Meanwhile the one worker is taken: a polite request is served once the slow one is dropped.
  std::this_thread::sleep_for(200ms);
  const auto [status, body] = server.Get(TRunningServer::HandshakeTarget);
  EXPECT_EQ(status, 200);
  bool closed = false;
  slow.ReadUntilClosed(5s, &closed);
  EXPECT_TRUE(closed);
  stop = true;
  dribble.join();
}

TEST(Protocol, OversizedRequestsAreRefused) {
  TRunningServer server(NoRateLimits());
  {
    TRawConnection endless(server.Port());
    ASSERT_TRUE(endless.Connected());
    endless.Send("GET / HTTP/1.1\r\n");
    const std::string header = "X-Filler: " + std::string(1000, 'x') + "\r\n";
    for (int i = 0; i < 40 && endless.Send(header); ++i) {
    }
    bool closed = false;
    const std::string reply = endless.ReadUntilClosed(5s, &closed);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(reply.starts_with("HTTP/1.1 200"));
  }
  const auto [status, body] =
      server.Get(TRunningServer::ResultTarget(std::string(MaxResultLetters + 8, 'A')));
  EXPECT_EQ(status, 400);
  EXPECT_EQ(server.Get(TRunningServer::ResultTarget(std::string(20000, 'A'))).first, 431);
  EXPECT_EQ(server.Get(TRunningServer::ResultTarget(std::string(9000, 'A'))).first, 414);
}

}  // namespace

namespace {

TEST(Protocol, AnIdleKeptAliveConnectionGivesItsWorkerUp) {
  ConnectionLimits limits;
  limits.ioThreads = 1;
  limits.firstByteTimeout = 60s;
  TRunningServer server(NoRateLimits(), limits);
  httplib::Client idle("127.0.0.1", server.Port());
  idle.set_keep_alive(true);
  const auto first = idle.Get(TRunningServer::HandshakeTarget);
  ASSERT_TRUE(first);
  // The one worker now waits on the idle connection; a new client is served all the same, well
  // within its 3 s (the idle connection would hold the worker for a minute).
  httplib::Client other("127.0.0.1", server.Port());
  other.set_read_timeout(3, 0);
  const auto second = other.Get(TRunningServer::HandshakeTarget);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->status, 200);
}

TEST(Protocol, APageShowsAResultStoredRightAfterIt) {
  TRunningServer server(NoRateLimits());
  EXPECT_EQ(server.Get(TRunningServer::TableTarget).second.find(">Ada<"), std::string::npos);
  EXPECT_EQ(server.SendPayload(GamePayload(server.Handshake())).second, "OK");
  EXPECT_NE(server.Get(TRunningServer::TableTarget).second.find(">Ada<"), std::string::npos);
}

}  // namespace

namespace {

TEST(Protocol, BehindATrustedProxyTheForwardedClientIsCounted) {
  ServiceSettings settings = NoRateLimits();
  settings.handshakesPerMinute = 2;
  auto from = [](const std::string& forwarded) {
    return httplib::Headers{{"X-Forwarded-For", forwarded}};
  };
  {
    TRunningServer server(settings);
    server.TrustProxies({"127.0.0.1"});
    EXPECT_EQ(server.Get(TRunningServer::HandshakeTarget, from("192.0.2.1")).first, 200);
    EXPECT_EQ(server.Get(TRunningServer::HandshakeTarget, from("192.0.2.1")).first, 200);
    EXPECT_EQ(server.Get(TRunningServer::HandshakeTarget, from("192.0.2.1")).first, 429);
    // Another client behind the same proxy has its own allowance.
    EXPECT_EQ(server.Get(TRunningServer::HandshakeTarget, from("2001:db8::7")).first, 200);
    // What a client writes into the header itself comes before the proxy's own entry.
    EXPECT_EQ(server.Get(TRunningServer::HandshakeTarget, from("198.51.100.9, 192.0.2.1")).first,
              429);
  }
  {
    // Without trust the header is the client's own word, and counts for nothing.
    TRunningServer server(settings);
    EXPECT_EQ(server.Get(TRunningServer::HandshakeTarget, from("192.0.2.1")).first, 200);
    EXPECT_EQ(server.Get(TRunningServer::HandshakeTarget, from("192.0.2.2")).first, 200);
    EXPECT_EQ(server.Get(TRunningServer::HandshakeTarget, from("192.0.2.3")).first, 429);
  }
}

}  // namespace
