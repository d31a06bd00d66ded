// Proven submissions through the score server, sent as the game sends them (handshake, the
// recording's upload, the result) by several clients on the loopback interface; how many the
// server proves a second, counted from its own /scores.json.
//
// The server is this program's own (the real server code: HTTP, SQLite, the verifier pool
// replaying with the game's simulation) unless --server names a running skarvel-scores. The
// recordings are the golden test game (3,458 ticks, judged with the tests' stand-in archive)
// unless --recordings names a folder of them (bench/make_long_games makes ten-minute ones; the
// own server then needs --archive, the game-picture archive they were played on). With fewer
// recordings than submissions, each is sent again with its last tick's keys and pointer changed:
// a tick after the game's end was decided, so the game, its score and the proof's work stay the
// same while the input stream is a new one (the server refuses one it has seen).
//
//   proof_submissions [--count N=200] [--clients C=4] [--rate PER_S=0] [--seconds S] [--first N]
//                     [--server HOST:PORT] [--recordings DIR] [--archive FILE]
//                     [--verifier-workers W=0]
//   proof_submissions [N] [C] [W]     (the older form)
// --rate paces the submissions evenly over the clients (0: each client as fast as it can).
// --seconds is a window: no submission starts after it, and the results proven within it are
// counted apart (for a run side by side with another load of the same length).
// --first N begins with the Nth variant: a second run against the same server sends only input
// streams it has not seen.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "online/http_client.h"
#include "online/result_exchange.h"
#include "protocol/replay_format.h"
#include "server/replay_verifier.h"
#include "server/score_http_server.h"
#include "server/simulating_judge.h"
#include "server/sqlite_store.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_game_data.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

constexpr const char* Secret = "the benchmark's secret, long enough";

struct Options {
  int count = 200;
  int clients = 4;
  double rate = 0;
  double seconds = 0;
  int first = 0;
  size_t workers = 0;
  std::string server;
  std::filesystem::path recordings;
  std::filesystem::path archive;
};

Options ReadOptions(int argc, char** argv) {
  Options options;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--count" && hasValue) {
      options.count = std::atoi(argv[++i]);
    } else if (arg == "--clients" && hasValue) {
      options.clients = std::atoi(argv[++i]);
    } else if (arg == "--first" && hasValue) {
      options.first = std::atoi(argv[++i]);
    } else if (arg == "--seconds" && hasValue) {
      options.seconds = std::atof(argv[++i]);
    } else if (arg == "--rate" && hasValue) {
      options.rate = std::atof(argv[++i]);
    } else if (arg == "--verifier-workers" && hasValue) {
      options.workers = static_cast<size_t>(std::atoi(argv[++i]));
    } else if (arg == "--server" && hasValue) {
      options.server = argv[++i];
    } else if (arg == "--recordings" && hasValue) {
      options.recordings = argv[++i];
    } else if (arg == "--archive" && hasValue) {
      options.archive = argv[++i];
    } else if (!arg.starts_with("--")) {
      positional.push_back(arg);
    } else {
      std::fprintf(stderr, "proof_submissions: unknown option %s\n", arg.c_str());
      std::exit(2);
    }
  }
  if (positional.size() > 0) options.count = std::atoi(positional[0].c_str());
  if (positional.size() > 1) options.clients = std::atoi(positional[1].c_str());
  if (positional.size() > 2)
    options.workers = static_cast<size_t>(std::atoi(positional[2].c_str()));
  options.clients = std::max(1, options.clients);
  return options;
}

// The recordings to send, sorted by name.
std::vector<replay::Replay> LoadRecordings(const Options& options) {
  std::vector<replay::Replay> recordings;
  if (options.recordings.empty()) {
    recordings.push_back(replay::DecodeReplay(ReadBytes(SKARVEL_GOLDEN_RECORDING)));
    return recordings;
  }
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(options.recordings)) {
    if (entry.path().extension() == ".skr") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  for (const auto& file : files) recordings.push_back(replay::DecodeReplay(ReadBytes(file)));
  if (recordings.empty()) {
    std::fprintf(stderr, "proof_submissions: no .skr recordings in %s\n",
                 options.recordings.c_str());
    std::exit(1);
  }
  return recordings;
}

