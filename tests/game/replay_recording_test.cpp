// Every game is recorded from New game to "GAME OVER", and its recording proves its score: played
// again without a picture from its start and input, it reaches the same score on its last tick,
// agreeing with the state hashes taken along the way.
#include <cstdlib>
#include <fstream>

#include "game/state_hash.h"
#include "protocol/replay_format.h"
#include "sim/replay_check.h"
#include "tests/game/scripted_player.h"

namespace {

class ReplayRecordingTest : public ScriptedPlayerTest {};

TEST_F(ReplayRecordingTest, AGamePlayedToItsEndIsProvenByItsRecording) {
  const Played played = PlayScriptedGame();
  ASSERT_EQ(State(), gsGameOver);
  EXPECT_TRUE(played.dragonDied);
  EXPECT_GT(Play().Score, 0);

  const std::vector<uint8_t>& bytes = form->Recording.LastGameBytes();
  ASSERT_FALSE(bytes.empty());
  const replay::Replay recorded = replay::DecodeReplay(bytes);
  EXPECT_EQ(recorded, *form->Recording.LastGame());
  EXPECT_EQ(recorded.Header.TickCount, static_cast<uint32_t>(played.ticks));
  EXPECT_EQ(recorded.Header.ClaimedScore, Play().Score);
  ASSERT_GE(recorded.Header.Checkpoints.size(), 2u);
  // The last checkpoint is the state the game was left in.
  EXPECT_EQ(recorded.Header.Checkpoints.back().Tick, recorded.Header.TickCount - 1);
  EXPECT_EQ(recorded.Header.Checkpoints.back().Hash, GameStateHash(World()));

  const ReplayVerdict verdict = VerifyReplay(recorded, GameArchiveBytes());
  EXPECT_TRUE(verdict.Proven) << verdict.Reason;
  EXPECT_EQ(verdict.FinalScore, Play().Score);
  EXPECT_EQ(verdict.Ticks, recorded.Header.TickCount);

  // Kept in the player's folder too, beside config.dat.
  int kept = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path() / "replays")) {
    kept += entry.path().extension() == ".skr";
  }
  EXPECT_EQ(kept, 1);

  // To make the golden recording anew (after a change of the game's rules and SimulationId):
  // SKARVEL_WRITE_GOLDEN_REPLAY=tests/game/golden/scripted_game.skr skarvel_tests --gtest_filter=
  // ReplayRecordingTest.AGamePlayedToItsEndIsProvenByItsRecording
  if (const char* golden = std::getenv("SKARVEL_WRITE_GOLDEN_REPLAY")) {
    std::ofstream(golden, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
}

TEST_F(ReplayRecordingTest, AGameLeftThroughTheExitQuestionIsProvenWithItsScore) {
  const Played played = PlayScriptedGame(3000);
  ASSERT_EQ(State(), gsGameOver);
  ASSERT_LT(played.ticks, 3100);
  const std::optional<replay::Replay>& recorded = form->Recording.LastGame();
  ASSERT_TRUE(recorded);
  // Asked and answered between two ticks.
  EXPECT_EQ(recorded->Ticks.back().Controls,
            (std::vector<replay::ReplayControl>{replay::ReplayControl::ExitQuestionOpened,
                                                replay::ReplayControl::ExitConfirmed}));
  const ReplayVerdict verdict = VerifyReplay(*recorded, GameArchiveBytes());
  EXPECT_TRUE(verdict.Proven) << verdict.Reason;
  EXPECT_EQ(verdict.FinalScore, Play().Score);
}

TEST_F(ReplayRecordingTest, ATickThatFailsLeavesNoRecordingAndTheGameGoesOn) {
  StartPlaying();
  Frames(50);
  ASSERT_TRUE(form->Recording.Recording());
  // A sprite whose move throws stands for any failure inside a tick.
  struct TFailingSprite : TSprite {
    using TSprite::TSprite;
    void Advance(int32_t) override { throw std::runtime_error("a sprite failed"); }
  };
  auto& failing = NewSprite<TFailingSprite>(Engine());
  failing.Moves = true;
  Step(16);
  EXPECT_FALSE(form->Recording.Recording());
  failing.Kill();
  Frames(5);
  EXPECT_EQ(State(), gsPlaying);
  Press(vk::Escape);
  Press(vk::Return);
  Frames(3);
  EXPECT_EQ(State(), gsGameOver);
  EXPECT_TRUE(form->Recording.LastGameBytes().empty());
}

}  // namespace
