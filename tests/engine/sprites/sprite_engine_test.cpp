#include "engine/sprites/sprite_engine.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "engine/base/exception.h"
#include "engine/sprites/image_sprite.h"
#include "engine/sprites/sprite_ref.h"

namespace {

// A sprite that writes what happens to it into a shared log.
class Probe : public TSprite {
 public:
  Probe(TSprite* parent, std::vector<std::string>& log, std::string name, int32_t z = 0)
      : TSprite(parent), log_(log), name_(std::move(name)) {
    SetZ(z);
    Width = 10;
    Height = 10;
  }
  ~Probe() override { log_.push_back("free " + name_); }
  void Render() override { log_.push_back("draw " + name_); }
  void Advance(int32_t moveCount) override {
    log_.push_back("move " + name_ + " " + std::to_string(moveCount));
    if (onAdvance) onAdvance();
  }
  void HandleCollision(TSprite& other, bool& done) override {
    log_.push_back("hit " + name_ + " " + static_cast<Probe&>(other).name_);
    if (onHit) onHit(other, done);
  }

  std::function<void()> onAdvance;
  std::function<void(TSprite&, bool&)> onHit;

 private:
  std::vector<std::string>& log_;
  std::string name_;
};

class SpriteEngineTest : public ::testing::Test {
 protected:
  SpriteEngineTest() { engine.ScreenRect = {0, 0, 800, 600}; }
  Probe& Make(const std::string& name, int32_t z = 0, TSprite* parent = nullptr) {
    return NewSprite<Probe>(parent ? *parent : engine, log, name, z);
  }
  std::vector<std::string> Drawn() {
    log.clear();
    engine.DrawAll();
    return log;
  }

