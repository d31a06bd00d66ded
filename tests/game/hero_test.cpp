// The dragon in a running game: steering by keys and pointer, its inertia, the grate, lava, the
// shield, firing, and a death with the next life.
#include <cmath>
#include <initializer_list>
#include <vector>

#include "tests/game/gameplay_fixture.h"

namespace {

class HeroTest : public GameplayTest {
 protected:
  TReshetkaSprite& Grate() { return *Live<TReshetkaSprite>().at(0); }
  // The dragon with the shield bonus just taken.
  void TakeShield() {
    BonusOnDragon(bkShield);
    Step(16);
    ASSERT_TRUE(World().Shield->Visible);
  }
};

TEST_F(HeroTest, LeftAloneTheDragonSlidesIntoTheGrateAndTheNextLifeStartsAfterTheDyingPhase) {
  StartQuietGame();
  int x = Hero().X;
  const int before = Plays("herodie");
  for (int frame = 0; frame < 300 && State() == gsPlaying; ++frame) {
    Step(16);
    if (State() == gsPlaying) {
      EXPECT_EQ(Hero().X, --x);
    }
  }
  ASSERT_EQ(State(), gsDying);
  EXPECT_EQ(Play().Lives, 2);
  EXPECT_FALSE(Hero().Visible);
  EXPECT_FALSE(Tail().Visible);
  EXPECT_EQ(Plays("herodie"), before + 1);
  EXPECT_EQ(Bursts("herokill"), 1);
  // The tail hangs 49 pixels further left: the dragon dies well right of the grate.
  EXPECT_GT(Hero().X, Grate().X + Grate().Width + 30);

  // The field keeps moving while the dragon is dead; the next life begins after 190 frames.
  const int grateY = Grate().Y;
  Frames(10);
  EXPECT_NE(Grate().Y, grateY);
  Frames(189 - 10);
  EXPECT_EQ(State(), gsDying);
  Step(16);
  EXPECT_EQ(State(), gsPlaying);
  EXPECT_TRUE(Hero().Visible);
  EXPECT_TRUE(Tail().Visible);
  EXPECT_EQ(Hero().X, HeroStartX);
  EXPECT_EQ(Hero().Y, HeroStartY);
  EXPECT_EQ(Hero().HitPoints, FreshHitPoints);
  EXPECT_EQ(Play().Lives, 2);
}

TEST_F(HeroTest, KeysSteerEightPixelsAFrameAndLeftAndUpWinOverTheirOpposites) {
  StartQuietGame();
  struct Case {
    std::vector<uint16_t> keys;
    int dx, dy;  // the world's drift takes one pixel to the left every frame
  };
  const Case cases[] = {
      {{}, -1, 0},
      {{vk::Left}, -9, 0},
      {{vk::Right}, 7, 0},
      {{vk::Left, vk::Right}, -9, 0},
      {{vk::Right, vk::Left}, -9, 0},
      {{vk::Up}, -1, -8},
      {{vk::Down}, -1, 8},
      {{vk::Up, vk::Down}, -1, -8},
      {{vk::Down, vk::Up}, -1, -8},
      {{vk::Letter('D'), vk::Letter('S')}, 7, 8},
  };
  for (const Case& c : cases) {
    Hero().X = 300;
    Hero().Y = 250;
    Play().DriftX = 0;
    Play().DriftY = 0;
    for (uint16_t key : c.keys) Hold(key);
    Step(16);
    for (uint16_t key : c.keys) Release(key);
    EXPECT_EQ(Hero().X - 300, c.dx) << c.keys.size() << " keys, first " << c.keys[0];
    EXPECT_EQ(Hero().Y - 250, c.dy) << c.keys.size() << " keys";
    // The tail follows the dragon.
    EXPECT_EQ(Tail().X, Hero().X - 49);
    EXPECT_EQ(Tail().Y, Hero().Y + 78);
  }
}

TEST_F(HeroTest, APointerStepOfTwentyMovesTheDragonOnceAndIsThenSpent) {
  StartQuietGame();
  Hero().X = 300;
  Hero().Y = 250;
  machine.windowImpl.cursorX = 440;
  machine.windowImpl.cursorY = 260;
  MoveTo(440, 260);
  EXPECT_EQ(machine.windowImpl.warps.back(), std::make_pair(400, 300));
  Step(16);
  EXPECT_EQ(Hero().X, 300 + 20 - 1);
  EXPECT_EQ(Hero().Y, 250 - 20);
  Step(16);
  EXPECT_EQ(Hero().X, 300 + 20 - 1 - 1);
  EXPECT_EQ(Hero().Y, 250 - 20);
}

TEST_F(HeroTest, AHeldDirectionBuildsUpThirtyPixelsOfDriftThatDecaysAfterRelease) {
  StartQuietGame();
  const int rightmost = 795 - Hero().Width;
  Hold(vk::Right);
  // The dragon gathers speed: 8 pixels a frame, plus the drift, less the world's one.
  int previous = Hero().X;
  int lastStep = 0;
  for (int frame = 1; frame <= 30; ++frame) {
    Step(16);
    const int stepNow = Hero().X - previous;
    EXPECT_GE(stepNow, lastStep) << frame;
    lastStep = stepNow;
    previous = Hero().X;
  }
  EXPECT_EQ(lastStep, 7 + 6);  // 30 frames of 0.2
  // Pressed against the right edge the direction still counts, so the drift keeps growing.
  Frames(150);
  EXPECT_EQ(Hero().X, rightmost);
  EXPECT_GE(Play().DriftX, 30);
  EXPECT_LT(Play().DriftX, 30.5);  // at most 30 extra pixels a frame
  EXPECT_EQ(Play().DriftY, 0);

  Release(vk::Right);
  // The dragon glides on against the edge while the drift decays by 0.2 a frame ...
  for (int frame = 1; frame <= 148; ++frame) {
    Step(16);
    ASSERT_EQ(Hero().X, rightmost) << frame;
  }
  // ... and when less than half a pixel is left, only the world's drift moves it.
  for (int frame = 1; frame <= 20; ++frame) {
    Step(16);
    EXPECT_EQ(Hero().X, rightmost - frame);
  }
  EXPECT_LE(std::abs(Play().DriftX), 0.2 + 1e-9);
}

TEST_F(HeroTest, LavaBurnsTenHitPointsAFrameSoAFreshDragonDiesInTheFifthFrame) {
  StartQuietGame();
  Hero().Y = 400;
  NewSprite<TVolcano>(Engine(), World(), true, Hero().X + 50);
  for (int frame = 1; frame <= 4; ++frame) {
    Step(16);
    EXPECT_EQ(Hero().HitPoints, FreshHitPoints - 10 * frame);
    EXPECT_EQ(State(), gsPlaying);
  }
  Step(16);
  EXPECT_EQ(State(), gsDying);
  EXPECT_EQ(Play().Lives, 2);
}

TEST_F(HeroTest, AVolcanoWithoutLavaDoesNoHarm) {
  StartQuietGame();
  Hero().Y = 400;
  NewSprite<TVolcano>(Engine(), World(), false, Hero().X - 20);
  Frames(10);
  EXPECT_EQ(Hero().HitPoints, FreshHitPoints);
  EXPECT_EQ(State(), gsPlaying);
}

// What touching each hazard does with and without the shield.
enum class Hazard { Grate, Arrow, Stone, Archer, Catapult, Lava };

struct HazardCase {
  Hazard hazard;
  bool shielded;
  int hitPoints;  // left after one frame of contact
  bool dies;
  uint16_t score;
  const char* burst;  // the effect that appears, or null
};

void PrintTo(const HazardCase& c, std::ostream* os) {
  *os << "hazard " << static_cast<int>(c.hazard) << (c.shielded ? " shielded" : " bare");
}

class HazardTest : public HeroTest, public ::testing::WithParamInterface<HazardCase> {
 protected:
  void PlaceHazard(Hazard hazard) {
    switch (hazard) {
      case Hazard::Grate:
        Hero().X = 60;  // the tail reaches the grate
        break;
      case Hazard::Arrow:
        NewSprite<TWeaponSprite>(Engine(), World(), Hero().X + 30, "arrow", 1, 2, Hero().Y + 30);
        break;
      case Hazard::Stone:
        NewSprite<TWeaponSprite>(Engine(), World(), Hero().X + 30, "burnstone", 3, 10,
                                 Hero().Y + 30);
        break;
      case Hazard::Archer:
        EnemyOnDragon(5);
        break;
      case Hazard::Catapult:
        EnemyOnDragon(8);
        break;
      case Hazard::Lava:
        Hero().Y = 400;
        NewSprite<TVolcano>(Engine(), World(), true, Hero().X + 50);
        break;
    }
  }
};

TEST_P(HazardTest, TheShieldTakesAwayTheDamageButNotWhatTheTouchDoesToTheOther) {
  const HazardCase& c = GetParam();
  StartQuietGame();
  if (c.shielded) TakeShield();
  const int lives = Play().Lives;
  PlaceHazard(c.hazard);
  Step(16);
  EXPECT_EQ(State(), c.dies ? gsDying : gsPlaying);
  EXPECT_EQ(Play().Lives, c.dies ? lives - 1 : lives);
  if (!c.dies) {
    EXPECT_EQ(Hero().HitPoints, c.hitPoints);
  }
  EXPECT_EQ(Play().Score, c.score);
  // Shots and enemies that touched the dragon are gone, shield or not.
  EXPECT_EQ(CountLive<TWeaponSprite>(), 0);
  EXPECT_EQ(CountLive<TFlyingEnemySprite>(), 0);
  if (c.burst) {
    EXPECT_GE(Bursts(c.burst), 1) << c.burst;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Hazards, HazardTest,
    ::testing::Values(HazardCase{Hazard::Grate, false, 0, true, 0, nullptr},
                      HazardCase{Hazard::Grate, true, 50, false, 0, nullptr},
                      HazardCase{Hazard::Arrow, false, 48, false, 0, "dragondamage"},
                      HazardCase{Hazard::Arrow, true, 50, false, 0, "dragondamage"},
                      // A stone ends with its own burst as well.
                      HazardCase{Hazard::Stone, false, 40, false, 0, "enemykill"},
                      HazardCase{Hazard::Stone, true, 50, false, 0, "dragondamage"},
                      // A rammed enemy costs its remaining hit points and still scores.
                      HazardCase{Hazard::Archer, false, 45, false, 5, nullptr},
                      HazardCase{Hazard::Archer, true, 50, false, 5, nullptr},
                      HazardCase{Hazard::Catapult, false, 35, false, 15, "enemykill"},
                      HazardCase{Hazard::Catapult, true, 50, false, 15, "enemykill"},
                      HazardCase{Hazard::Lava, false, 40, false, 0, nullptr},
                      HazardCase{Hazard::Lava, true, 50, false, 0, nullptr}));

// What lies across the joint of the dragon and its tail touches both in the same frame, and is met
// once: the tail's contacts are the dragon's own.
enum class AcrossTheJoint { Archer, PointsBonus, Stone };

struct JointCase {
  AcrossTheJoint what;
  int hitPoints;  // left after the frame of contact
  uint16_t score;
  int bonusSounds;
};

void PrintTo(const JointCase& c, std::ostream* os) {
  *os << "across the joint " << static_cast<int>(c.what);
}

class JointTest : public HeroTest, public ::testing::WithParamInterface<JointCase> {
 protected:
  // Centres `sprite` on a point that the dragon (after its 1-pixel drift of the next frame) and
  // its tail both cover.
  template <typename T>
  T& OnTheJoint(T& sprite) {
    const int x = Hero().X + 4;
    const int y = Hero().Y + 85;
    EXPECT_TRUE(x >= Tail().X - 1 && x < Tail().X - 1 + Tail().Width);
    EXPECT_TRUE(y >= Tail().Y && y < Hero().Y + Hero().Height);
    sprite.X = x - sprite.Width / 2;
    sprite.Y = y - sprite.Height / 2;
    return sprite;
  }
};

TEST_P(JointTest, ASpriteTouchingTheDragonAndItsTailInOneFrameIsMetOnce) {
  const JointCase& c = GetParam();
  StartQuietGame();
  const int sounds = Plays("bonus");
  switch (c.what) {
    case AcrossTheJoint::Archer:
      OnTheJoint(NewSprite<TFlyingEnemySprite>(Engine(), World(), 5));
      break;
    case AcrossTheJoint::PointsBonus: {
      TBonusSprite& bonus = OnTheJoint(NewSprite<TBonusSprite>(Engine(), World()));
      bonus.BonusKind = bkPoints;
      break;
    }
    case AcrossTheJoint::Stone:
      OnTheJoint(NewSprite<TWeaponSprite>(Engine(), World(), 0, "burnstone", 3, 10, 0));
      break;
  }
  Step(16);
  EXPECT_EQ(State(), gsPlaying);
  EXPECT_EQ(Hero().HitPoints, c.hitPoints);
  EXPECT_EQ(Play().Score, c.score);
  EXPECT_EQ(Plays("bonus") - sounds, c.bonusSounds);
}

INSTANTIATE_TEST_SUITE_P(Contacts, JointTest,
                         ::testing::Values(JointCase{AcrossTheJoint::Archer, 45, 5, 0},
                                           JointCase{AcrossTheJoint::PointsBonus, 50, 100, 1},
                                           JointCase{AcrossTheJoint::Stone, 40, 0, 0}));

TEST_F(HeroTest, LavaUnderTheJointBurnsTenHitPointsAFrameLikeLavaUnderTheDragonAlone) {
  StartQuietGame();
  // The lava pool's top left lies under the tail and the dragon's lower left corner.
  Hero().Y = 427 - 80;
  TVolcano& lava = NewSprite<TVolcano>(Engine(), World(), true, Hero().X - 10);
  ASSERT_EQ(lava.Y, Hero().Y + 80);
  for (int frame = 1; frame <= 4; ++frame) {
    Step(16);
    EXPECT_EQ(Hero().HitPoints, FreshHitPoints - 10 * frame);
    EXPECT_EQ(State(), gsPlaying);
  }
  Step(16);
  EXPECT_EQ(State(), gsDying);
  EXPECT_EQ(Play().Lives, 2);
}

TEST_F(HeroTest, WithTheShieldTheDragonRestsAtTheLeftEdgeInsteadOfDyingAtTheGrate) {
  StartQuietGame();
  TakeShield();
  Frames(200);
  EXPECT_EQ(State(), gsPlaying);
  EXPECT_EQ(Hero().X, 5);
  EXPECT_EQ(Hero().HitPoints, FreshHitPoints);
  // The shield rides with the dragon, left of it by the tail's width.
  EXPECT_EQ(World().Shield->X, Hero().X - Tail().Width);
  EXPECT_EQ(World().Shield->Y, Hero().Y);
}

TEST_F(HeroTest, TheStandardWeaponFiresEveryEightFramesABonusWeaponEverySixteen) {
  StartQuietGame();
  // Frames (from 1) in which a shot leaves while fire is held for 48 frames.
  const auto firingFrames = [&](const char* picture) {
    NewcomerWatch<THeroWeaponSprite> shots;
    shots.Newcomers(Engine());
    std::vector<int> frames;
    Hold(vk::Space);
    for (int frame = 1; frame <= 48; ++frame) {
      Hero().X = 300;  // away from the grate
      Step(16);
      for (THeroWeaponSprite* shot : shots.Newcomers(Engine())) {
        frames.push_back(frame);
        EXPECT_EQ(shot->Image->Name(), picture);
        // From the dragon's right edge, 44 pixels below its top.
        EXPECT_EQ(shot->X, Hero().X + Hero().Width);
        EXPECT_EQ(shot->Y, Hero().Y + 44);
      }
    }
    Release(vk::Space);
    return frames;
  };
  const int heroShot = Plays("heroshot");
  EXPECT_EQ(firingFrames("firepistol"), (std::vector<int>{1, 9, 17, 25, 33, 41}));
  EXPECT_EQ(Plays("heroshot"), heroShot + 6);

  Frames(20);  // the last pause runs out
  Hero().X = 300;
  BonusOnDragon(bkWeapon, 3);
  Step(16);
  ASSERT_EQ(Hero().WeaponKind, 3);
  EXPECT_EQ(firingFrames("icepistol"), (std::vector<int>{1, 17, 33}));
}

TEST_F(HeroTest, SeveralHitsInTheFrameOfADeathTakeOnlyOneLife) {
  StartQuietGame();
  Hero().HitPoints = 2;
  for (int i = 0; i < 3; ++i) {
    NewSprite<TWeaponSprite>(Engine(), World(), Hero().X + 30 + 10 * i, "arrow", 1, 2,
                             Hero().Y + 30);
  }
  EnemyOnDragon(1);
  Step(16);
  EXPECT_EQ(State(), gsDying);
  EXPECT_EQ(Play().Lives, 2);
  EXPECT_EQ(Bursts("herokill"), 1);
}

}  // namespace
