// `skarvel --replay`: the golden recording played back through the real event loop, with the
// viewer's keys, reaches the score it claims; a recording this game cannot play is refused with a
// reason and nothing starts.
#include <fstream>
#include <iterator>

#include "protocol/replay_format.h"
#include "tests/support/menu_fixture.h"

namespace {

replay::Replay Golden() {
  std::ifstream in(std::string(SKARVEL_SOURCE_DIR) + "/tests/game/golden/scripted_game.skr",
                   std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
  return replay::DecodeReplay(bytes);
}

class ReplayPlaybackTest : public MenuTest {};

TEST_F(ReplayPlaybackTest, TheRecordingPlaysToItsScoreWithPauseAndFastForward) {
  const replay::Replay golden = Golden();
  ASSERT_EQ(form->StartReplay(golden), "");
  ASSERT_TRUE(form->Playback);
  // The pointer and the game's keys do not reach the recorded game.
  MoveTo(SteeringCentreX + 100, SteeringCentreY);
  Press(vk::Letter('P'));  // the viewer's pause
  for (int i = 0; i < 30; ++i) Step(16);
  EXPECT_EQ(form->Playback->NextTick, 0u);
  Press(vk::Space);
  Hold(vk::Letter('F'));
  for (int i = 0; i < 100; ++i) Step(16);
  EXPECT_EQ(form->Playback->NextTick, 400u);
  Release(vk::Letter('F'));
  for (int i = 0; i < 5000 && form->Playback->NextTick < golden.Ticks.size(); ++i) Step(16);
  EXPECT_EQ(form->Playback->NextTick, golden.Ticks.size());
  EXPECT_EQ(form->Play.Score, golden.Header.ClaimedScore);
  // It stays on "GAME OVER" until the viewer leaves.
  for (int i = 0; i < 200; ++i) Step(16);
  EXPECT_EQ(form->Screen.GameState, gsGameOver);
  Press(vk::Escape);
  EXPECT_TRUE(form->Closed());
}

TEST_F(ReplayPlaybackTest, ARecordingOfOtherRulesOrPicturesIsRefused) {
  const struct {
    const char* what;
    void (*change)(replay::Replay&);
    const char* says;
  } cases[] = {
      {"another simulation", [](replay::Replay& r) { r.Header.SimulationId += 1; },
       "another version of the game"},
      {"other pictures", [](replay::Replay& r) { r.Header.ArchiveHash ^= 1; },
       "other game pictures"},
      {"an impossible start", [](replay::Replay& r) { r.Header.Start.WeaponTime = -5; }, "damaged"},
  };
  for (const auto& c : cases) {
    replay::Replay changed = Golden();
    c.change(changed);
    const std::string refusal = form->StartReplay(changed);
    EXPECT_NE(refusal.find(c.says), std::string::npos) << c.what << ": " << refusal;
    EXPECT_FALSE(form->Playback) << c.what;
    EXPECT_EQ(form->Screen.GameState, gsMenu) << c.what;
  }
}

}  // namespace
