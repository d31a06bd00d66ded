// Sending a result to a test score server on the loopback interface: what the server receives and
// decodes, and every way the exchange can fail without a second request or a hang.
#include "online/result_exchange.h"

#include <gtest/gtest.h>

#include "tests/support/result_decoder.h"
#include "tests/support/scripted_http_server.h"

namespace {

using namespace std::chrono_literals;
using Reply = TScriptedHttpServer::Reply;

std::string Ok(std::string_view body) {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
         std::string(body);
}

THttpTimeouts ShortTimeouts() {
  THttpTimeouts timeouts;
  timeouts.Connect = 300ms;
  timeouts.Read = 300ms;
  timeouts.Request = 3000ms;
  timeouts.ErrorBodyRead = 300ms;
  return timeouts;
}

// The request target of a recorded request.
std::string TargetOf(const std::string& request) {
  const size_t start = request.find(' ') + 1;
  return request.substr(start, request.find(' ', start) - start);
}

TEST(SendResultToServer, SendsTheEncodedPayloadWithTheServerValueAfterTheHandshake) {
  TScriptedHttpServer server({{Ok("OK|1.2|news|x|SV-77|tail")}, {Ok("OK thanks")}});
  THttpClient client;
  client.SetTimeouts(ShortTimeouts());
  EXPECT_TRUE(SendResultToServer(client, server.Server(), 'K', "Ulrike", 4321, "NORWAY"));

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(TargetOf(requests[0].Bytes), "/cgi/version.pl?version&prg=Skarvel");
  const std::string prefix = "/cgi/version.pl?hs&prg=Skarvel&inf=";
  const std::string target = TargetOf(requests[1].Bytes);
  ASSERT_EQ(target.rfind(prefix, 0), 0u) << target;
  const std::string letters = target.substr(prefix.size());
  EXPECT_EQ(letters.find_first_not_of(ResultAlphabet), std::string::npos) << letters;
  EXPECT_EQ(DecodeResult(letters), "type=0|name=Ulrike|score=4321|key=K|p=SV-77|add=NORWAY|z=000");
}

// What the game sends with a recording in hand, by what the handshake's sixth field says: an
// older server (no sixth field, or another) gets exactly the two GETs it always got; a server
// that takes recordings gets the recording first, and the result even when it refused the upload.
TEST(SendResultToServer, UploadsTheRecordingOnlyToAServerThatTakesRecordings) {
  const std::vector<uint8_t> recording = {'S', 'K', 'R', 'P', 0, 1, 0x80, 0xFF};
  struct Case {
    const char* handshake;
    const char* uploadReply;  // nullptr: no upload expected
  };
  for (const Case& c :
       {Case{"OK|Skarvel|world scores|1|SV-77|", nullptr},
        Case{"OK|Skarvel|world scores|1|SV-77", nullptr},
        Case{"OK|Skarvel|world scores|1|SV-77|replay", nullptr},
        Case{"OK|Skarvel|world scores|1|SV-77|replays", "HTTP/1.1 200 OK\r\n"},
        Case{"OK|Skarvel|world scores|1|SV-77|replays|later", "HTTP/1.1 409 X\r\n"}}) {
    std::vector<Reply> replies = {{Ok(c.handshake)}};
    if (c.uploadReply) {
      replies.push_back({std::string(c.uploadReply) + "Content-Length: 2\r\n\r\nOK"});
    }
    replies.push_back({Ok("OK")});
    TScriptedHttpServer server(replies);
    THttpClient client;
    client.SetTimeouts(ShortTimeouts());
    EXPECT_TRUE(SendResultToServer(client, server.Server(), 'K', "Ulrike", 4321, "NORWAY",
                                   THttpClient::Clock::now() + 5s, recording))
        << c.handshake;
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), c.uploadReply ? 3u : 2u) << c.handshake;
    EXPECT_TRUE(requests.front().Bytes.starts_with("GET /cgi/version.pl?version&prg=Skarvel "));
    EXPECT_TRUE(requests.back().Bytes.starts_with("GET /cgi/version.pl?hs&prg=Skarvel&inf="));
    if (!c.uploadReply) continue;
    const std::string& upload = requests[1].Bytes;
    EXPECT_TRUE(upload.starts_with("POST /cgi/version.pl?replay&prg=Skarvel&p=SV-77 HTTP/1.1\r\n"))
        << upload;
    EXPECT_NE(upload.find("\r\nContent-Length: 8\r\n"), std::string::npos) << upload;
    EXPECT_TRUE(upload.ends_with("\r\n\r\n" + std::string(recording.begin(), recording.end())));
  }
}

