// Proof through the server: the golden recording (a scripted game played with the tests' stand-in
// archive) uploaded bound to a handshake's token and re-run by the verifier pool; a forged result;
// a table of tampered uploads; and the pool's caps.
#include <gtest/gtest.h>
#include <zstd.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "protocol/replay_format.h"
#include "server/simulating_judge.h"
#include "tests/server/raw_connection.h"
#include "tests/server/server_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_game_data.h"

namespace {

constexpr uint16_t GoldenScore = 95;

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> GoldenBytes() {
  return ReadBytes(SKARVEL_GOLDEN_RECORDING);
}

std::vector<uint8_t> GameArchive() {
  TempDir dir;
  test_data::WriteGameData(dir.path());
  return ReadBytes(dir.path() / "data" / "gamegraphic.dxg");
}

// The golden recording changed by `change` and written again.
std::vector<uint8_t> Changed(const std::function<void(replay::Replay&)>& change) {
  replay::Replay recording = replay::DecodeReplay(GoldenBytes());
  change(recording);
  return replay::EncodeReplay(recording);
}

// A file with the recording's magic and version around a frame of 64 MiB of zeros.
std::vector<uint8_t> DecompressionBomb() {
  const std::vector<uint8_t> zeros(64u << 20, 0);
  std::vector<uint8_t> bytes = GoldenBytes();
  bytes.resize(8);
  std::vector<uint8_t> frame(ZSTD_compressBound(zeros.size()));
  frame.resize(ZSTD_compress(frame.data(), frame.size(), zeros.data(), zeros.size(), 3));
  bytes.insert(bytes.end(), frame.begin(), frame.end());
  return bytes;
}

ServiceSettings NoLimits(bool requireProof = false) {
  ServiceSettings settings;
  settings.resultsPerMinute = 0;
  settings.handshakesPerMinute = 0;
  settings.uploadsPerMinute = 0;
  settings.requireProof = requireProof;
  return settings;
}

class TProvingServer : public TRunningServer {
 public:
  explicit TProvingServer(const ReplayJudge& judge, ServiceSettings settings = NoLimits(),
                          VerifierSettings verifier = {}, ConnectionLimits limits = {})
      : TRunningServer(settings, limits, {}, &judge, verifier) {}