struct Submission {
  std::vector<uint8_t> bytes;
  uint16_t score = 0;
  size_t ticks = 0;
};

std::vector<Submission> MakeSubmissions(const std::vector<replay::Replay>& recordings, int first,
                                        int count) {
  std::vector<Submission> submissions;
  for (int i = first; i < first + count; ++i) {
    const size_t n = recordings.size();
    replay::Replay variant = recordings[static_cast<size_t>(i) % n];
    if (const auto round = static_cast<unsigned>(static_cast<size_t>(i) / n); round > 0) {
      variant.Ticks.back().Keys = static_cast<uint8_t>(round % 32);
      variant.Ticks.back().Pointer = replay::ReplayPointer{
          static_cast<uint8_t>(round / 32 % 256), static_cast<uint8_t>(round / 8192), 0, 0, false};
    }
    submissions.push_back({replay::EncodeReplay(variant),
                           static_cast<uint16_t>(variant.Header.ClaimedScore),
                           variant.Ticks.size()});
  }
  return submissions;
}

// The "total" of a /scores.json reply, or -1.
long long TotalOf(const std::string& json) {
  const size_t at = json.find("\"total\":");
  return at == std::string::npos ? -1 : std::atoll(json.c_str() + at + 8);
}

// Results of each status the server shows in /scores.json?all.
struct Census {
  long long proven = 0, pending = 0, refused = 0, unproven = 0;
};
Census TakeCensus(THttpClient& client, const std::string& host) {
  Census census;
  for (int page = 1;; ++page) {
    const std::string json = FetchReply(
        client, "http://" + host + "/scores.json?all&size=500&page=" + std::to_string(page));
    const auto count = [&](const char* status) {
      long long n = 0;
      for (size_t at = 0; (at = json.find(status, at)) != std::string::npos; ++at) ++n;
      return n;
    };
    census.proven += count("\"status\":\"proven\"");
    census.pending += count("\"status\":\"pending\"");
    census.refused += count("\"status\":\"refused\"");
    census.unproven += count("\"status\":\"unproven\"");
    if (json.find("\"rank\"") == std::string::npos || page * 500 >= TotalOf(json)) break;
  }
  return census;
}

