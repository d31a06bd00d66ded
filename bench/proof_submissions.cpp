// Proven submissions through the score server: the real server code (HTTP, SQLite, the verifier
// pool replaying with the game's simulation) on the loopback interface, fed by clients that send
// as the game does (handshake, the recording's upload, the result). The recordings are the golden
// test game (3,458 ticks, 55 s of play with the tests' stand-in archive), each with its last tick's
// input changed so that every one is a new input stream; the figure that carries over to longer
// games is replayed ticks a second.
//   proof_submissions [SUBMISSIONS] [CLIENTS] [VERIFIER_WORKERS]
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "online/result_exchange.h"
#include "protocol/replay_format.h"
#include "server/replay_verifier.h"
#include "server/score_http_server.h"
#include "server/simulating_judge.h"
#include "server/sqlite_store.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_game_data.h"

namespace {

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

constexpr const char* Secret = "the benchmark's secret, long enough";

}  // namespace

int main(int argc, char** argv) {
  const int submissions = argc > 1 ? std::atoi(argv[1]) : 200;
  const int clients = argc > 2 ? std::atoi(argv[2]) : 4;
  const size_t workers = argc > 3 ? static_cast<size_t>(std::atoi(argv[3])) : 0;
  TempDir dir;
  test_data::WriteGameData(dir.path());
  const replay::Replay golden = replay::DecodeReplay(ReadBytes(SKARVEL_GOLDEN_RECORDING));
  std::vector<std::vector<uint8_t>> recordings;
  for (int i = 0; i < submissions; ++i) {
    replay::Replay variant = golden;
    variant.Ticks.back().Keys = static_cast<uint8_t>(i % 32);
    variant.Ticks.back().Pointer = replay::ReplayPointer{
        static_cast<uint8_t>(i / 32 % 256), static_cast<uint8_t>(i / 8192), 0, 0, false};
    recordings.push_back(replay::EncodeReplay(variant));
  }

  SqliteScoreStore store((dir.path() / "scores.sqlite").string(), 5);
  const SimulatingJudge judge(ReadBytes(dir.path() / "data" / "gamegraphic.dxg"),
                              TokenSigner(Secret), replay::MaxReplayTicks);
  ReplayVerifier verifier(store, judge, {workers, 1024}, nullptr);
  ServiceSettings settings;
  settings.resultsPerMinute = 0;
  settings.handshakesPerMinute = 0;
  settings.uploadsPerMinute = 0;
  ScoreService service(store, TokenSigner(Secret), settings, nullptr, &verifier);
  ConnectionLimits limits;
  ScoreHttpServer http(service, limits, dir.path() / "web", nullptr);
  const int port = http.Bind("127.0.0.1", 0);
  std::thread server([&] { http.Run(); });
  while (!http.IsRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const std::string host = "127.0.0.1:" + std::to_string(port);

  const auto start = std::chrono::steady_clock::now();
  std::atomic<int> next{0};
  std::atomic<int> accepted{0};
  std::vector<std::thread> senders;
  for (int c = 0; c < clients; ++c) {
    senders.emplace_back([&] {
      THttpClient client;
      for (int i; (i = next++) < submissions;) {
        if (SendResultToServer(client, host, 'S', "Bench", 95, "",
                               THttpClient::Clock::now() + SubmissionTimeLimit,
                               recordings[static_cast<size_t>(i)])) {
          ++accepted;
        }
      }
    });
  }
  for (auto& sender : senders) sender.join();
  const auto sent = std::chrono::steady_clock::now();
  while (verifier.Waiting() > 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  const auto settled = std::chrono::steady_clock::now();
  http.Stop();
  server.join();

  const double seconds = std::chrono::duration<double>(settled - start).count();
  const int64_t judged = store.Count("", true) + [&] {
    int64_t refused = 0;
    for (const auto& row : store.Table({"", 0, 100000}))
      refused += row.status == ResultStatus::Refused ? 1 : 0;
    return refused;
  }();
  const double ticksPerSecond =
      static_cast<double>(judged) * static_cast<double>(golden.Ticks.size()) / seconds;
  std::printf("verifier workers: %zu (0: one a core, %u cores), clients: %d\n", workers,
              std::thread::hardware_concurrency(), clients);
  std::printf("submissions: %d sent, %d accepted, %lld judged (%lld proven)\n", submissions,
              accepted.load(), static_cast<long long>(judged),
              static_cast<long long>(store.Count("", true)));
  std::printf("sending took %.2f s; all judged after %.2f s\n",
              std::chrono::duration<double>(sent - start).count(), seconds);
  std::printf("judged submissions a second (%zu-tick recordings): %.1f\n", golden.Ticks.size(),
              static_cast<double>(judged) / seconds);
  std::printf("replayed ticks a second through the server: %.0f\n", ticksPerSecond);
  std::printf("10-minute recordings (37,500 ticks) a second at that rate: %.1f\n",
              ticksPerSecond / 37500.0);
  return 0;
}
