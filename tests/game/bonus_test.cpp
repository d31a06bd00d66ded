// Bonuses and the status bar's indicators in a running game: what each bonus does, kinds 7 and 8
// as weapons, the bonus clocks, the bonus indicator, the lives and the level's progress bar.
#include <array>

#include "tests/game/gameplay_fixture.h"

namespace {

using test_data::GameColor;

// Positions of pictures in the game archive (their colours in the test archive).
constexpr int StatusBarPicture = 7;
constexpr int ScalePicture = 8;
constexpr int LifePicture = 9;
constexpr int BonusIndicatorPicture = 13;

class BonusTest : public GameplayTest {
 protected:
  void SetUp() override {
    GameplayTest::SetUp();
    StartQuietGame();
  }
  // Takes a bonus and keeps the dragon off the field afterwards.
  void Take(uint8_t kind, uint8_t weapon = 2) {
    BonusOnDragon(kind, weapon);
    const int sound = Plays("bonus");
    Step(16);
    EXPECT_EQ(CountLive<TBonusSprite>(), 0);
    EXPECT_EQ(Plays("bonus"), sound + 1);
    EXPECT_TRUE(World().BonusIndicator->Visible);
  }
};

TEST_F(BonusTest, DrawsOfSevenAndEightAreWeaponBonuses) {
  int found[2] = {0, 0};
  for (uint32_t seed = 1; found[0] + found[1] < 6; ++seed) {
    TRandom draws;
    draws.Randomize(seed);
    const int first = draws.Random(8) + 1;
    if (first < 7) continue;
    ++found[first - 7];
    const int weapon = draws.Random(3) + 2;
    const int y = draws.Random(490 - 40) + 70;
    form->Rng.Randomize(seed);
    TBonusSprite& bonus = NewSprite<TBonusSprite>(Engine(), World());
    EXPECT_EQ(bonus.BonusKind, bkWeapon) << "draw " << first;
    EXPECT_EQ(bonus.BonusWeapon, weapon);
    EXPECT_EQ(bonus.X, 800);
    EXPECT_EQ(bonus.Y, y);
    // Taken, it arms the dragon.
    Hero().X = 300;
    bonus.X = Hero().X + 40;
    bonus.Y = Hero().Y + 20;
    Step(16);
    EXPECT_EQ(Hero().WeaponKind, weapon);
    EXPECT_EQ(Hero().FireRate, 12);
  }
  EXPECT_GT(found[0], 0);
  EXPECT_GT(found[1], 0);
}

TEST_F(BonusTest, WeaponBonusesComeThreeTimesAsOftenAsEachOtherKindAndStartBetween70And519) {
  ParkDragon();
  std::array<int, 7> kinds{};
  for (int i = 0; i < 8000; ++i) {
    TBonusSprite& bonus = NewSprite<TBonusSprite>(Engine(), World());
    ASSERT_GE(bonus.BonusKind, 1);
    ASSERT_LE(bonus.BonusKind, 6);
    ASSERT_GE(bonus.BonusWeapon, 2);
    ASSERT_LE(bonus.BonusWeapon, 4);
    ASSERT_GE(bonus.Y, 70);
    ASSERT_LE(bonus.Y + bonus.Height, 560);
    ++kinds[bonus.BonusKind];
    bonus.Kill();
    if (i % 500 == 0) Engine().RemoveDead();
  }
  EXPECT_NEAR(kinds[bkWeapon], 3000, 200);
  for (int kind = bkDestroyAll; kind <= bkTime; ++kind) EXPECT_NEAR(kinds[kind], 1000, 120);
}

TEST_F(BonusTest, AWeaponBonusLastsFifteenSecondsOfPlayThenTheStandardWeaponReturns) {
  Take(bkWeapon, 4);
  EXPECT_EQ(Hero().WeaponKind, 4);
  EXPECT_EQ(Hero().FireRate, 12);
  // The first 16 ms are counted in the frame the bonus is taken: the clock reads 00:14.
  EXPECT_EQ(Play().WeaponTime, 15000 - 16);
  ParkDragon();
  // A pause holds the clock.
  Press(vk::Letter('P'));
  ASSERT_EQ(State(), gsPaused);
  Frames(50);
  EXPECT_EQ(Play().WeaponTime, 15000 - 16);
  Press(vk::Letter('P'));
  ASSERT_EQ(State(), gsPlaying);
  Frames(937);
  EXPECT_EQ(Hero().WeaponKind, 4);
  EXPECT_EQ(Play().WeaponTime, 15000 - 16 * 938);
  Step(16);
  EXPECT_EQ(Hero().WeaponKind, StandardWeapon);
  EXPECT_EQ(Hero().FireRate, 24);
  EXPECT_FALSE(World().BonusIndicator->Visible);
}

TEST_F(BonusTest, DestroyAllDestroysEveryEnemyWithItsScore) {
  for (uint16_t kind : {1, 3, 8}) NewSprite<TFlyingEnemySprite>(Engine(), World(), kind);
  const int mandie = Plays("mandie");
  Take(bkDestroyAll);
  EXPECT_EQ(CountLive<TFlyingEnemySprite>(), 0);
  EXPECT_EQ(Play().Score, 10 + 20 + 15);
  EXPECT_EQ(Plays("mandie"), mandie + 2);
  EXPECT_EQ(Bursts("enemykill"), 2);
  EXPECT_EQ(Play().NoticeTime, 2000 - 16);
}

TEST_F(BonusTest, TheShieldStandsLeftOfTheDragonByTheTailsWidthForFifteenSeconds) {
  Take(bkShield);
  TShieldSprite& shield = *World().Shield;
  EXPECT_TRUE(shield.Visible);
  EXPECT_EQ(Play().ShieldTime, 15000 - 16);
  EXPECT_EQ(shield.X, Hero().X - Tail().Width);
  EXPECT_EQ(shield.Y, Hero().Y);
  Step(16);
  EXPECT_EQ(shield.FrameIndex, Hero().FrameIndex);
  // A death takes it away.
  Hero().Die();
  EXPECT_FALSE(shield.Visible);
  EXPECT_EQ(Play().ShieldTime, 0);
}

TEST_F(BonusTest, ExtraLifePointsAndTimeStayWithinTheirLimits) {
  struct Case {
    uint8_t kind;
    int lives;
    uint16_t score;
    GameMilliseconds elapsed;
    int livesAfter;
    uint16_t scoreAfter;
    GameMilliseconds elapsedAfter;  // before the frame's own 16 ms
  };
  const Case cases[] = {
      {bkExtraLife, 2, 0, 0, 3, 0, 0},    {bkExtraLife, 3, 0, 0, 3, 0, 0},
      {bkPoints, 3, 250, 0, 3, 350, 0},   {bkPoints, 3, 65500, 0, 3, 64, 0},  // the score wraps
      {bkTime, 3, 0, 4000, 3, 0, 0},                                          // not below 0
      {bkTime, 3, 0, 10000, 3, 0, 0},     {bkTime, 3, 0, 10016, 3, 0, 16},
      {bkTime, 3, 0, 25000, 3, 0, 15000},
  };
  for (const Case& c : cases) {
    Play().Lives = c.lives;
    Play().Score = c.score;
    Play().LevelElapsed = c.elapsed;
    Play().NoticeTime = 0;
    Hero().X = 300;
    Take(c.kind);
    EXPECT_EQ(Play().Lives, c.livesAfter) << int{c.kind};
    EXPECT_EQ(Play().Score, c.scoreAfter) << int{c.kind};
    EXPECT_EQ(Play().LevelElapsed, c.elapsedAfter + 16) << c.elapsed;
    EXPECT_EQ(Play().NoticeTime, 2000 - 16);
  }
}

TEST_F(BonusTest, TheBonusIndicatorShowsTheWeaponRunningLongestOrTheRing) {
  struct Case {
    int weaponTime, shieldTime, noticeTime;
    uint32_t color;
  };
  const Case cases[] = {
      {5000, 0, 0, GameColor(3 + WeaponIconBase)},  // the ice picture
      {5000, 2000, 0, GameColor(BonusIndicatorPicture)},
      {2000, 5000, 0, GameColor(BonusIndicatorPicture)},
      {0, 0, 1000, GameColor(BonusIndicatorPicture)},
  };
  Take(bkWeapon, 3);
  ParkDragon();
  for (const Case& c : cases) {
    Play().WeaponTime = c.weaponTime;
    Play().ShieldTime = c.shieldTime;
    Play().NoticeTime = c.noticeTime;
    Step(16);
    EXPECT_EQ(Pixel(715 + 2, 28 + 38), c.color) << c.weaponTime << " " << c.shieldTime;
  }
  Play().WeaponTime = Play().ShieldTime = Play().NoticeTime = 0;
  Step(16);
  EXPECT_FALSE(World().BonusIndicator->Visible);
  EXPECT_EQ(Pixel(715 + 2, 28 + 38), GameColor(StatusBarPicture));
}

TEST_F(BonusTest, TheBonusClockIsPrintedForAWeaponOrShieldButNotForANoticeAlone) {
  // Black ink right of the indicator, where "00:" and the seconds go.
  const auto clockInk = [&] {
    int ink = 0;
    for (int y = 27; y < 45; ++y) {
      for (int x = 756; x < 795; ++x) ink += Pixel(x, y) == 0 ? 1 : 0;
    }
    return ink;
  };
  Take(bkPoints);
  ParkDragon();
  EXPECT_EQ(clockInk(), 0);
  Play().ShieldTime = 3000;
  Step(16);
  EXPECT_GT(clockInk(), 10);
  Play().ShieldTime = 0;
  Play().NoticeTime = 0;
  Step(16);
  EXPECT_EQ(clockInk(), 0);
}

TEST_F(BonusTest, TheLivesIndicatorShowsOneLifePicturePerLife) {
  ParkDragon();
  for (int lives = 0; lives <= 3; ++lives) {
    Play().Lives = lives;
    Step(16);
    for (int i = 1; i <= 3; ++i) {
      EXPECT_EQ(Pixel(265 + 41 * i + 2, 38 + 2),
                GameColor(i <= lives ? LifePicture : StatusBarPicture))
          << lives << " lives, picture " << i;
    }
  }
}

TEST_F(BonusTest, TheScaleGrowsWithTheLevelClockAndIs98PixelsLongHalfWayThroughAMinute) {
  ParkDragon();
  struct Case {
    GameMilliseconds elapsed;  // after the frame
    int columns;
  };
  for (const Case c : {Case{16, 1}, Case{30000, 98}, Case{59984, 191}}) {
    Play().LevelElapsed = c.elapsed - 16;
    Step(16);
    EXPECT_EQ(World().Scale->Columns(), c.columns) << c.elapsed;
    // The test archive's scale patterns are solid 50-pixel blocks, so the last column's block
    // ends 49 pixels right of it.
    const int end = 453 + c.columns - 1 + 49;
    EXPECT_EQ(Pixel(end, 59), GameColor(ScalePicture)) << c.elapsed;
    EXPECT_EQ(Pixel(end + 1, 59), GameColor(StatusBarPicture)) << c.elapsed;
  }
}

TEST_F(BonusTest, ABonusFloatsLeftThreePixelsAFrameAndLeavesAtTheLeftEdge) {
  ParkDragon();
  TBonusSprite& bonus = NewSprite<TBonusSprite>(Engine(), World());
  bonus.Y = 300;
  Frames(10);
  EXPECT_EQ(bonus.X, 800 - 30);
  EXPECT_EQ(Pixel(bonus.X + 2, 300 + 2), GameColor(BonusIndicatorPicture));
  bonus.X = -37;
  Step(16);
  EXPECT_EQ(bonus.X, -40);
  EXPECT_FALSE(bonus.Killed());
  Step(16);
  EXPECT_TRUE(bonus.Killed());
}

}  // namespace
