// Random play for a long stretch of game time: keys, pointer steering and clicks, pauses, deaths,
// game overs and new games, through the whole program in the headless backend. It must end
// without an error shown, with the sprite count bounded and the heap flat. SKARVEL_SOAK_FRAMES sets
// the length (default 37,500 frames: ten minutes of game time; an hour is 225,000).
#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "engine/sprites/sprite_engine.h"
#include "tests/support/menu_fixture.h"
#include "tests/support/test_song.h"

#if defined(__SANITIZE_ADDRESS__)
// From the AddressSanitizer runtime (its header is not installed with every compiler).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

size_t HeapBytes() {
#if defined(__SANITIZE_ADDRESS__)
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

int SoakFrames() {
  const char* text = std::getenv("SKARVEL_SOAK_FRAMES");
  const int frames = text ? std::atoi(text) : 0;
  return frames > 0 ? frames : 37500;
}

class SoakTest : public MenuTest {
 protected:
  void SetUp() override {
    WriteTestSong("sound/1.xm", "menu");
    WriteTestSong("sound/2.xm", "game");
    MenuTest::SetUp();
  }

  // Holds each of the five game keys with even chance, letting go of the others.
  void ChangeHeldKeys() {
    static constexpr uint16_t Keys[] = {vk::Left, vk::Right, vk::Up, vk::Down, vk::Control};
    for (const uint16_t key : Keys) {
      if (coin(player)) {
        machine.KeyDown(key);
      } else {
        machine.KeyUp(key);
      }
    }
  }

  void MovePointer() {
    std::uniform_int_distribution<int> x(0, 799);
    std::uniform_int_distribution<int> y(0, 599);
    platform::Event event;
    event.kind = platform::EventKind::PointerMove;
    event.x = x(player);
    event.y = y(player);
    machine.Push(event);
    event.kind = coin(player) ? platform::EventKind::PointerDown : platform::EventKind::PointerUp;
    machine.Push(event);
  }

  // What a player does outside the field: leave every question, start a new game.
  void LeaveMenusAndQuestions() {
    for (const uint16_t key : {vk::Left, vk::Right, vk::Up, vk::Down, vk::Control}) {
      machine.KeyUp(key);
    }
    const TGameState state = screen().GameState;
    if (state == gsNameEntry) {
      ++results;
      Press(vk::Escape);  // the exit question over the dialog
      Press(vk::Escape);  // not answered: back to the dialog
      if (coin(player)) {
        Type("Soak");
        screen().MenuFocus = 1;  // OK: into the table
      } else {
        screen().MenuFocus = 2;  // Cancel
      }
      form->ActivateItem();
      return;
    }
    if (state == gsSendQuestion) {
      screen().MenuFocus = 2;  // No: the Scores screen
      form->ActivateItem();
      return;
    }
    if (state == gsPaused) {
      // Paused, perhaps by a P that a held key had latched: play on.
      Press(vk::Letter('P'));
      return;
    }
    if (state != gsMenu) return;
    if (screen().MenuScreen != msMainMenu) {
      Press(vk::Escape);
      return;
    }
    ChooseMainItem(miNewGame);
    ++games;
  }

  // The platform's records of calls grow with play; they are the test's, not the game's.
  void ForgetRecords() {
    machine.soundImpl.calls.clear();
    machine.musicImpl.calls.clear();
    machine.windowImpl.warps.clear();
    machine.eventsImpl.waits.clear();
  }

  std::mt19937 player{20261210};
  std::bernoulli_distribution coin{0.5};
  int games = 0;
  int results = 0;
};

TEST_F(SoakTest, RandomPlayThroughDeathsAndNewGamesStaysWithinBoundsAndFlat) {
  form->Rng.Randomize(7);
  config().SoundOn = 1;
  config().MusicOn = 1;
  // An empty table: every game that scores opens the result dialog.
  for (ScoreEntry& entry : config().ScoreTable) entry = ScoreEntry{};
  const int frames = SoakFrames();
  std::uniform_int_distribution<int> stretch(5, 240);
  std::uniform_int_distribution<int> choice(0, 19);
  int nextChange = 0;
  int deaths = 0;
  int maxSprites = 0;
  int highestLevel = 0;
  size_t peakSecondQuarter = 0;
  size_t peakLastQuarter = 0;
  TGameState previous = gsMenu;
  for (int frame = 0; frame < frames; ++frame) {
    const TGameState state = screen().GameState;
    if (state == gsDying && previous != gsDying) ++deaths;
    previous = state;
    if (frame >= nextChange) {
      nextChange = frame + stretch(player);
      const int action = choice(player);
      if (state == gsPlaying || state == gsLevelBanner || state == gsDying) {
        if (action < 11) {
          ChangeHeldKeys();
        } else if (action < 16) {
          MovePointer();
        } else if (action == 16) {
          Press(vk::Letter('P'));  // pause
          Press(vk::Letter('P'));  // and play on
        } else if (action == 17) {
          // A player who lets go: the dragon drifts into the grate.
          for (const uint16_t key : {vk::Left, vk::Right, vk::Up, vk::Down}) {
            machine.KeyUp(key);
          }
        } else {
          // Random players rarely live through a level: its clock runs out at once.
          form->Play.LevelElapsed = form->Play.LevelLength;
        }
      } else if (state != gsGameOver) {
        LeaveMenusAndQuestions();
      }
    }
    Step(16);
    maxSprites = std::max(maxSprites, form->SpriteEngine1.Root().SpriteTotal());
    highestLevel = std::max<int>(highestLevel, form->Play.Level);
    if (frame % 1000 == 0) ForgetRecords();
    if (frame >= frames / 4 && frame < frames / 2) {
      peakSecondQuarter = std::max(peakSecondQuarter, HeapBytes());
    }
    if (frame >= frames * 3 / 4) peakLastQuarter = std::max(peakLastQuarter, HeapBytes());
  }
  EXPECT_TRUE(machine.windowImpl.messages.empty())
      << "error shown: " << machine.windowImpl.messages.front();
  // Play never gets stuck: new games keep coming.
  EXPECT_GE(games, frames / 15000);
  EXPECT_GT(deaths, 3);
  EXPECT_LT(maxSprites, 400);
  // A flat heap: the last quarter's peak within 2 MiB of the second quarter's.
  EXPECT_LT(peakLastQuarter, peakSecondQuarter + (2u << 20))
      << "second quarter " << peakSecondQuarter << ", last quarter " << peakLastQuarter;
  EXPECT_GT(results, 0);
  RecordProperty("games", games);
  RecordProperty("results", results);
  RecordProperty("deaths", deaths);
  RecordProperty("max_sprites", maxSprites);
  RecordProperty("highest_level", highestLevel);
  std::printf(
      "soak: %d frames, %d games, %d result dialogs, %d deaths, up to %d sprites, level %d, "
      "heap %zu -> %zu\n",
      frames, games, results, deaths, maxSprites, highestLevel, peakSecondQuarter, peakLastQuarter);
}

}  // namespace