  static std::string UploadTarget(const std::string& token) {
    return "/cgi/version.pl?replay&prg=Skarvel&p=" + token;
  }
  std::pair<int, std::string> Upload(const std::string& token, const std::vector<uint8_t>& bytes) {
    httplib::Client client("127.0.0.1", Port());
    client.set_read_timeout(10, 0);
    const std::string body(bytes.begin(), bytes.end());
    auto result = client.Post(UploadTarget(token).c_str(), body, "application/octet-stream");
    if (!result) return {-1, {}};
    return {result->status, result->body};
  }
  std::pair<int, std::string> Send(const std::string& token, uint16_t score) {
    return SendPayload(GamePayload(token, "Ada", score));
  }
  static std::string GamePayload(const std::string& token, const std::string& name,
                                 uint16_t score) {
    return BuildResultPayload(name, score, 'S', token, "Norge");
  }
  // Waits until no recording waits for the verifier.
  void Settle() {
    for (int i = 0; i < 3000 && Verifier()->Waiting() > 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(Verifier()->Waiting(), 0u);
  }
  // Every stored result's name and status, best first.
  std::vector<std::pair<std::string, ResultStatus>> Results() {
    std::vector<std::pair<std::string, ResultStatus>> results;
    for (const auto& row : Store().Table({"", 0, 100})) results.emplace_back(row.name, row.status);
    return results;
  }
};

class ReplayProof : public ::testing::Test {
 protected:
  const std::vector<uint8_t> archive_ = GameArchive();
  const SimulatingJudge judge_{archive_, TokenSigner(TestSecret), replay::MaxReplayTicks};
};

TEST_F(ReplayProof, AForgedResultIsUnprovenAndRefusedWhenProofIsRequired) {
  for (const bool requireProof : {false, true}) {
    TProvingServer server(judge_, NoLimits(requireProof));
    const auto [status, handshake] = server.Get(TRunningServer::HandshakeTarget);
    ASSERT_EQ(status, 200);
    EXPECT_TRUE(handshake.ends_with("|replays")) << handshake;
    // What a script of a few lines does: a token, then a high score, no recording.
    const auto [sent, reply] = server.Send(server.Handshake(), 65000);
    if (requireProof) {
      EXPECT_EQ(sent, 400);
      EXPECT_FALSE(reply.starts_with("OK"));
      EXPECT_TRUE(server.Results().empty());
      continue;
    }
    EXPECT_EQ(sent, 200);
    EXPECT_EQ(reply, "OK");
    EXPECT_EQ(server.Results(),
              (std::vector<std::pair<std::string, ResultStatus>>{{"Ada", ResultStatus::Unproven}}));
    EXPECT_EQ(server.Get(TRunningServer::ProvenTableTarget).second.find(">Ada<"),
              std::string::npos);
    const std::string all = server.Get(TRunningServer::TableTarget).second;
    EXPECT_NE(all.find("<td class=\"proof unproven\">unproven</td>"), std::string::npos);
  }
}

TEST_F(ReplayProof, ARecordedGameIsProvenAndItsRecordingDownloads) {
  TProvingServer server(judge_);
  const std::string token = server.Handshake();
  ASSERT_EQ(server.Upload(token, GoldenBytes()), std::make_pair(200, std::string("OK")));
  ASSERT_EQ(server.Send(token, GoldenScore), std::make_pair(200, std::string("OK")));
  server.Settle();
  const auto rows = server.Store().Table({"", 0, 10, true});
  ASSERT_EQ(rows.size(), 1u) << server.VerifierLog();
  EXPECT_EQ(rows[0].score, GoldenScore);
  EXPECT_FALSE(rows[0].startTicket);

  const std::string page = server.Get(TRunningServer::ProvenTableTarget).second;
  const std::string link = "/replays/" + std::to_string(rows[0].id);
  EXPECT_NE(page.find("<a href=\"" + link + "\">recording</a> <small>(no start ticket)</small>"),
            std::string::npos)
      << page;
  const std::string json = server.Get("/scores.json").second;
  EXPECT_NE(json.find("\"status\":\"proven\",\"startTicket\":false,\"recording\":\"" + link),
            std::string::npos)
      << json;

  httplib::Client client("127.0.0.1", server.Port());
  const auto download = client.Get(link.c_str());
  ASSERT_TRUE(download);
  EXPECT_EQ(download->status, 200);
  const std::vector<uint8_t> golden = GoldenBytes();
  EXPECT_EQ(download->body, std::string(golden.begin(), golden.end()));
  EXPECT_EQ(download->get_header_value("Content-Type"), "application/vnd.skarvel.replay");
  EXPECT_EQ(download->get_header_value("Content-Disposition"),
            "attachment; filename=\"skarvel-" + std::to_string(rows[0].id) + ".skarvel-replay\"");
  for (const std::string other : {"/replays/0", "/replays/999", "/replays/x", "/replays/"}) {
    EXPECT_EQ(server.Get(other).first, 404) << other;
  }
}

TEST_F(ReplayProof, AStartTicketProvesTheGameTookItsTimeInRealTime) {
  TProvingServer server(judge_);
  const auto [status, ticketReply] = server.Get("/cgi/version.pl?ticket&prg=Skarvel");
  ASSERT_EQ(status, 200);
  ASSERT_TRUE(ticketReply.starts_with("OK|"));
  const std::string ticket = ticketReply.substr(3);
  const auto withTicket = [&](const std::string& text, uint8_t keys) {
    return Changed([&](replay::Replay& r) {
      r.Header.StartTicket = text;
      r.Ticks.back().Keys ^= keys;  // Another input stream; the last tick's keys change nothing.
    });
  };
  const uint64_t gameMs = replay::RecordedGameMilliseconds(replay::DecodeReplay(GoldenBytes()));
  // The signature's last hex digit changed: one that is already "0" must become something else.
  std::string forged = ticket;
  forged.back() = forged.back() == '0' ? '1' : '0';
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    int64_t realSeconds;  // From the ticket to the result.
    ResultStatus expected;
  };
  const Case cases[] = {
      {"played in its time", withTicket(ticket, 0), static_cast<int64_t>(gameMs / 1000),
       ResultStatus::Proven},
      {"played faster than real time", withTicket(ticket, replay::KeyUp),
       static_cast<int64_t>(gameMs / 1000) - 10, ResultStatus::Refused},
      {"a forged ticket", withTicket(forged, replay::KeyDown),
       static_cast<int64_t>(gameMs / 1000) + 5, ResultStatus::Refused},
  };
  const int64_t issued = server.Now();
  for (const Case& c : cases) {
    server.SetNow(issued);
    const std::string token = server.Handshake();
    ASSERT_EQ(server.Upload(token, c.bytes).first, 200) << c.name;
    server.SetNow(issued + c.realSeconds);
    ASSERT_EQ(server.Send(token, GoldenScore).second, "OK") << c.name;
    server.Settle();
    // The latest result: all score alike.
    const auto rows = server.Store().Table({"", 0, 10});
    const auto latest = std::max_element(rows.begin(), rows.end(),
                                         [](const auto& a, const auto& b) { return a.id < b.id; });
    ASSERT_NE(latest, rows.end());
    EXPECT_EQ(latest->status, c.expected) << c.name << "\n" << server.VerifierLog();
    EXPECT_EQ(latest->startTicket, c.expected == ResultStatus::Proven) << c.name;
  }
  EXPECT_NE(server.VerifierLog().find("passed since its start ticket"), std::string::npos);
  EXPECT_NE(server.VerifierLog().find("start ticket: forged"), std::string::npos);
}

TEST_F(ReplayProof, TamperedUploadsAreRefusedAndNothingIsProven) {
  TProvingServer server(judge_);
  // Taken once, so the cases below that reuse it meet a known input stream.
  const std::string first = server.Handshake();
  ASSERT_EQ(server
                .Upload(first, Changed([](replay::Replay& r) {
                          r.Ticks.back().Keys ^= replay::KeyLeft;
                          r.Header.ClaimedScore = 1000;
                        }))
                .first,
            200);
  ASSERT_EQ(server.Send(first, 1000).second, "OK");
  const std::vector<uint8_t> golden = GoldenBytes();
  std::vector<uint8_t> truncated = golden;
  truncated.resize(truncated.size() / 2);
  std::vector<uint8_t> oversized = golden;
  oversized.resize(replay::MaxReplayBytes + 1, 0);

  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    uint16_t score;      // The result sent after it.
    int uploadStatus;    // 200: taken, and the verifier must refuse it.
    const char* reason;  // In the reply or the verifier's log.
  };
  const Case cases[] = {
      {"the claimed score raised", Changed([](replay::Replay& r) { r.Header.ClaimedScore = 500; }),
       500, 200, "score differs"},
      {"a result other than the recording",
       Changed([](replay::Replay& r) { r.Ticks.back().Keys ^= replay::KeyUp; }), 900, 200,
       "the result says 900"},
      {"one input flipped", Changed([](replay::Replay& r) { r.Ticks[1500].Keys ^= replay::KeyUp; }),
       GoldenScore, 200, "parts from the recording"},
      {"truncated", truncated, GoldenScore, 400, "not a readable recording"},
      {"oversized body", oversized, GoldenScore, 413, "body too large"},
      {"a decompression bomb", DecompressionBomb(), GoldenScore, 400, "not a readable recording"},
      {"another archive hash", Changed([](replay::Replay& r) { r.Header.ArchiveHash ^= 1; }),
       GoldenScore, 400, "another game-picture archive"},
      {"another simulation id", Changed([](replay::Replay& r) { r.Header.SimulationId += 1; }),
       GoldenScore, 400, "simulation"},
      {"a recording reused under a second token", Changed([](replay::Replay& r) {
         r.Ticks.back().Keys ^= replay::KeyLeft;
         r.Header.ClaimedScore = 1000;
       }),
       1000, 409, "came before"},
      {"the same input stream with another header", Changed([](replay::Replay& r) {
         r.Ticks.back().Keys ^= replay::KeyLeft;
         r.Header.StartTicket = "not-a-ticket";
       }),
       GoldenScore, 409, "came before"},
  };
  for (const Case& c : cases) {
    const std::string token = server.Handshake();
    const auto [status, reply] = server.Upload(token, c.bytes);
    EXPECT_EQ(status, c.uploadStatus) << c.name << ": " << reply;
    if (status != 200) {
      EXPECT_NE(reply.find(c.reason), std::string::npos) << c.name << ": " << reply;
    }
    // The game sends its result whatever became of the upload.
    EXPECT_EQ(server.Send(token, c.score).second, "OK") << c.name;
    server.Settle();
    if (c.uploadStatus == 200) {
      EXPECT_NE(server.VerifierLog().find(c.reason), std::string::npos) << c.name;
    }
  }
  // A second recording for one token, and a token that is none.
  EXPECT_EQ(server.Upload(first, golden).first, 409);
  EXPECT_EQ(server.Upload("forged-token", golden).first, 400);
  EXPECT_EQ(server.Store().Count("", true), 0) << server.VerifierLog();
  for (const auto& [name, status] : server.Results()) EXPECT_NE(status, ResultStatus::Proven);
}

