// Enemies and their shots in a running game: where each kind enters, the weaving flyer's wave, the
// shooting rhythm, stones bursting at the ground, leaving the field, and ramming the dragon.
#include <algorithm>

#include "tests/game/gameplay_fixture.h"

namespace {

class EnemyTest : public GameplayTest {
 protected:
  void SetUp() override {
    GameplayTest::SetUp();
    StartQuietGame();
    ParkDragon();
  }
  TFlyingEnemySprite& Enemy(uint16_t kind) {
    return NewSprite<TFlyingEnemySprite>(Engine(), World(), kind);
  }
};

TEST_F(EnemyTest, EachKindEntersWhereItBelongs) {
  struct Case {
    uint16_t kind;
    const char* picture;
    int hitPoints;
  };
  const Case cases[] = {{1, "enemy1", 10}, {2, "enemy2", 10}, {3, "enemy3", 20}, {4, "enemy4", 5},
                        {5, "enemy5", 5},  {6, "enemy6", 5},  {7, "enemy7", 5},  {8, "enemy8", 15}};
  for (const Case& c : cases) {
    for (int i = 0; i < 20; ++i) {
      TFlyingEnemySprite& enemy = Enemy(c.kind);
      EXPECT_EQ(enemy.Image->Name(), c.picture);
      EXPECT_EQ(enemy.HitPoints, c.hitPoints);
      EXPECT_EQ(enemy.ScoreValue, c.hitPoints);
      switch (c.kind) {
        case 2:  // just above the play area, anywhere along it
          EXPECT_EQ(enemy.Y + enemy.Height, 60);
          EXPECT_GE(enemy.X, 100);
          EXPECT_LE(enemy.X, 799);
          break;
        case 1:
        case 3:
          EXPECT_EQ(enemy.X, 800);
          EXPECT_GE(enemy.Y, 50);
          EXPECT_LE(enemy.Y, 399);
          break;
        default:  // on the ground
          EXPECT_EQ(enemy.X, 800);
          EXPECT_EQ(enemy.Y, c.kind == 8 ? 498 : c.kind == 7 ? 497 : 495);
          break;
      }
      enemy.Kill();
    }
  }
}

TEST_F(EnemyTest, TheWeavingFlyerStaysWithinFiftyPixelsOfItsLineWithAPeriodOf256Frames) {
  TFlyingEnemySprite& enemy = Enemy(3);
  const int baseY = enemy.Y;
  EXPECT_EQ(enemy.BaseY, baseY);
  std::vector<int> ys;
  for (int frame = 0; frame < 280; ++frame) {
    Step(16);
    ys.push_back(enemy.Y - baseY);
    EXPECT_EQ(enemy.X, 800 - 3 * (frame + 1));
  }
  EXPECT_EQ(*std::max_element(ys.begin(), ys.end()), 50);
  EXPECT_EQ(*std::min_element(ys.begin(), ys.end()), -50);
  EXPECT_EQ(ys[63], 50);    // a quarter period in
  EXPECT_EQ(ys[191], -50);  // three quarters
  EXPECT_EQ(ys[255], 0);
  for (size_t i = 0; i + 256 < ys.size(); ++i) EXPECT_EQ(ys[i + 256], ys[i]) << i;
}

TEST_F(EnemyTest, EnemiesShootOnlyInTheShootingHalfOfTheirRhythmAndAtMostOncePerPause) {
  struct Case {
    uint16_t kind;
    const char* shot;
    int pause;
    int frames;  // while it is on the field
  };
  for (const Case c :
       {Case{8, "burnstone2", 40, 290}, Case{4, "arrow2", 13, 290}, Case{1, "arrow", 20, 170}}) {
    // A ground enemy may leave at the left (and be freed) before the frames are over.
    const TSpriteRef<TFlyingEnemySprite> enemy = Enemy(c.kind);
    enemy->Y = 300;  // a flyer's arrows then stay on the field
    NewcomerWatch<TWeaponSprite> shots;
    std::vector<int> frames;
    for (int frame = 1; frame <= c.frames; ++frame) {
      Step(16);
      for (TWeaponSprite* shot : shots.Newcomers(Engine())) {
        EXPECT_EQ(shot->Image->Name(), c.shot);
        frames.push_back(frame);
      }
    }
    ASSERT_GE(frames.size(), 3u) << c.kind;
    for (size_t i = 0; i < frames.size(); ++i) {
      // Phase runs 100, 99, ... 0 from the first frame on; shots only while it is below 50.
      const int phase = 100 - (frames[i] - 1) % 101;
      EXPECT_LT(phase, 50) << c.kind << " frame " << frames[i];
      if (i > 0) {
        EXPECT_GT(frames[i] - frames[i - 1], c.pause) << c.kind;
      }
    }
    EXPECT_GT(frames[0], 51);
    if (enemy) enemy->Kill();
    for (TWeaponSprite* shot : Live<TWeaponSprite>()) shot->Kill();
  }
}

// An enemy shot's last frames: a falling stone bursts below y 550; a rising stone and arrows
// leave the field without a burst.
struct ShotCase {
  const char* picture;
  uint8_t kind;
  int x, y;
  int lastFrame;  // the frame in which it ends
  bool bursts;
};

void PrintTo(const ShotCase& c, std::ostream* os) {
  *os << c.picture << " kind " << int{c.kind};
}

class EnemyShotTest : public EnemyTest, public ::testing::WithParamInterface<ShotCase> {};

TEST_P(EnemyShotTest, EndsWhereItShould) {
  const ShotCase& c = GetParam();
  TWeaponSprite& shot = NewSprite<TWeaponSprite>(Engine(), World(), c.x, c.picture, c.kind, 2, c.y);
  const TSpriteRef<TWeaponSprite> ref = shot;
  const int herodie = Plays("herodie");
  Frames(c.lastFrame - 1);
  ASSERT_TRUE(ref);
  EXPECT_FALSE(shot.Killed());
  Step(16);
  EXPECT_TRUE(!ref || ref->Killed());
  EXPECT_EQ(Bursts("enemykill"), c.bursts ? 1 : 0);
  EXPECT_EQ(Plays("herodie"), herodie + (c.bursts ? 1 : 0));
}

INSTANTIATE_TEST_SUITE_P(
    Shots, EnemyShotTest,
    ::testing::Values(ShotCase{"burnstone", 3, 400, 500, 11, true},  // y 550, then 555
                      ShotCase{"burnstone2", 4, 400, 20, 5, false},  // y 0, then -5
                      ShotCase{"arrow", 1, 10, 300, 5, false},       // x -30, then -40
                      ShotCase{"arrow2", 2, 400, 29, 5, false}));    // y 5, then -1

TEST_F(EnemyTest, AnEnemyThatLeavesAtTheLeftGivesNoScore) {
  for (uint16_t kind = 1; kind <= 8; ++kind) Enemy(kind);
  Frames(320);
  EXPECT_EQ(CountLive<TFlyingEnemySprite>(), 0);
  EXPECT_EQ(Play().Score, 0);
  EXPECT_EQ(Plays("mandie"), 0);
  EXPECT_EQ(Plays("catapultdie"), 0);
}

// Ramming: the enemy dies with its sound, burst and score, and costs the dragon its hit points.
struct RamCase {
  uint16_t kind;
  uint16_t score;
  const char* sound;
  bool bursts;
};

void PrintTo(const RamCase& c, std::ostream* os) {
  *os << "kind " << c.kind;
}

class RamTest : public GameplayTest, public ::testing::WithParamInterface<RamCase> {};

TEST_P(RamTest, ARammedEnemyDiesAndScores) {
  const RamCase& c = GetParam();
  StartQuietGame();
  EnemyOnDragon(c.kind);
  const int mandie = Plays("mandie");
  const int catapultdie = Plays("catapultdie");
  Step(16);
  EXPECT_EQ(CountLive<TFlyingEnemySprite>(), 0);
  EXPECT_EQ(Play().Score, c.score);
  EXPECT_EQ(Hero().HitPoints, FreshHitPoints - c.score);
  EXPECT_EQ(Plays("mandie") - mandie, std::string_view(c.sound) == "mandie" ? 1 : 0);
  EXPECT_EQ(Plays("catapultdie") - catapultdie, std::string_view(c.sound) == "catapultdie" ? 1 : 0);
  EXPECT_EQ(Bursts("enemykill"), c.bursts ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RamTest,
    ::testing::Values(RamCase{1, 10, "mandie", false}, RamCase{2, 10, "mandie", false},
                      RamCase{3, 20, "mandie", true}, RamCase{4, 5, "mandie", false},
                      RamCase{5, 5, "mandie", false}, RamCase{6, 5, "mandie", false},
                      RamCase{7, 5, "mandie", false}, RamCase{8, 15, "catapultdie", true}));

TEST_F(EnemyTest, TheScoreWrapsAt65536) {
  Play().Score = 65530;
  Enemy(3).Die();
  EXPECT_EQ(Play().Score, 14);
}

}  // namespace
