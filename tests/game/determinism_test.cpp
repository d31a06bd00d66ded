// A game is a function of its start and its per-tick input: drawing a frame changes nothing of it,
// and a scripted game comes out the same in every run and every build. The pinned outcome below is
// checked by the release and the sanitizer builds alike (they differ in optimisation), each test
// in a process of its own; a change to the game's rules or pictures moves it, and then it is
// pinned anew, on purpose.
#include <cstdint>

#include "game/game_start.h"
#include "game/state_hash.h"
#include "tests/game/gameplay_fixture.h"

namespace {

// Where the script's game stands after its ticks (or at its end, when it ends sooner).
constexpr int PinnedTicks = 1744;
constexpr uint16_t PinnedScore = 0;
constexpr uint8_t PinnedLevel = 1;
constexpr uint64_t PinnedHash = 0x51f8f00fd3ef16efu;

// The script's keys for a tick: steering that changes every sixteen ticks, mostly up and down,
// fire held throughout.
void HoldScriptedKeys(platform::headless::HeadlessPlatform& machine, int tick) {
  static constexpr uint16_t Steering[] = {vk::Up, vk::Down, vk::Left, vk::Right};
  uint32_t bits = static_cast<uint32_t>(tick / 16) * 2654435761u;
  bits ^= bits >> 15;
  for (const uint16_t key : Steering) {
    const bool sideways = key == vk::Left || key == vk::Right;
    if ((bits & 1u) && (!sideways || (bits & 6u) == 6u)) {
      machine.KeyDown(key);
    } else {
      machine.KeyUp(key);
    }
    bits >>= 1;
  }
  machine.KeyDown(vk::Space);
}

struct Outcome {
  int ticks;
  uint16_t score;
  uint8_t level;
  uint64_t hash;
};

class DeterminismTest : public GameplayTest {
 protected:
  // Plays the script from New game (its banner included) for at most `limit` ticks, pausing for a
  // while now and then, until the game has left the field; `each` sees every tick's end.
  template <typename Each>
  Outcome PlayScript(int limit, Each each) {
    Press(vk::Return);
    EXPECT_EQ(State(), gsLevelBanner);
    int tick = 0;
    for (; tick < limit && State() != gsMenu && State() != gsNameEntry; ++tick) {
      HoldScriptedKeys(machine, tick);
      if (tick % 1000 == 500) {
        Press(vk::Letter('P'));
        Frames(30);
        Press(vk::Letter('P'));
      }
      Step(16);
      each();
    }
    return {tick, Play().Score, Play().Level, GameStateHash(World())};
  }

  // Ends the game at once and answers what follows, back to the main menu.
  void LeaveForTheMenu() {
    for (const uint16_t key : {vk::Left, vk::Right, vk::Up, vk::Down, vk::Space}) {
      machine.KeyUp(key);
    }
    if (State() == gsPaused) Press(vk::Letter('P'));
    if (IsGameRunning(State())) {
      Press(vk::Escape);
      Press(vk::Return);  // OK: the game ends
    }
    for (int i = 0; i < 200 && State() == gsGameOver; ++i) Step(16);
    if (State() == gsNameEntry) {
      screen().MenuFocus = 2;  // Cancel
      form->ActivateItem();
    }
    ASSERT_EQ(State(), gsMenu);
    ASSERT_EQ(screen().MenuScreen, msMainMenu);
    for (int i = 0; i < 8 && screen().MenuFocus != miNewGame; ++i) Press(vk::Up);
    ASSERT_EQ(screen().MenuFocus, miNewGame);
  }
};

TEST_F(DeterminismTest, DrawingAFrameChangesNoGameStateInAnyStateOfAGame) {
  bool sawDying = false;
  bool sawBanner = false;
  bool sawGameOver = false;
  PlayScript(20000, [&] {
    sawDying |= State() == gsDying;
    sawBanner |= State() == gsLevelBanner;
    sawGameOver |= State() == gsGameOver;
    if (State() == gsMenu) return;  // the game has left; the menu draws itself
    const uint64_t before = GameStateHash(World());
    form->DrawGameFrame(*form->DrawSurface.BackBuffer());
    ASSERT_EQ(GameStateHash(World()), before) << "state " << int{State()};
  });
  EXPECT_TRUE(sawDying);
  EXPECT_TRUE(sawBanner);
  EXPECT_TRUE(sawGameOver);
}

TEST_F(DeterminismTest, TheStateHashSeesWhatAGameIsMadeOf) {
  StartQuietGame();
  const uint64_t start = GameStateHash(World());
  EXPECT_EQ(GameStateHash(World()), start);
  Hero().X += 1;
  const uint64_t moved = GameStateHash(World());
  EXPECT_NE(moved, start);
  Hero().X -= 1;
  EXPECT_EQ(GameStateHash(World()), start);
  form->Rng.Random(10);
  EXPECT_NE(GameStateHash(World()), start);
}

// The same seed and script in another process and another build reach this very state.
TEST_F(DeterminismTest, AScriptedGameReachesThePinnedOutcome) {
  const Outcome outcome = PlayScript(6000, [] {});
  EXPECT_EQ(outcome.ticks, PinnedTicks);
  EXPECT_EQ(outcome.score, PinnedScore);
  EXPECT_EQ(outcome.level, PinnedLevel);
  EXPECT_EQ(outcome.hash, PinnedHash) << std::hex << outcome.hash;
}

// The second game starts where the first one left the countdowns and the generator: restoring the
// first one's start makes the same input play the first game again.
TEST_F(DeterminismTest, ARestoredGameStartReplaysTheSameGame) {
  const TGameStart start = CaptureGameStart(World());
  const Outcome first = PlayScript(2500, [] {});
  LeaveForTheMenu();
  const Outcome unrestored = PlayScript(2500, [] {});
  EXPECT_NE(unrestored.hash, first.hash);
  LeaveForTheMenu();
  RestoreGameStart(World(), start);
  const Outcome replayed = PlayScript(2500, [] {});
  EXPECT_EQ(replayed.ticks, first.ticks);
  EXPECT_EQ(replayed.score, first.score);
  EXPECT_EQ(replayed.hash, first.hash);
}

}  // namespace