// The score server of this program, when no other is named.
class OwnServer {
 public:
  explicit OwnServer(const Options& options)
      : archive_(JudgeArchive(options, dir_)),
        store_((dir_.path() / "scores.sqlite").string(), 5),
        judge_(archive_, TokenSigner(Secret), replay::MaxReplayTicks),
        verifier_(store_, judge_, {options.workers, 100000}, nullptr),
        service_(store_, TokenSigner(Secret), Settings(), nullptr, &verifier_),
        http_(service_, limits_, dir_.path() / "web", nullptr) {
    port_ = http_.Bind("127.0.0.1", 0);
    thread_ = std::thread([this] { http_.Run(); });
    while (!http_.IsRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~OwnServer() {
    http_.Stop();
    thread_.join();
  }
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }

 private:
  // The archive named, or the tests' stand-in that the golden recording was played on.
  static std::vector<uint8_t> JudgeArchive(const Options& options, const TempDir& dir) {
    if (!options.archive.empty()) return ReadBytes(options.archive);
    test_data::WriteGameData(dir.path());
    return ReadBytes(dir.path() / "data" / "gamegraphic.dxg");
  }
  static ServiceSettings Settings() {
    ServiceSettings settings;
    settings.resultsPerMinute = 0;
    settings.handshakesPerMinute = 0;
    settings.uploadsPerMinute = 0;
    return settings;
  }

  TempDir dir_;
  std::vector<uint8_t> archive_;
  SqliteScoreStore store_;
  SimulatingJudge judge_;
  ReplayVerifier verifier_;
  ScoreService service_;
  ConnectionLimits limits_;
  ScoreHttpServer http_;
  int port_ = 0;
  std::thread thread_;
};

double Since(Clock::time_point start, Clock::time_point t) {
  return std::chrono::duration<double>(t - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ReadOptions(argc, argv);
  const std::vector<replay::Replay> recordings = LoadRecordings(options);
  const std::vector<Submission> submissions =
      MakeSubmissions(recordings, options.first, options.count);
  size_t ticks = 0;
  size_t shortest = SIZE_MAX;
  size_t longest = 0;
  for (const Submission& s : submissions) {
    ticks += s.ticks;
    shortest = std::min(shortest, s.ticks);
    longest = std::max(longest, s.ticks);
  }

  std::unique_ptr<OwnServer> own;
  if (options.server.empty()) own = std::make_unique<OwnServer>(options);
  const std::string host = own ? own->Host() : options.server;
  THttpClient poller;
  const long long provenBefore =
      TotalOf(FetchReply(poller, "http://" + host + "/scores.json?size=1"));
  if (provenBefore < 0) {
    std::fprintf(stderr, "proof_submissions: no score server answers at %s\n", host.c_str());
    return 1;
  }

  const auto start = Clock::now();
  std::atomic<int> next{0};
  std::atomic<int> accepted{0};
  std::atomic<int> attempted{0};
  std::vector<std::thread> senders;
  for (int c = 0; c < options.clients; ++c) {
    senders.emplace_back([&] {
      THttpClient client;
      for (int i; (i = next++) < options.count;) {
        if (options.seconds > 0 && Since(start, Clock::now()) >= options.seconds) break;
        if (options.rate > 0) {
          std::this_thread::sleep_until(start +
                                        std::chrono::duration_cast<Clock::duration>(
                                            std::chrono::duration<double>(i / options.rate)));
        }
        const Submission& s = submissions[static_cast<size_t>(i)];
        ++attempted;
        if (SendResultToServer(client, host, 'S', "Bench", s.score, "",
                               THttpClient::Clock::now() + SubmissionTimeLimit, s.bytes)) {
          ++accepted;
        }
      }
    });
  }
  // The proven count as it grows, until every accepted result is judged or none is for 20 s.
  std::atomic<bool> sending{true};
  Clock::time_point sent;
  std::thread joiner([&] {
    for (auto& sender : senders) sender.join();
    sent = Clock::now();
    sending = false;
  });
  long long proven = 0;
  long long provenInWindow = 0;
  auto lastChange = Clock::now();
  auto lastVerdict = start;
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const long long now = TotalOf(FetchReply(poller, "http://" + host + "/scores.json?size=1"));
    if (now - provenBefore != proven) {
      proven = now - provenBefore;
      lastChange = lastVerdict = Clock::now();
    }
    if (options.seconds > 0 && Since(start, Clock::now()) <= options.seconds) {
      provenInWindow = proven;
    }
    if (sending) continue;
    if (proven >= accepted.load() || Clock::now() - lastChange > std::chrono::seconds(20)) break;
  }
  joiner.join();
  const Census census = TakeCensus(poller, host);

  const double seconds = Since(start, lastVerdict);
  std::printf("server %s, %s; %zu recordings of %zu..%zu ticks; %d clients, %s\n", host.c_str(),
              own ? "this program's own" : "named", recordings.size(), shortest, longest,
              options.clients,
              options.rate > 0 ? ("paced at " + std::to_string(options.rate) + " a second").c_str()
                               : "as fast as they go");
  std::printf("submissions: %d sent, %d accepted; sending took %.2f s\n", attempted.load(),
              accepted.load(), Since(start, sent));
  std::printf(
      "the server's table (every run on it): %lld proven, %lld pending, %lld refused, "
      "%lld unproven\n",
      census.proven, census.pending, census.refused, census.unproven);
  std::printf(
      "proven in this run: %lld, the last %.2f s after the start (%.2f s after the last "
      "was sent)\n",
      proven, seconds, Since(sent, lastVerdict));
  std::printf("proven submissions a second: %.2f\n", seconds > 0 ? proven / seconds : 0.0);
  std::printf("replayed ticks a second through the server: %.0f\n",
              seconds > 0 ? static_cast<double>(ticks) / static_cast<double>(submissions.size()) *
                                static_cast<double>(proven) / seconds
                          : 0.0);
  if (options.seconds > 0) {
    std::printf("proven within the first %.0f s: %lld, %.2f a second\n", options.seconds,
                provenInWindow, static_cast<double>(provenInWindow) / options.seconds);
  }
  return proven == attempted ? 0 : 1;
}