// The upload's framing as the HTTP layer reads it: only a body of a declared length, read whole
// within the request's time (a body that stops short is cut off at the time-out, as a head is),
// and nothing after it taken for part of it.
TEST_F(ReplayProof, AnUploadIsReadByItsContentLengthOrRefused) {
  ConnectionLimits limits;
  limits.requestTimeout = std::chrono::milliseconds(500);
  TProvingServer server(judge_, NoLimits(), {}, limits);
  const std::string target = TProvingServer::UploadTarget("no-token");
  const std::string next = "GET /cgi/version.pl?version&prg=Skarvel HTTP/1.1\r\nHost: x\r\n\r\n";
  struct Case {
    const char* what;
    std::string request;
    std::vector<int> statuses;  // The replies in order.
    bool closed;
  };
  const Case cases[] = {
      {"no Content-Length",
       "POST " + target + " HTTP/1.1\r\nHost: x\r\n\r\nabc" + next,
       {411},
       true},
      {"chunked",
       "POST " + target +
           " HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n" + next,
       {411},
       true},
      {"a body that stops short",
       "POST " + target + " HTTP/1.1\r\nHost: x\r\nContent-Length: 100\r\n\r\nabc",
       {},
       true},
      {"a body, then the next request",
       "POST " + target + " HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\n\r\nabc" + next,
       {400, 200},
       false},
      {"a POST elsewhere",
       "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\n\r\nabc" + next,
       {405, 200},
       false},
      {"a client that waits for 100 Continue",
       "POST " + target +
           " HTTP/1.1\r\nHost: x\r\nExpect: 100-continue\r\nContent-Length: 3\r\n\r\n",
       {100, 400},
       false},
  };
  for (const Case& c : cases) {
    TRawConnection connection(server.Port());
    ASSERT_TRUE(connection.Connected()) << c.what;
    connection.Send(c.request);
    if (!c.statuses.empty() && c.statuses.front() == 100) {
      // The body goes only after the interim answer.
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      connection.Send("abc");
    }
    bool closed = false;
    const std::string replies =
        connection.ReadUntilClosed(std::chrono::milliseconds(1500), &closed);
    size_t at = 0;
    for (const int status : c.statuses) {
      at = replies.find("HTTP/1.1 " + std::to_string(status) + " ", at);
      EXPECT_NE(at, std::string::npos) << c.what << " lacks " << status << ": " << replies;
      if (at == std::string::npos) break;
      ++at;
    }
    size_t count = 0;
    for (size_t i = replies.find("HTTP/1.1 "); i != std::string::npos;
         i = replies.find("HTTP/1.1 ", i + 1))
      ++count;
    EXPECT_EQ(count, c.statuses.size()) << c.what << ": " << replies;
    if (c.closed) {
      EXPECT_TRUE(closed) << c.what;
    }
  }
  EXPECT_TRUE(server.Store().Table({"", 0, 10}).empty());
}

