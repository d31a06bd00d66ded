// The golden recording: a scripted game that scores and loses its dragon, recorded once by the game
// itself (replay_recording_test.cpp says how). Played again here, in every build (release and
// sanitizer builds differ in optimisation), it must reach its pinned outcome; and a recording
// tampered with in any way is refused, with the reason.
#include <gtest/gtest.h>
#include <zstd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "protocol/replay_format.h"
#include "sim/replay_check.h"
#include "sim/simulation_id.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_game_data.h"

namespace {

// What the golden game reaches.
constexpr uint32_t GoldenScore = 95;
constexpr uint32_t GoldenTicks = 3458;
// The golden game's last state hash under each simulation id that has been. A change of the game's
// rules moves it: then SimulationId takes the next number, the golden recording is made anew, and
// a row is added here.
struct SimulationOutcome {
  uint32_t id;
  uint64_t lastHash;
};
constexpr SimulationOutcome KnownSimulations[] = {
    {1, 0xb43cd2a97015557bu},
};

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> GoldenBytes() {
  return ReadBytes(std::filesystem::path(SKARVEL_SOURCE_DIR) /
                   "tests/game/golden/scripted_game.skr");
}

// The game archive the golden game was played with: the tests' stand-in archive.
std::vector<uint8_t> GameArchive() {
  TempDir dir;
  test_data::WriteGameData(dir.path());
  return ReadBytes(dir.path() / "data" / "gamegraphic.dxg");
}

TEST(GoldenReplay, TheGoldenRecordingReplaysToItsPinnedOutcome) {
  const replay::Replay golden = replay::DecodeReplay(GoldenBytes());
  EXPECT_EQ(golden.Header.ClaimedScore, GoldenScore);
  EXPECT_EQ(golden.Header.TickCount, GoldenTicks);
  const ReplayVerdict verdict = VerifyReplay(golden, GameArchive());
  EXPECT_TRUE(verdict.Proven) << verdict.Reason;
  EXPECT_EQ(verdict.FinalScore, GoldenScore);
  EXPECT_EQ(verdict.Ticks, GoldenTicks);
}

TEST(GoldenReplay, AChangeOfTheGameRulesTakesANewSimulationId) {
  const replay::Replay golden = replay::DecodeReplay(GoldenBytes());
  ASSERT_EQ(golden.Header.SimulationId, SimulationId)
      << "the golden recording is made anew under each new SimulationId";
  const uint64_t lastHash = golden.Header.Checkpoints.back().Hash;
  int rows = 0;
  for (const SimulationOutcome& known : KnownSimulations) {
    rows += known.id == SimulationId;
    if (known.id == SimulationId) {
      EXPECT_EQ(known.lastHash, lastHash) << "the game's rules changed: take the next SimulationId";
    } else {
      EXPECT_NE(known.lastHash, lastHash) << "simulation " << known.id << " played this game so";
    }
  }
  EXPECT_EQ(rows, 1) << "one row per simulation id";
}

struct Tampering {
  const char* what;
  void (*change)(replay::Replay&);
  const char* reason;  // a part of the refusal's reason
};

const Tampering Tamperings[] = {
    {"score raised", [](replay::Replay& r) { r.Header.ClaimedScore += 10; }, "score differs"},
    {"score lowered", [](replay::Replay& r) { r.Header.ClaimedScore -= 1; }, "score differs"},
    {"one input flipped",
     [](replay::Replay& r) { r.Ticks[r.Ticks.size() / 3].Keys ^= replay::KeyUp; },
     "parts from the recording"},
    {"fire let go for a moment",
     [](replay::Replay& r) {
       for (size_t i = 500; i < 520; ++i) r.Ticks[i].Keys &= ~replay::KeyFire;
     },
     "parts from the recording"},
    {"its end cut off",
     [](replay::Replay& r) {
       r.Ticks.resize(r.Ticks.size() - 50);
       r.Header.TickCount = static_cast<uint32_t>(r.Ticks.size());
       std::erase_if(r.Header.Checkpoints, [&](auto& c) { return c.Tick >= r.Header.TickCount; });
     },
     "not over"},
    {"ticks after the end",
     [](replay::Replay& r) {
       r.Ticks.resize(r.Ticks.size() + 10);
       r.Header.TickCount = static_cast<uint32_t>(r.Ticks.size());
     },
     "was over after"},
    {"another seed", [](replay::Replay& r) { r.Header.Start.RandSeed ^= 1; }, "parts from"},
    {"another archive", [](replay::Replay& r) { r.Header.ArchiveHash ^= 1; },
     "another game-picture"},
    {"another simulation", [](replay::Replay& r) { r.Header.SimulationId += 1; },
     "another simulation"},
    {"a resume without a pause",
     [](replay::Replay& r) { r.Ticks[300].Controls.push_back(replay::ReplayControl::Resume); },
     "resume"},
    {"more time on the shield", [](replay::Replay& r) { r.Header.Start.ShieldTime = 1000000; },
     "start"},
    {"a drift that is no number", [](replay::Replay& r) { r.Header.Start.DriftX = 0.0 / 0.0; },
     "start"},
};

TEST(GoldenReplay, TamperedRecordingsAreRefusedWithTheirReason) {
  const std::vector<uint8_t> archive = GameArchive();
  const TGamePictures pictures(archive);
  const replay::Replay golden = replay::DecodeReplay(GoldenBytes());
  for (const Tampering& tampering : Tamperings) {
    replay::Replay changed = golden;
    tampering.change(changed);
    // Through the bytes, as a server would get it.
    const replay::Replay received = replay::DecodeReplay(replay::EncodeReplay(changed));
    const ReplayVerdict verdict = VerifyReplay(received, pictures);
    EXPECT_FALSE(verdict.Proven) << tampering.what;
    EXPECT_NE(verdict.Reason.find(tampering.reason), std::string::npos)
        << tampering.what << ": " << verdict.Reason;
  }
}

// Bytes that are no recording never get as far as the game.
std::vector<uint8_t> WithBody(const std::vector<uint8_t>& frame) {
  static constexpr uint8_t Prefix[] = {'S', 'K', 'R', 'P', 1, 0, 0, 0};
  std::vector<uint8_t> bytes(std::size(Prefix) + frame.size());
  std::copy(std::begin(Prefix), std::end(Prefix), bytes.begin());
  std::copy(frame.begin(), frame.end(), bytes.begin() + std::ssize(Prefix));
  return bytes;
}

std::vector<uint8_t> Compressed(const std::vector<uint8_t>& body, bool declareSize) {
  std::vector<uint8_t> frame(ZSTD_compressBound(body.size()));
  ZSTD_CCtx* context = ZSTD_createCCtx();
  ZSTD_CCtx_setParameter(context, ZSTD_c_contentSizeFlag, declareSize ? 1 : 0);
  ZSTD_outBuffer out{frame.data(), frame.size(), 0};
  ZSTD_inBuffer in{body.data(), body.size(), 0};
  ZSTD_compressStream2(context, &out, &in, ZSTD_e_end);
  ZSTD_freeCCtx(context);
  frame.resize(out.pos);
  return frame;
}

TEST(GoldenReplay, DamagedOversizedAndBombBytesAreRefusedBeforeAnyGame) {
  const std::vector<uint8_t> good = GoldenBytes();
  const std::vector<uint8_t> bomb(64 * 1024 * 1024, 0);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* reason;
  };
  std::vector<Case> cases = {
      {"empty", {}, "not a Skarvel recording"},
      {"cut short", {good.begin(), good.begin() + static_cast<long>(good.size() / 2)}, "damaged"},
      {"one byte short", {good.begin(), good.end() - 1}, "damaged"},
      {"a byte more", good, "bytes follow"},
      {"oversized", std::vector<uint8_t>(replay::MaxReplayBytes + 1, 0), "larger than"},
      {"another format", good, "format 2"},
      {"a bomb that says its size", WithBody(Compressed(bomb, true)), "decompress to more"},
      {"a bomb that hides its size", WithBody(Compressed(bomb, false)), "decompresses to more"},
      {"a body of noise", WithBody(std::vector<uint8_t>(100, 0x5A)), "not a zstd frame"},
  };
  cases[3].bytes.push_back(0);
  cases[5].bytes[4] = 2;
  for (const Case& c : cases) {
    try {
      replay::DecodeReplay(c.bytes);
      ADD_FAILURE() << c.what << " was read";
    } catch (const replay::ReplayFormatError& error) {
      EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos)
          << c.what << ": " << error.what();
    }
  }
}

// New game takes the archive's digest from the file a piece at a time: it must be the digest of the
// bytes the server and the player load, whatever the file's length against the piece size.
TEST(GameArchiveHash, OfAFileReadInPiecesIsTheDigestOfItsBytes) {
  TempDir dir;
  for (const size_t length : {size_t{0}, size_t{1}, size_t{65536}, size_t{200001}}) {
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);
    const std::filesystem::path file = dir.path() / ("archive" + std::to_string(length));
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(length));
    EXPECT_EQ(replay::GameArchiveFileHash(file), replay::GameArchiveHash(bytes)) << length;
  }
  EXPECT_THROW(replay::GameArchiveFileHash(dir.path() / "missing"), replay::ReplayFormatError);
}

}  // namespace
