// The long-game player of the proof benchmarks (bench/long_game_player.h): the games it records
// on the game's own pictures are real games that the proof re-runs to their claimed score, and a
// seed always gives the same recording. Short games here (the benchmarks play ten minutes).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "bench/long_game_player.h"
#include "protocol/replay_format.h"
#include "sim/replay_check.h"

namespace {

std::vector<uint8_t> GameArchive() {
  std::ifstream in(std::filesystem::path(SKARVEL_GAME_DIR) / "data" / "gamegraphic.dxg",
                   std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(LongGamePlayer, ItsGameOfAMinuteIsProvenAfterTheTripThroughTheBytes) {
  const std::vector<uint8_t> archive = GameArchive();
  ASSERT_FALSE(archive.empty());
  const TGamePictures pictures(archive);
  constexpr uint32_t Minute = 3750;
  const LongGame game = PlayLongGame(pictures, 11, Minute);
  const replay::Replay& recording = game.Recording;
  // Left through the exit question just after the minute, or over before it.
  EXPECT_GE(recording.Ticks.size(), Minute);
  EXPECT_LE(recording.Ticks.size(), Minute + 200);
  EXPECT_EQ(recording.Header.TickCount, recording.Ticks.size());
  EXPECT_GT(recording.Header.ClaimedScore, 0u);  // it shot something down
  EXPECT_GE(recording.Header.Checkpoints.size(), 1u);

  const replay::Replay decoded = replay::DecodeReplay(replay::EncodeReplay(recording));
  const ReplayVerdict verdict = VerifyReplay(decoded, archive);
  EXPECT_TRUE(verdict.Proven) << verdict.Reason;
  EXPECT_EQ(verdict.FinalScore, recording.Header.ClaimedScore);
  EXPECT_EQ(verdict.Ticks, recording.Ticks.size());

  // The same score claimed one point higher is refused: the proof really re-ran the game.
  replay::Replay boasted = decoded;
  ++boasted.Header.ClaimedScore;
  EXPECT_FALSE(VerifyReplay(boasted, pictures).Proven);
}

TEST(LongGamePlayer, ASeedGivesTheSameRecordingAndAnotherSeedAnother) {
  const std::vector<uint8_t> archive = GameArchive();
  ASSERT_FALSE(archive.empty());
  const TGamePictures pictures(archive);
  const auto bytes = [&](uint32_t seed) {
    return replay::EncodeReplay(PlayLongGame(pictures, seed, 800).Recording);
  };
  const std::vector<uint8_t> first = bytes(5);
  EXPECT_EQ(bytes(5), first);
  EXPECT_NE(bytes(6), first);
}

}  // namespace