  std::vector<std::string> log;
  TSpriteEngine engine;
};

using Log = std::vector<std::string>;

TEST_F(SpriteEngineTest, EqualZIsDrawnNewestFirstSoTheFirstCreatedIsOnTop) {
  Make("a", 7);
  Make("b", 7);
  Make("c", 7);
  Make("low", 1);
  Make("high", 9);
  EXPECT_EQ(Drawn(), (Log{"draw low", "draw c", "draw b", "draw a", "draw high"}));
  EXPECT_EQ(engine.DrawnCount(), 5);
}

TEST_F(SpriteEngineTest, SettingZBackAndForthPutsTheSpriteUnderItsEquals) {
  Make("a", 7);
  Probe& b = Make("b", 7);
  Make("c", 7);
  b.SetZ(7);  // unchanged: stays where it is
  EXPECT_EQ(Drawn(), (Log{"draw c", "draw b", "draw a"}));
  b.SetZ(8);
  EXPECT_EQ(Drawn(), (Log{"draw c", "draw a", "draw b"}));
  b.SetZ(7);
  EXPECT_EQ(Drawn(), (Log{"draw b", "draw c", "draw a"}));
}

TEST_F(SpriteEngineTest, MoveAllWalksInCreationOrderAndStopsAtSpritesThatDoNotMove) {
  Probe& parent = Make("parent", 5);
  Make("child", 0, &parent);
  Probe& frozen = Make("frozen", -5);
  Make("frozen child", 0, &frozen);
  Probe& spawner = Make("spawner");
  frozen.Moves = false;
  spawner.onAdvance = [&] { Make("late"); };  // created during the walk: moved next time
  engine.MoveAll(3);
  EXPECT_EQ(log, (Log{"move parent 3", "move child 3", "move spawner 3"}));
  spawner.onAdvance = nullptr;
  log.clear();
  engine.MoveAll(1);
  EXPECT_EQ(log, (Log{"move parent 1", "move child 1", "move spawner 1", "move late 1"}));
}

TEST_F(SpriteEngineTest, InvisibleParentsHideChildrenAndOffScreenSpritesStillWalkTheirs) {
  Probe& hidden = Make("hidden");
  Make("under hidden", 0, &hidden);
  hidden.Visible = false;
  Probe& touching = Make("touching");  // (800, 0, 810, 10) only touches the right edge
  touching.X = 800;
  Probe& above = Make("above");
  above.Y = -10;  // (0, -10, 10, 0) only touches the top edge
  Probe& offLeft = Make("off left");
  offLeft.X = -100;
  Probe& onScreenChild = Make("child on screen", 0, &offLeft);
  onScreenChild.X = 150;  // at 50 on the surface
  Probe& corner = Make("corner");
  corner.X = 795;  // (795, 595, 805, 605): overlaps the corner
  corner.Y = 595;
  EXPECT_EQ(Drawn(), (Log{"draw corner", "draw child on screen"}));  // all Z 0: newest first
  EXPECT_EQ(engine.DrawnCount(), 2);
}

TEST_F(SpriteEngineTest, CollideFindsTargetsInCreationOrderUntilTheHandlerEndsIt) {
  Probe& hero = Make("hero");
  Probe& first = Make("first");
  Make("inner", 0, &first).X = -5;  // at (-5, 0) relative to first: still overlaps the hero
  Probe& killed = Make("killed");
  Probe& apart = Make("apart");
  apart.X = 10;  // only touches the hero's right edge
  Probe& inert = Make("inert");
  Make("under inert", 0, &inert);
  inert.Collides = false;  // skipped with its children
  first.X = 5;
  killed.Kill();

  EXPECT_EQ(hero.Collide(), 3);
  EXPECT_EQ(log, (Log{"hit hero first", "hit hero inner", "hit hero killed"}));

  log.clear();
  hero.onHit = [](TSprite&, bool& done) { done = true; };
  EXPECT_EQ(hero.Collide(), 1);
  EXPECT_EQ(log, (Log{"hit hero first"}));

  log.clear();
  hero.onHit = [&](TSprite&, bool&) { hero.Kill(); };  // killing the searcher ends the search too
  EXPECT_EQ(hero.Collide(), 1);
  log.clear();
  EXPECT_EQ(hero.Collide(), 0);  // a killed sprite finds nothing and hears nothing
  EXPECT_TRUE(log.empty());

  EXPECT_EQ(killed.Collide(), 0);
  Probe& lonely = NewSprite<Probe>(engine, log, "no collides");
  lonely.Collides = false;
  EXPECT_EQ(lonely.Collide(), 0);
}

TEST_F(SpriteEngineTest, AHandlerMayCollideAgainWithoutSpoilingTheOuterSearch) {
  Probe& hero = Make("hero");
  Probe& shield = Make("shield");
  Make("enemy");
  bool inner = false;
  hero.onHit = [&](TSprite& other, bool&) {
    if (&other == &shield && !inner) {
      inner = true;
      shield.Collide();
    }
  };
  EXPECT_EQ(hero.Collide(), 2);
  EXPECT_EQ(log, (Log{"hit hero shield", "hit shield hero", "hit shield enemy", "hit hero enemy"}));
}

TEST_F(SpriteEngineTest, KilledSpritesWaitForRemoveDeadAndFreeWithTheirChildren) {
  Probe& a = Make("a");
  Probe& b = Make("b");
  Probe& child = Make("child", 0, &b);
  Make("c");
  EXPECT_EQ(engine.SpriteTotal(), 4);
  child.Kill();
  a.Kill();
  a.Kill();  // twice: still once in the queue
  b.Kill();
  EXPECT_EQ(engine.KillQueue(), (std::vector<TSprite*>{&child, &a, &b}));
  EXPECT_TRUE(a.Killed());

  EXPECT_EQ(Drawn(), (Log{"draw c", "draw b", "draw child", "draw a"}));  // still drawn
  log.clear();
  engine.RemoveDead();
  // The last killed goes first; its child leaves the queue with it.
  EXPECT_EQ(log, (Log{"free b", "free child", "free a"}));
  EXPECT_TRUE(engine.KillQueue().empty());
  EXPECT_EQ(engine.SpriteTotal(), 1);
  EXPECT_EQ(engine.ChildCount(), 1);
}

TEST_F(SpriteEngineTest, RemoveAllFreesLastCreatedFirstAndSafeReferencesReadEmpty) {
  Probe& hero = Make("hero");
  Probe& tail = Make("tail", 0, &hero);
  TSpriteRef<Probe> heroRef = &hero;
  TSpriteRef<TSprite> tailRef = TSpriteRef<Probe>(tail);
  TSpriteRef<Probe> strip = &Make("strip");
  EXPECT_EQ(heroRef.Get(), &hero);
  EXPECT_TRUE(tailRef == &tail);

  strip->Kill();
  engine.RemoveDead();
  EXPECT_FALSE(strip);
  EXPECT_EQ(strip.Get(), nullptr);
  EXPECT_TRUE(heroRef);

  log.clear();
  engine.RemoveAll();
  EXPECT_EQ(log, (Log{"free hero", "free tail"}));
  EXPECT_FALSE(heroRef);
  EXPECT_FALSE(tailRef);
  EXPECT_EQ(engine.SpriteTotal(), 0);
  try {
    heroRef->Kill();
    FAIL();
  } catch (const ESpriteError& e) {
    EXPECT_STREQ(e.what(), "Sprite reference is empty");
  }
}

TEST_F(SpriteEngineTest, ChildOutsideTheChildrenFails) {
  Probe& lone = Make("lone");
  try {
    lone.Child(0);
    FAIL();
  } catch (const ESpriteError& e) {
    EXPECT_STREQ(e.what(), "Index of the list exceeds the range. (0)");
  }
  Make("only", 0, &lone);
  EXPECT_EQ(lone.ChildCount(), 1);
  for (int32_t bad : {-1, 1}) {
    try {
      lone.Child(bad);
      FAIL();
    } catch (const EListError& e) {
      EXPECT_EQ(std::string(e.what()), "List index out of bounds (" + std::to_string(bad) + ")");
    }
  }
}

TEST_F(SpriteEngineTest, ASpriteWhoseConstructorFailsLeavesTheTreeAsItWas) {
  struct Failing : TSprite {
    explicit Failing(TSprite* parent) : TSprite(parent) {
      new TSprite(this);  // a child made before the failure goes with it
      throw std::runtime_error("no picture");
    }
  };
  Make("before");
  EXPECT_THROW(new Failing(&engine), std::runtime_error);
  EXPECT_EQ(engine.ChildCount(), 1);
  EXPECT_EQ(engine.SpriteTotal(), 1);
  EXPECT_EQ(Drawn(), (Log{"draw before"}));
}

TEST_F(SpriteEngineTest, PositionsAddUpThroughTheTree) {
  Probe& parent = Make("parent");
  parent.X = 100;
  parent.Y = 50;
  Probe& child = Make("child", 0, &parent);
  child.X = -30;
  child.Y = 5;
  EXPECT_EQ(child.AbsX(), 70);
  EXPECT_EQ(child.AbsY(), 55);
  EXPECT_EQ(child.Bounds(), (TRect{70, 55, 80, 65}));
}

TEST(TruncPixels, TruncatesTowardZeroAndKeepsWithin32Bits) {
  constexpr int32_t Min = std::numeric_limits<int32_t>::min();
  constexpr int32_t Max = std::numeric_limits<int32_t>::max();
  const std::pair<double, int32_t> cases[] = {
      {0.0, 0},
      {-0.0, 0},
      {1.9, 1},
      {-1.9, -1},
      {-0.5, 0},
      {799.999, 799},
      {2147483646.5, 2147483646},
      {2147483647.0, Max},
      {2147483647.9, Max},
      {-2147483647.5, -2147483647},
      {-2147483648.0, Min},
      {-2147483648.9, Min},
      {1e300, Max},
      {-1e300, Min},
      {std::numeric_limits<double>::infinity(), Max},
      {-std::numeric_limits<double>::infinity(), Min},
      {std::numeric_limits<double>::quiet_NaN(), 0},
  };
  for (const auto& [value, pixels] : cases) EXPECT_EQ(TruncPixels(value), pixels) << value;
}

struct AnimationCase {
  int32_t count, index;
  double speed;
  bool loop;
  int32_t moveCount;
  int32_t endIndex;
  double endSpeed;
};

TEST(ImageSpriteAdvance, StepsRoundHalvesToEvenAndEndAsTheyShould) {
  const AnimationCase cases[] = {
      {4, 3, 1, true, 2, 1, 1},      // 5 mod 4
      {4, 3, 1, false, 2, 3, 0},     // stops on the last pattern
      {4, 0, 0.5, true, 1, 0, 0.5},  // 0.5 rounds to 0: never advances
      {8, 0, 0.5, true, 3, 2, 0.5},  // 1.5 rounds to 2
      {8, 0, 2.5, true, 1, 2, 2.5},  // 2.5 rounds to 2
      {8, 0, 0.7, true, 1, 1, 0.7},
      {4, 0, -1, true, 1, 3, -1},  // a negative remainder wraps forward
      {4, 1, -3, false, 1, 0, 0},  // below the first pattern: stops on it
      {0, 5, 1, true, 1, 0, 1},    // looping without patterns: position 0
      {0, 0, 1, false, 1, 0, 0},
      {4, 0, 1e300, true, 1, 0, 1e300},  // nonsense speeds stay harmless
  };
  TSpriteEngine engine;
  for (const AnimationCase& c : cases) {
    TImageSprite& sprite = NewSprite<TImageSprite>(engine);
    sprite.FrameCount = c.count;
    sprite.FrameIndex = c.index;
    sprite.FrameSpeed = c.speed;
    sprite.FrameLoop = c.loop;
    sprite.Advance(c.moveCount);
    EXPECT_EQ(sprite.FrameIndex, c.endIndex) << c.count << " " << c.index << " " << c.speed;
    EXPECT_EQ(sprite.FrameSpeed, c.endSpeed) << c.count << " " << c.index << " " << c.speed;
  }
  EXPECT_EQ(RoundHalfEven(-0.5), 0);
  EXPECT_EQ(RoundHalfEven(-1.5), -2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
}

TEST(ImageSpriteBounds, WrapBringsTiledSpritesBackOnTheOtherSide) {
  TSpriteEngine engine;
  engine.ScreenRect = {0, 0, 800, 600};
  TImageSprite& strip = NewSprite<TImageSprite>(engine);
  strip.Width = 100;
  strip.Height = 50;
  strip.Wrap = true;
  const struct {
    int32_t x, y;
    int32_t left, top;
  } cases[] = {
      {850, 0, -50, 0}, {800, 0, 800, 0}, {-100, 0, 800, 0}, {-150, 0, 750, 0},
      {0, 640, 0, -10}, {0, 600, 0, 600}, {1750, 0, -50, 0} /* 1750 mod 900 = 850, past 800 */};
  for (const auto& c : cases) {
    strip.X = c.x;
    strip.Y = c.y;
    EXPECT_EQ(strip.Bounds(), (TRect{c.left, c.top, c.left + 100, c.top + 50}))
        << c.x << "," << c.y;
  }
  strip.Wrap = false;
  strip.X = 850;
  EXPECT_EQ(strip.Bounds().Left, 850);
}

}  // namespace