// A judge whose judgements wait until the test opens the gate; the real judge decides.
class TGatedJudge : public ReplayJudge {
 public:
  explicit TGatedJudge(const ReplayJudge& real) : real_(real) {}
  uint64_t CheckUpload(std::span<const uint8_t> bytes) const override {
    return real_.CheckUpload(bytes);
  }
  ReplayJudgement Judge(std::span<const uint8_t> bytes, const ReplayClaim& claim) const override {
    std::unique_lock lock(mutex_);
    ++arrived_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return open_; });
    lock.unlock();
    return real_.Judge(bytes, claim);
  }
  // Until a worker has taken a judgement off the queue, that judgement still fills it.
  bool AwaitArrivals(int count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(30), [&] { return arrived_ >= count; });
  }
  void Open() {
    std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }

 private:
  const ReplayJudge& real_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  mutable int arrived_ = 0;
  bool open_ = false;
};

TEST_F(ReplayProof, TheVerifierPoolHoldsItsCaps) {
  TGatedJudge gated(judge_);
  TProvingServer server(gated, NoLimits(), VerifierSettings{1, 1});
  // A failed check must not leave the worker at the gate, or the server would never stop.
  const std::unique_ptr<TGatedJudge, void (*)(TGatedJudge*)> opener(
      &gated, [](TGatedJudge* judge) { judge->Open(); });
  const auto variant = [](uint8_t keys) {
    return Changed([keys](replay::Replay& r) { r.Ticks.back().Keys ^= keys; });
  };
  // A: taken by the one worker, which waits at the gate.
  const std::string a = server.Handshake();
  ASSERT_EQ(server.Upload(a, GoldenBytes()).first, 200);
  ASSERT_EQ(server.Send(a, GoldenScore).second, "OK");
  ASSERT_TRUE(gated.AwaitArrivals(1)) << "the worker never took A's judgement";
  // B, C and D upload while the queue is empty; their results then fill it to twice its cap.
  std::vector<std::string> tokens;
  for (const uint8_t keys : {replay::KeyUp, replay::KeyDown, replay::KeyLeft}) {
    tokens.push_back(server.Handshake());
    ASSERT_EQ(server.Upload(tokens.back(), variant(keys)).first, 200);
  }
  for (const std::string& token : tokens) {
    ASSERT_EQ(server.Send(token, GoldenScore).second, "OK");
  }
  EXPECT_EQ(server.Verifier()->Waiting(), 3u);  // A running, B and C queued; D left unproven.
  // While the queue is full an upload is refused for now; its result still comes.
  const std::string e = server.Handshake();
  EXPECT_EQ(server.Upload(e, variant(replay::KeyRight)).first, 503);
  EXPECT_EQ(server.Send(e, GoldenScore).second, "OK");

  gated.Open();
  server.Settle();
  std::map<ResultStatus, int> counts;
  for (const auto& [name, status] : server.Results()) ++counts[status];
  // A, B and C were judged (A, the golden game, proven); D and E were kept unproven.
  EXPECT_GE(counts[ResultStatus::Proven], 1) << server.VerifierLog();
  EXPECT_EQ(counts[ResultStatus::Proven] + counts[ResultStatus::Refused], 3);
  EXPECT_EQ(counts[ResultStatus::Unproven], 2);
  EXPECT_EQ(counts[ResultStatus::Pending], 0);

  // A server taking shorter recordings than the golden game's refuses it unread.
  const SimulatingJudge shortGames(archive_, TokenSigner(TestSecret), 1000);
  EXPECT_THROW(shortGames.CheckUpload(GoldenBytes()), ReplayUnfit);
}

}  // namespace
