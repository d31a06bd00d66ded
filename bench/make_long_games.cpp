// Real long recordings for the proof benchmarks: games of seeds FIRST, FIRST+1, ... played by the
// long-game player (bench/long_game_player.h) on the game's picture archive, each to at least
// TICKS ticks (then left through the exit question) or to game over, written as
// OUT/game-SEED.skr. Each is checked with the server's own proof (VerifyReplay) before it is kept.
// A recording already in OUT is kept as it is. Runs one game a core.
//   make_long_games --archive FILE --out DIR [--count N=8] [--ticks N=37500] [--first-seed S=1]
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/long_game_player.h"
#include "sim/replay_check.h"

namespace {

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int Usage() {
  std::fprintf(stderr,
               "usage: make_long_games --archive GAMEGRAPHIC.DXG --out DIR [--count N] "
               "[--ticks N] [--first-seed S]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path archivePath;
  std::filesystem::path out;
  uint32_t count = 8;
  uint32_t ticks = 37500;
  uint32_t firstSeed = 1;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    const char* value = argv[i + 1];
    if (option == "--archive") {
      archivePath = value;
    } else if (option == "--out") {
      out = value;
    } else if (option == "--count") {
      count = static_cast<uint32_t>(std::stoul(value));
    } else if (option == "--ticks") {
      ticks = static_cast<uint32_t>(std::stoul(value));
    } else if (option == "--first-seed") {
      firstSeed = static_cast<uint32_t>(std::stoul(value));
    } else {
      return Usage();
    }
  }
  if (argc % 2 == 0 || archivePath.empty() || out.empty()) return Usage();
  const std::vector<uint8_t> archive = ReadBytes(archivePath);
  if (archive.empty()) {
    std::fprintf(stderr, "make_long_games: cannot read %s\n", archivePath.c_str());
    return 1;
  }
  std::filesystem::create_directories(out);

  std::atomic<uint32_t> next{0};
  std::atomic<bool> failed{false};
  std::mutex printing;
  const auto work = [&] {
    const TGamePictures pictures(archive);
    for (uint32_t i; (i = next++) < count;) {
      const uint32_t seed = firstSeed + i;
      const std::filesystem::path file = out / ("game-" + std::to_string(seed) + ".skr");
      if (std::filesystem::exists(file)) continue;
      const LongGame game = PlayLongGame(pictures, seed, ticks);
      const ReplayVerdict verdict = VerifyReplay(game.Recording, pictures);
      const std::vector<uint8_t> bytes = replay::EncodeReplay(game.Recording);
      std::lock_guard lock(printing);
      std::printf(
          "seed %u: %zu ticks (%.1f min of game time), level %u, score %u, %u lives lost, %u "
          "stretches played again, %zu bytes, %s\n",
          seed, game.Recording.Ticks.size(),
          static_cast<double>(replay::RecordedGameMilliseconds(game.Recording)) / 60000.0,
          unsigned{game.Level}, game.Recording.Header.ClaimedScore, game.LivesLost, game.Retries,
          bytes.size(), verdict.Proven ? "proven" : ("NOT PROVEN: " + verdict.Reason).c_str());
      std::fflush(stdout);
      if (!verdict.Proven) {
        failed = true;
        continue;
      }
      const std::filesystem::path part = file.string() + ".part";
      std::ofstream(part, std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size()));
      std::filesystem::rename(part, file);
    }
  };
  std::vector<std::thread> threads;
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  for (unsigned c = 0; c < std::min(cores, count); ++c) threads.emplace_back(work);
  for (auto& thread : threads) thread.join();
  return failed ? 1 : 0;
}