TEST(FetchStartTicket, TakesOnlyATicketShapedAnswer) {
  struct Case {
    std::string reply;
    std::string ticket;
  };
  for (const Case& c : {Case{Ok("OK|6a1b2c3d-00ff-abc"), "6a1b2c3d-00ff-abc"}, Case{Ok("OK|"), ""},
                        Case{Ok("OK|<script>"), ""}, Case{Ok("OK|" + std::string(200, 'a')), ""},
                        Case{"HTTP/1.1 404 Not Found\r\nContent-Length: 2\r\n\r\nOK", ""}}) {
    TScriptedHttpServer server({{c.reply, true}});
    THttpClient client;
    client.SetTimeouts(ShortTimeouts());
    EXPECT_EQ(FetchStartTicket(client, server.Server(), THttpClient::Clock::now() + 3s), c.ticket)
        << c.reply;
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_TRUE(server.Requests()[0].Bytes.starts_with("GET /cgi/version.pl?ticket&prg=Skarvel "));
  }
}

TEST(SendResultToServer, FailsWithoutSendingTheResultWhenTheHandshakeIsRefused) {
  struct Case {
    const char* name;
    Reply handshake;
  };
  const Case cases[] = {
      {"not OK", {Ok("Error: unknown program")}},
      {"empty", {Ok("")}},
      {"OK in an error page", {"HTTP/1.1 500 Oops\r\nContent-Length: 2\r\n\r\nOK"}},
      {"redirect", {"HTTP/1.1 302 Found\r\nLocation: /OK\r\nContent-Length: 0\r\n\r\n"}},
      {"OK pointing elsewhere",
       {"HTTP/1.1 200 OK\r\nLocation: /other\r\nContent-Length: 8\r\n\r\nOK|||||"}},
      {"closed at once", {"", true}},
  };
  for (const Case& c : cases) {
    TScriptedHttpServer server({c.handshake, {Ok("OK")}});
    THttpClient client;
    client.SetTimeouts(ShortTimeouts());
    EXPECT_FALSE(SendResultToServer(client, server.Server(), 'K', "A", 1, "B")) << c.name;
    EXPECT_EQ(server.Requests().size(), 1u) << c.name;
  }
}

TEST(SendResultToServer, FailsWhenTheResultIsNotAcceptedOrTheServerIsSilent) {
  Reply silent;
  silent.Silent = true;
  const Reply answers[] = {{Ok("DENIED")}, silent, {"HTTP/1.1 404 Not Found\r\n\r\n", true}};
  for (const Reply& answer : answers) {
    TScriptedHttpServer server({{Ok("OK||||v|")}, answer});
    THttpClient client;
    client.SetTimeouts(ShortTimeouts());
    EXPECT_FALSE(SendResultToServer(client, server.Server(), 'K', "A", 1, "B")) << answer.Bytes;
    EXPECT_EQ(server.Requests().size(), 2u);
  }
}

TEST(SendResultToServer, SendsTheResultOnceEvenWhenTheServerHangsUpWithoutAnswering) {
  // The server keeps the handshake's connection open, stores the result that comes on it and
  // closes without a byte of answer: the result must not go out again on a new connection.
  Reply storeAndDrop;
  storeAndDrop.Drop = true;
  TScriptedHttpServer server({{Ok("OK||||v|")}, storeAndDrop, {Ok("OK")}});
  THttpClient client;
  client.SetTimeouts(ShortTimeouts());
  EXPECT_FALSE(SendResultToServer(client, server.Server(), 'K', "A", 1, "B"));
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(TargetOf(requests[1].Bytes).rfind("/cgi/version.pl?hs&", 0), 0u);
}

TEST(SendResultToServer, EndsTheWholeExchangeByItsDeadline) {
  // Each answer comes within the bound of its own request, both together not within the
  // submission's: the exchange gives up at the deadline instead of taking their sum.
  Reply slowHandshake{Ok("OK||||v|")};
  slowHandshake.Delay = 600ms;
  Reply slowResult{Ok("OK")};
  slowResult.Delay = 900ms;
  TScriptedHttpServer server({slowHandshake, slowResult});
  THttpClient client;
  THttpTimeouts timeouts = ShortTimeouts();
  timeouts.Read = 2000ms;
  client.SetTimeouts(timeouts);
  const auto start = THttpClient::Clock::now();
  EXPECT_FALSE(SendResultToServer(client, server.Server(), 'K', "A", 1, "B", start + 1000ms));
  EXPECT_EQ(server.Requests().size(), 2u);
  // Given up before the server's answer, which comes after 1500 ms.
  EXPECT_LT(THttpClient::Clock::now() - start, 1450ms);
}

TEST(SendResultToServer, FailsWhenNoServerListens) {
  THttpClient client;
  client.SetTimeouts(ShortTimeouts());
  // Port 1 on the loopback interface: nothing of ours listens there, so the connection is refused.
  EXPECT_FALSE(SendResultToServer(client, "127.0.0.1:1", 'K', "A", 1, "B"));
  EXPECT_FALSE(SendResultToServer(client, "bad host name", 'K', "A", 1, "B"));
}

TEST(FetchReply, KeepsWhatArrivedOfABodyThatBrokeOff) {
  TScriptedHttpServer server(
      {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nOK\r\n", true}});
  THttpClient client;
  client.SetTimeouts(ShortTimeouts());
  EXPECT_EQ(FetchReply(client, server.Url("/")), "OK");
}

}  // namespace
