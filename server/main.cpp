// skarvel-scores: the world high-score server the game sends its results to.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "protocol/replay_format.h"
#include "server/replay_verifier.h"
#include "server/score_http_server.h"
#include "server/server_options.h"
#include "server/simulating_judge.h"
#include "server/store_setup.h"
#include "server/token_secret.h"

namespace {

std::filesystem::path DefaultWebRoot() {
  std::error_code error;
  const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return "web";
  const auto beside = program.parent_path() / "web";
  if (std::filesystem::is_directory(beside, error)) return beside;
  return program.parent_path().parent_path() / "share" / "skarvel-scores" / "web";
}

// The game's picture archive beside the program in the build tree, or in the installed game.
std::filesystem::path DefaultGameArchive() {
  std::error_code error;
  const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  const auto prefix = program.parent_path().parent_path();
  const auto built = prefix / "game" / "data" / "gamegraphic.dxg";
  if (std::filesystem::is_regular_file(built, error)) return built;
  return prefix / "share" / "skarvel" / "data" / "gamegraphic.dxg";
}

std::vector<uint8_t> ReadArchive(const std::filesystem::path& path) {
  constexpr uintmax_t MaxArchiveBytes = 256u << 20;
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(path, error);
  if (error) throw std::runtime_error("cannot read the game archive " + path.string());
  if (size > MaxArchiveBytes) throw std::runtime_error("the game archive is too large");
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!in) throw std::runtime_error("cannot read the game archive " + path.string());
  return bytes;
}

// One line on standard output, written whole so it never mixes with the access log's lines.
void LogLine(const std::string& text) {
  const std::string line = "skarvel-scores: " + text + "\n";
  if (::write(STDOUT_FILENO, line.data(), line.size()) < 0) {
    // A log that cannot be written must not stop the server.
  }
}

}  // namespace

int main(int argc, char** argv) {
  ServerOptions options;
  try {
    options = ParseServerOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::invalid_argument& error) {
    std::fprintf(stderr, "skarvel-scores: %s\n\n%s", error.what(), ServerUsage());
    return 2;
  }
  if (options.help) {
    std::fputs(ServerUsage(), stdout);
    return 0;
  }
  std::setvbuf(stdout, nullptr, _IOLBF, 0);

  // The signals are taken by one thread with sigwait, so they are blocked before any other
  // thread starts and none of them is interrupted in a system call.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  std::unique_ptr<ScoreStore> store;
  std::string storeName;
  std::unique_ptr<SimulatingJudge> judge;
  std::unique_ptr<ReplayVerifier> verifier;
  std::unique_ptr<ScoreService> service;
  try {
    // One connection a database worker, and one spare for the odd moment a worker holds two
    // leases.
    const size_t connections = options.workers + 1;
    // The database first: a start that fails there (a full disk) leaves no secret behind that
    // would make the next start take the database for lost.
    auto opened = OpenScoreStore(options, connections, LogLine);
    store = std::move(opened.store);
    storeName = opened.name;
    const std::string secret = LoadOrCreateSecret(options.secretFile, LogLine);
    ServiceSettings settings;
    settings.key = options.key;
    settings.resultsPerMinute = options.resultsPerMinute;
    settings.handshakesPerMinute = options.handshakesPerMinute;
    settings.uploadsPerMinute = options.resultsPerMinute;
    settings.requireProof = options.requireProof;
    settings.log = LogLine;
    const bool defaultArchive = options.gameArchive.empty();
    const auto archive = defaultArchive ? DefaultGameArchive() : options.gameArchive;
    std::error_code missing;
    if (defaultArchive && !std::filesystem::exists(archive, missing)) {
      if (options.requireProof) {
        throw std::runtime_error("--require-proof needs the game archive (--game-archive FILE)");
      }
      LogLine("no game archive at " + archive.string() +
              ": recordings are not taken, every result is unproven");
    } else {
      judge = std::make_unique<SimulatingJudge>(
          ReadArchive(archive), TokenSigner(secret),
          options.maxReplayTicks ? options.maxReplayTicks : replay::MaxReplayTicks);
      verifier = std::make_unique<ReplayVerifier>(
          *store, *judge, VerifierSettings{options.verifierWorkers, options.verifierQueue},
          LogLine);
      LogLine("recordings are re-run with " + archive.string() +
              (options.requireProof ? "; results without one are refused" : ""));
    }
    service = std::make_unique<ScoreService>(*store, TokenSigner(secret), settings, nullptr,
                                             verifier.get());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "skarvel-scores: %s\n", error.what());
    return 1;
  }

  ConnectionLimits limits;
  limits.ioThreads = options.ioThreads;
  limits.requestTimeout = std::chrono::seconds(options.timeoutSeconds);
  limits.firstByteTimeout = std::chrono::seconds(options.firstByteTimeoutSeconds);
  limits.maxConnectionsPerClient = options.maxConnectionsPerClient;
  limits.databaseWorkers = options.workers;
  limits.databaseQueue = options.databaseQueue;
  // Every connection is a file: the limit of open files bounds how many the server can hold.
  const size_t fileLimit = RaiseFileLimit();
  limits.maxConnections = std::min(options.maxConnections, ConnectionsWithin(fileLimit));
  std::printf("skarvel-scores: up to %zu connections (%zu per client), file limit %zu\n",
              limits.maxConnections, limits.maxConnectionsPerClient, fileLimit);
  const auto webRoot = options.webRoot.empty() ? DefaultWebRoot() : options.webRoot;
  ScoreHttpServer server(*service, limits, webRoot, stdout);
  server.TrustProxies(options.trustedProxies);
  const int port = server.Bind(options.host, options.port);
  if (port < 0) {
    std::fprintf(stderr, "skarvel-scores: cannot listen on %s:%d\n", options.host.c_str(),
                 options.port);
    return 1;
  }
  const bool bracket = options.host.find(':') != std::string::npos;
  std::printf("skarvel-scores: listening on http://%s%s%s:%d/ (%s, key %c)\n", bracket ? "[" : "",
              options.host.c_str(), bracket ? "]" : "", port, storeName.c_str(), options.key);

  std::atomic<bool> ended{false};
  std::thread signalWatcher([&server, &ended, stopSignals] {
    int received = 0;
    sigwait(&stopSignals, &received);
    if (ended) return;
    std::printf("skarvel-scores: %s, stopping\n", received == SIGTERM ? "SIGTERM" : "SIGINT");
    // A signal in the moment before the server runs would find nothing to stop: ask again.
    while (!ended) {
      server.Stop();
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
  const bool ran = server.Run();
  ended = true;
  // Wakes the watcher if no signal came (the server could not run); else it stays pending.
  kill(getpid(), SIGTERM);
  signalWatcher.join();
  std::printf("skarvel-scores: stopped\n");
  return ran ? 0 : 1;
}
