// The level loop in a running game: how long levels last, the enemy schedule, day and night, the
// middle strips of every fifth level, the level's end and the end of the last life.
#include <algorithm>
#include <climits>
#include <functional>
#include <vector>

#include "tests/game/gameplay_fixture.h"

namespace {

class LevelLoopTest : public GameplayTest {
 protected:
  // Red pixels in a box: the captions are red.
  int RedInk(int left, int top, int width, int height) {
    int ink = 0;
    for (int y = top; y < top + height; ++y) {
      for (int x = left; x < left + width; ++x) ink += Pixel(x, y) == 0xFF0000 ? 1 : 0;
    }
    return ink;
  }
  std::vector<TMountain*> MiddleStrips() {
    std::vector<TMountain*> strips;
    for (TMountain* strip : Live<TMountain>()) {
      if (strip->Z() == 3) strips.push_back(strip);
    }
    return strips;
  }
};

TEST_F(LevelLoopTest, TheFirstLevelLastsSixtySecondsOfPlayedFrames) {
  StartQuietGame();
  ParkDragon();
  int played = 0;
  const int nextLevel = Plays("nextlevel");
  while (State() == gsPlaying && played < 4000) {
    Step(16);
    if (Play().Level == 1) ++played;
  }
  EXPECT_EQ(played, 60000 / 16);
  EXPECT_EQ(Play().Level, 2);
  EXPECT_EQ(State(), gsLevelBanner);
  EXPECT_EQ(Play().LevelElapsed, 0);
  EXPECT_EQ(Plays("nextlevel"), nextLevel + 1);
  EXPECT_GT(RedInk(320, 280, 200, 50), 50);  // "LEVEL 2"
}

TEST_F(LevelLoopTest, EachLevelLastsTenSecondsLongerUpToTwoMinutes) {
  StartQuietGame();
  const int lengths[] = {60, 70, 80, 90, 100, 110, 120, 120, 120, 120};
  for (int level = 1; level <= 10; ++level) {
    ASSERT_EQ(Play().Level, level);
    EXPECT_EQ(Play().LevelLength, lengths[level - 1] * 1000) << level;
    // The last frame of the level is still played; the next one shows the next banner.
    Play().LevelElapsed = Play().LevelLength - 16;
    ParkDragon();
    Step(16);
    EXPECT_EQ(State(), gsPlaying);
    Step(16);
    EXPECT_EQ(State(), gsLevelBanner);
    PassLevelBanner();
  }
}

TEST_F(LevelLoopTest, ALevelsEndEmptiesTheFieldOfActorsAndFreezesItUnderTheBanner) {
  StartQuietGame();
  NewSprite<TFlyingEnemySprite>(Engine(), World(), 1);
  NewSprite<TBonusSprite>(Engine(), World());
  NewSprite<TWeaponSprite>(Engine(), World(), 500, "arrow", 1, 2, 300);
  NewSprite<THeroWeaponSprite>(Engine(), World(), 1, 300, 300);
  NewSprite<TExplosionSprite>(Engine(), World(), "herokill", 4, 300, 300);
  NewSprite<TGreenTree>(Engine(), World());
  NewSprite<TVolcano>(Engine(), World(), false, 400);
  Hold(vk::Right);
  Frames(3);
  ASSERT_GT(Play().DriftX, 0);
  EndLevel();
  Release(vk::Right);
  ASSERT_EQ(State(), gsLevelBanner);
  EXPECT_EQ(CountLive<TFlyingEnemySprite>(), 0);
  EXPECT_EQ(CountLive<TBonusSprite>(), 0);
  EXPECT_EQ(CountLive<TWeaponSprite>(), 0);
  EXPECT_EQ(CountLive<THeroWeaponSprite>(), 0);
  EXPECT_EQ(CountLive<TExplosionSprite>(), 0);
  // Scenery stays.
  EXPECT_EQ(CountLive<TGreenTree>(), 1);
  EXPECT_EQ(CountLive<TVolcano>(), 1);
  EXPECT_FALSE(Hero().Visible);
  EXPECT_EQ(Hero().X, HeroStartX);
  EXPECT_EQ(Hero().Y, HeroStartY);
  EXPECT_EQ(Play().DriftX, 0);

  const int treeX = Live<TGreenTree>()[0]->X;
  const int stripX = MiddleStrips()[0]->X;
  Frames(10);
  EXPECT_EQ(Live<TGreenTree>()[0]->X, treeX);
  EXPECT_EQ(MiddleStrips()[0]->X, stripX);
  EXPECT_EQ(Play().LevelElapsed, 0);
  PassLevelBanner();
  EXPECT_TRUE(Hero().Visible);
  EXPECT_TRUE(Tail().Visible);
}

// Frames between two enemies at each level: the countdown is random(160 div level) + 50, and the
// enemy comes in the frame after it has run down.
struct SpawnCase {
  uint8_t level;
  int shortest, longest;
};

class EnemyScheduleTest : public LevelLoopTest, public ::testing::WithParamInterface<SpawnCase> {};

TEST_P(EnemyScheduleTest, EnemiesComeAtTheLevelsPace) {
  const SpawnCase& c = GetParam();
  StartQuietGame();
  ParkDragon();
  Play().Level = c.level;
  Play().LevelLength = INT32_MAX;  // the level goes on for the whole test
  Play().EnemyDelay = 0;
  NewcomerWatch<TFlyingEnemySprite> enemies;
  std::vector<int> gaps;
  int lastSpawn = 0;
  for (int frame = 1; gaps.size() < 40; ++frame) {
    Step(16);
    const size_t fresh = enemies.Newcomers(Engine()).size();
    ASSERT_LE(fresh, 1u);
    if (fresh == 0) continue;
    if (lastSpawn > 0) gaps.push_back(frame - lastSpawn);
    lastSpawn = frame;
  }
  const auto [shortest, longest] = std::minmax_element(gaps.begin(), gaps.end());
  EXPECT_GE(*shortest, c.shortest);
  EXPECT_LE(*longest, c.longest);
  // The schedule uses its whole range (within a few frames over 40 enemies).
  EXPECT_LE(*shortest, c.shortest + (c.longest - c.shortest) / 8);
  EXPECT_GE(*longest, c.longest - (c.longest - c.shortest) / 8);
}

INSTANTIATE_TEST_SUITE_P(Levels, EnemyScheduleTest,
                         ::testing::Values(SpawnCase{1, 51, 210}, SpawnCase{2, 51, 130},
                                           SpawnCase{80, 51, 52}, SpawnCase{81, 51, 51}),
                         [](const auto& test) {
                           return "Level" + std::to_string(test.param.level);
                         });

TEST_F(LevelLoopTest, DayAndNightSwitchEvery5001PlayedFramesAcrossLevelsAndGames) {
  // Played frames until the sky changes, whatever happens in between.
  const auto playedUntilSwitch = [&](const std::function<void(int)>& meanwhile) {
    const bool day = World().Back->Day();
    int played = 0;
    while (World().Back->Day() == day && played < 6000) {
      const bool playing = State() == gsPlaying && Play().LevelElapsed < Play().LevelLength;
      Step(16);
      if (playing) {
        ++played;
        meanwhile(played);
      }
      if (State() == gsLevelBanner) PassLevelBanner();
      if (State() == gsPlaying && Hero().Visible) ParkDragon();
    }
    return played;
  };
  StartQuietGame();
  ParkDragon();
  const bool firstDay = World().Back->Day();
  // In the middle a level ends.
  EXPECT_EQ(playedUntilSwitch([&](int played) {
              if (played == 2000) Play().LevelElapsed = Play().LevelLength;
            }),
            5001);
  EXPECT_EQ(Play().Level, 2);
  EXPECT_NE(World().Back->Day(), firstDay);
  Step(16);
  EXPECT_EQ(Pixel(600, 150), test_data::GameColor(World().Back->Day() ? 0 : 2));

  // The game ends 4000 played frames later; the count goes on in the next game.
  Play().LevelLength = INT32_MAX;
  Frames(4000 - 1);
  Play().Lives = 1;
  Hero().Die();
  while (State() != gsMenu) Step(16);
  Press(vk::Return);
  PassLevelBanner();
  ParkDragon();
  Play().EnemyDelay = Play().BonusDelay = Play().TreeDelay = Never;
  const bool before = World().Back->Day();
  EXPECT_EQ(playedUntilSwitch([](int) {}), 5001 - 4000);
  EXPECT_NE(World().Back->Day(), before);
}

TEST_F(LevelLoopTest, TheFifthLevelFliesOverOtherMountainsWithoutTheOldVolcanoes) {
  StartQuietGame();
  ParkDragon();
  Play().Level = 4;
  NewSprite<TVolcano>(Engine(), World(), false, 300);
  NewSprite<TVolcano>(Engine(), World(), true, 370);
  EndLevel();
  ASSERT_EQ(Play().Level, 5);
  std::vector<TMountain*> strips = MiddleStrips();
  ASSERT_EQ(strips.size(), 2u);
  EXPECT_EQ(strips[0]->Image->Name(), "fon2");
  EXPECT_EQ(strips[1]->Image->Name(), "fon2");
  EXPECT_EQ(strips[0]->X, 0);
  EXPECT_EQ(strips[1]->X, 943);
  EXPECT_EQ(strips[0]->Y, 448);
  EXPECT_EQ(strips[0]->StripSpeed, 2);
  EXPECT_EQ(World().MiddleStrips[0].Get(), strips[0]);
  EXPECT_EQ(CountLive<TVolcano>(), 0);
  EXPECT_EQ(Pixel(400, 470), test_data::GameColor(6));

  PassLevelBanner();
  ParkDragon();
  Frames(100);
  EndLevel();
  ASSERT_EQ(Play().Level, 6);
  strips = MiddleStrips();
  ASSERT_EQ(strips.size(), 2u);
  EXPECT_EQ(strips[0]->Image->Name(), "2-1");
  EXPECT_EQ(strips[0]->X, 0);
  EXPECT_EQ(strips[1]->X, 800);
  EXPECT_EQ(Pixel(400, 470), test_data::GameColor(4));

  // The level after that keeps its strips.
  PassLevelBanner();
  ParkDragon();
  EndLevel();
  ASSERT_EQ(Play().Level, 7);
  EXPECT_EQ(MiddleStrips(), strips);
}

TEST_F(LevelLoopTest, TheLevelStopsCountingAt255AndTheGameGoesOn) {
  StartQuietGame();
  Play().Level = 254;
  EndLevel();
  EXPECT_EQ(Play().Level, 255);
  PassLevelBanner();
  EndLevel();
  EXPECT_EQ(Play().Level, 255);
  PassLevelBanner();
  ParkDragon();
  Play().EnemyDelay = 0;
  Play().BonusDelay = 0;
  Step(16);
  EXPECT_EQ(CountLive<TFlyingEnemySprite>(), 1);
  EXPECT_EQ(CountLive<TBonusSprite>(), 1);
  EXPECT_EQ(Play().EnemyDelay, 50);
  EXPECT_LT(Play().BonusDelay, 1000 / 255);
}

// The dragon dies in the last played frame of a level: the death runs its course first, one life
// is lost, and the next level starts with a fresh dragon. A pause during the dying phase keeps the
// level waiting as well.
TEST_F(LevelLoopTest, ALevelThatRunsOutWhileTheDragonDiesEndsAfterTheDeathAtTheCostOfOneLife) {
  for (const bool pauseWhileDying : {false, true}) {
    SCOPED_TRACE(pauseWhileDying ? "paused while dying" : "not paused");
    form.reset();
    Start();
    form->Rng.Randomize(Seed);
    StartQuietGame();
    Play().LevelElapsed = Play().LevelLength - FrameInterval;
    Hero().HitPoints = 10;
    EnemyOnDragon(8);  // the catapult costs 15: the dragon dies with -5 hit points
    Step(16);
    ASSERT_EQ(State(), gsDying);
    ASSERT_EQ(Play().LevelElapsed, Play().LevelLength);
    EXPECT_EQ(Play().Lives, 2);
    if (pauseWhileDying) {
      Press(vk::Letter('P'));
      ASSERT_EQ(State(), gsPaused);
      Frames(5);
      EXPECT_EQ(State(), gsPaused);
      Press(vk::Letter('P'));
    }
    EXPECT_EQ(State(), gsDying);
    EXPECT_EQ(Play().Level, 1);
    for (int frame = 0; frame < 400 && State() != gsLevelBanner; ++frame) Step(16);
    ASSERT_EQ(State(), gsLevelBanner);
    EXPECT_EQ(Play().Level, 2);
    PassLevelBanner();
    Frames(10);
    EXPECT_EQ(State(), gsPlaying);
    EXPECT_TRUE(Hero().Visible);
    EXPECT_EQ(Hero().HitPoints, FreshHitPoints);
    EXPECT_EQ(Play().Lives, 2);
  }
}

// Killed by the grate on its last life in the last played frame: the game is over, as it would
// have been in the middle of the level.
TEST_F(LevelLoopTest, TheLastLifeLostInTheLastFrameOfALevelEndsTheGame) {
  StartQuietGame();
  Play().Lives = 1;
  Play().LevelElapsed = Play().LevelLength - FrameInterval;
  Hero().X = 60;  // the tail reaches the grate
  Step(16);
  ASSERT_EQ(State(), gsDying);
  ASSERT_EQ(Play().LevelElapsed, Play().LevelLength);
  const int looser = Plays("looser");
  const int nextLevel = Plays("nextlevel");
  for (int frame = 0; frame < 400 && State() == gsDying; ++frame) Step(16);
  EXPECT_EQ(State(), gsGameOver);
  EXPECT_EQ(Plays("looser"), looser + 1);
  Frames(1500 / 16 - 1);
  EXPECT_EQ(State(), gsGameOver);
  EXPECT_EQ(Play().Level, 1);
  EXPECT_EQ(Play().Lives, 0);
  EXPECT_EQ(Plays("nextlevel"), nextLevel);
  Step(16);
  EXPECT_EQ(State(), gsMenu);
}

// The same, with the window losing the focus during "GAME OVER" (which pauses it), and with the
// exit question asked over that pause: the level that ran out still never ends, and once resumed
// the game ends as before.
TEST_F(LevelLoopTest, NoLevelEndsAfterGameOverThroughAPauseOrTheExitQuestionOverIt) {
  for (const bool askToLeave : {false, true}) {
    SCOPED_TRACE(askToLeave ? "exit question over the pause" : "paused");
    form.reset();
    Start();
    form->Rng.Randomize(Seed);
    StartQuietGame();
    Play().Lives = 1;
    Play().LevelElapsed = Play().LevelLength - FrameInterval;
    Hero().X = 60;  // the tail reaches the grate
    Step(16);
    ASSERT_EQ(State(), gsDying);
    for (int frame = 0; frame < 400 && State() == gsDying; ++frame) Step(16);
    ASSERT_EQ(State(), gsGameOver);
    const int nextLevel = Plays("nextlevel");

    platform::Event event;
    event.kind = platform::EventKind::Deactivate;
    machine.Push(event);
    if (askToLeave) {
      event.kind = platform::EventKind::CloseRequest;
      machine.Push(event);
    }
    Step(16);
    ASSERT_EQ(State(), askToLeave ? gsExitQuestion : gsPaused);
    Frames(5);
    EXPECT_EQ(Play().Level, 1);
    EXPECT_EQ(Plays("nextlevel"), nextLevel);

    event.kind = platform::EventKind::Activate;
    machine.Push(event);
    Step(16);
    if (askToLeave) Press(vk::Escape);  // Cancel: back to the pause
    ASSERT_EQ(State(), gsPaused);
    Press(vk::Letter('P'));
    ASSERT_EQ(State(), gsGameOver);
    for (int frame = 0; frame < 200 && State() == gsGameOver; ++frame) Step(16);
    EXPECT_EQ(State(), gsMenu);
    EXPECT_EQ(Play().Level, 1);
    EXPECT_EQ(Play().Lives, 0);
    EXPECT_EQ(Plays("nextlevel"), nextLevel);
  }
}

TEST_F(LevelLoopTest, TheLastLifeEndsAfter190DyingFramesWithLooserThenGameOverThenTheMenu) {
  StartQuietGame();
  Play().Lives = 1;
  while (State() == gsPlaying) Step(16);  // into the grate
  ASSERT_EQ(State(), gsDying);
  EXPECT_EQ(Play().Lives, 0);
  const int looser = Plays("looser");
  Frames(189);
  EXPECT_EQ(State(), gsDying);
  EXPECT_EQ(Plays("looser"), looser);
  Step(16);
  EXPECT_EQ(State(), gsGameOver);
  EXPECT_EQ(Plays("looser"), looser + 1);
  EXPECT_FALSE(Hero().Visible);
  EXPECT_GT(RedInk(250, 280, 250, 50), 50);  // "GAME OVER"
  // The banner stands 1500 ms; a score of 0 has no place in the table.
  Frames(1500 / 16 - 1);
  EXPECT_EQ(State(), gsGameOver);
  Step(16);
  EXPECT_EQ(State(), gsMenu);
}

}  // namespace
