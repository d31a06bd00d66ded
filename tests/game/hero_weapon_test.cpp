// The dragon's shots and the explosions in a running game: leaving the field at the right, the
// hits each kind needs, one enemy per shot, a second shot on an enemy already destroyed, and
// the bursts playing their patterns once.
#include "tests/game/gameplay_fixture.h"

namespace {

class HeroWeaponTest : public GameplayTest {
 protected:
  void SetUp() override {
    GameplayTest::SetUp();
    StartQuietGame();
    ParkDragon();
  }
  THeroWeaponSprite& Shot(uint8_t kind, int x, int y) {
    return NewSprite<THeroWeaponSprite>(Engine(), World(), kind, x, y);
  }
  // A shot that meets the enemy in the next frame, whichever way the enemy moves.
  THeroWeaponSprite& ShotAt(uint8_t kind, const TFlyingEnemySprite& enemy) {
    return Shot(kind, enemy.X - 8, enemy.Y + 20);
  }
};

TEST_F(HeroWeaponTest, AShotIsGoneOnceItReachesX800) {
  struct Case {
    int x;
    int lastFrame;  // the frame in which it is killed
  };
  for (const Case c : {Case{700, 10}, Case{780, 2}, Case{789, 2}, Case{790, 1}, Case{799, 1}}) {
    THeroWeaponSprite& shot = Shot(1, c.x, 300);
    Frames(c.lastFrame - 1);
    EXPECT_FALSE(shot.Killed()) << c.x;
    EXPECT_EQ(shot.X, c.x + 10 * (c.lastFrame - 1));
    Step(16);
    EXPECT_TRUE(shot.Killed()) << c.x;
    Step(16);
    EXPECT_EQ(CountLive<THeroWeaponSprite>(), 0);
  }
}

// Shots of each kind fired one after the other at one enemy until it is destroyed.
struct HitsCase {
  uint8_t shotKind;
  uint16_t enemyKind;  // 1 has 10 hit points, 3 has 20
  int hits;
  const char* burst;  // null: any of the fire bursts
};

void PrintTo(const HitsCase& c, std::ostream* os) {
  *os << "shot " << int{c.shotKind} << " on enemy " << c.enemyKind;
}

class ShotPowerTest : public HeroWeaponTest, public ::testing::WithParamInterface<HitsCase> {};

TEST_P(ShotPowerTest, EachKindTakesItsPowerFromTheEnemy) {
  const HitsCase& c = GetParam();
  TFlyingEnemySprite& enemy = NewSprite<TFlyingEnemySprite>(Engine(), World(), c.enemyKind);
  enemy.X = 500;
  NewcomerWatch<TExplosionSprite> bursts;
  int hits = 0;
  while (!enemy.Killed() && hits < 20) {
    THeroWeaponSprite& shot = ShotAt(c.shotKind, enemy);
    Step(16);
    ASSERT_TRUE(shot.Killed()) << "a shot that touches an enemy is spent";
    ++hits;
    for (TExplosionSprite* burst : bursts.Newcomers(Engine())) {
      const std::string& name = burst->Image->Name();
      if (c.burst) {
        // The weaving flyer's own burst comes with the killing shot's.
        EXPECT_TRUE(name == c.burst || (enemy.Killed() && name == "enemykill")) << name;
      } else {
        EXPECT_TRUE(name == "fireballexplosion" || name == "herokill" || name == "enemykill")
            << name;
      }
    }
  }
  EXPECT_EQ(hits, c.hits);
  EXPECT_EQ(Play().Score, enemy.ScoreValue);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ShotPowerTest,
                         ::testing::Values(HitsCase{1, 1, 5, nullptr}, HitsCase{2, 1, 3, nullptr},
                                           HitsCase{3, 1, 3, "iceexplosion"},
                                           HitsCase{4, 1, 2, "electroexplosion"},
                                           HitsCase{1, 3, 10, nullptr}, HitsCase{2, 3, 5, nullptr},
                                           HitsCase{3, 3, 5, "iceexplosion"},
                                           HitsCase{4, 3, 3, "electroexplosion"}));

TEST_F(HeroWeaponTest, AShotWoundsOnlyOneOfTwoEnemiesItTouches) {
  TFlyingEnemySprite& first = NewSprite<TFlyingEnemySprite>(Engine(), World(), 4);
  TFlyingEnemySprite& second = NewSprite<TFlyingEnemySprite>(Engine(), World(), 5);
  first.X = second.X = 500;
  ShotAt(1, first);
  Step(16);
  EXPECT_EQ(first.HitPoints + second.HitPoints, 5 + 5 - 2);
  EXPECT_EQ(CountLive<THeroWeaponSprite>(), 0);
  EXPECT_EQ(CountLive<TExplosionSprite>(), 1);
}

TEST_F(HeroWeaponTest, ASecondShotInTheSameFrameDestroysTheDestroyedEnemyAgainWithItsScore) {
  struct Case {
    uint16_t kind;
    const char* sound;
    uint16_t score;
  };
  for (const Case c : {Case{7, "mandie", 5}, Case{8, "catapultdie", 15}}) {
    Play().Score = 0;
    TFlyingEnemySprite& enemy = NewSprite<TFlyingEnemySprite>(Engine(), World(), c.kind);
    enemy.X = 500;
    enemy.HitPoints = 2;
    ShotAt(1, enemy);
    ShotAt(1, enemy);
    const int sounds = Plays(c.sound);
    Step(16);
    EXPECT_TRUE(enemy.Killed());
    EXPECT_EQ(Play().Score, 2 * c.score) << c.kind;
    EXPECT_EQ(Plays(c.sound), sounds + 2) << c.kind;
    EXPECT_EQ(CountLive<THeroWeaponSprite>(), 0);
    Frames(20);  // the bursts play out
  }
}

TEST_F(HeroWeaponTest, AnExplosionShowsEachPatternForOneFrameWhileDriftingLeft) {
  struct Case {
    const char* picture;
    int32_t drift;
    int frames;  // its pattern count
  };
  for (const Case c :
       {Case{"dragondamage", 4, 8}, Case{"herokill", 4, 16}, Case{"enemykill", 3, 12}}) {
    TExplosionSprite& burst =
        NewSprite<TExplosionSprite>(Engine(), World(), c.picture, c.drift, 400, 300);
    for (int frame = 1; frame < c.frames; ++frame) {
      Step(16);
      ASSERT_FALSE(burst.Killed()) << c.picture << " frame " << frame;
      EXPECT_EQ(burst.FrameIndex, frame);
      EXPECT_EQ(burst.X, 400 - c.drift * frame);
    }
    Step(16);
    EXPECT_TRUE(burst.Killed()) << c.picture;
    Step(16);
  }
}

}  // namespace
