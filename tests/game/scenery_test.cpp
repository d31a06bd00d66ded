// The landscape in a running game: endless strips, volcanoes and lava placed on the middle strip
// as it wraps, trees, and the grate at the left edge.
#include <algorithm>
#include <tuple>
#include <vector>

#include "tests/game/gameplay_fixture.h"

namespace {

using test_data::GameColor;

constexpr int NearStripPicture = 5;
constexpr int GratePicture = 15;

class SceneryTest : public GameplayTest {
 protected:
  void SetUp() override {
    GameplayTest::SetUp();
    StartQuietGame();
    ParkDragon();
  }
  std::vector<TMountain*> Layer(int32_t z) {
    std::vector<TMountain*> strips;
    for (TMountain* strip : Live<TMountain>()) {
      if (strip->Z() == z) strips.push_back(strip);
    }
    return strips;
  }
};

// The game frame clears only what the sky and the status bar leave uncovered: whatever the back
// buffer held before, the frame comes out as from a full clear.
TEST_F(SceneryTest, TheSkyAndTheStatusBarCoverTheFieldSoTheFrameClearsNoMore) {
  Frames(3);
  ASSERT_TRUE(World().Back && World().StatusBar);
  EXPECT_EQ(World().Back->SolidDrawnRect(), (TRect{0, 68, 800, 600}));
  EXPECT_EQ(World().StatusBar->SolidDrawnRect(), (TRect{0, 0, 800, 68}));
  TSurface& back = *form->DrawSurface.BackBuffer();
  back.Fill(0);
  form->DrawGameFrame(back);
  const std::vector<uint32_t> fromBlack(back.Pixels(), back.Pixels() + 800 * 600);
  back.Fill(0x5A5A5A);
  form->DrawGameFrame(back);
  EXPECT_EQ(std::vector<uint32_t>(back.Pixels(), back.Pixels() + 800 * 600), fromBlack);

  // Without its sky the field shows black there, not what the buffer held.
  World().Back->Visible = false;
  EXPECT_EQ(World().Back->SolidDrawnRect(), std::nullopt);
  back.Fill(0x5A5A5A);
  form->DrawGameFrame(back);
  EXPECT_EQ(back.Pixel(400, 100), 0u);
}

TEST_F(SceneryTest, EachLayersCopiesStayAWidthApartSoTheGroundNeverShowsAGap) {
  struct LayerCase {
    int32_t z;
    const char* picture;
    int y, speed;
  };
  const LayerCase layers[] = {{2, "3-1", 501, 1}, {3, "2-1", 448, 2}, {5, "1-1", 568, 3}};
  for (const LayerCase& layer : layers) {
    const std::vector<TMountain*> copies = Layer(layer.z);
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[0]->Image->Name(), layer.picture);
    EXPECT_EQ(copies[0]->Y, layer.y);
    EXPECT_EQ(copies[0]->StripSpeed, layer.speed);
    EXPECT_EQ(copies[0]->X, 0);
    EXPECT_EQ(copies[1]->X, 800);
  }
  const std::vector<TMountain*> nearCopies = Layer(5);
  for (int frame = 1; frame <= 900; ++frame) {
    Step(16);
    for (const LayerCase& layer : layers) {
      const std::vector<TMountain*> copies = Layer(layer.z);
      ASSERT_EQ(std::abs(copies[0]->X - copies[1]->X), 800) << layer.picture << " " << frame;
    }
    ASSERT_EQ(Pixel(0, 590), GameColor(NearStripPicture)) << frame;
    ASSERT_EQ(Pixel(799, 590), GameColor(NearStripPicture)) << frame;
    if (frame == 267) {
      // The near copy that reached x -801 goes behind its twin at -1.
      EXPECT_EQ(nearCopies[0]->X, 799);
      EXPECT_EQ(nearCopies[1]->X, -1);
    }
  }
}

// Where a wrapping middle strip puts volcanoes and lava, drawn from a copy of the generator in
// the order the game draws: on most levels one volcano with a lava pool at even chance, on every
// fifth level six slots 157 pixels apart.
std::vector<std::tuple<int, bool>> ExpectedVolcanoes(TRandom draws, int level, int x) {
  std::vector<std::tuple<int, bool>> placed;
  if (level % 5 != 0) {
    if (draws.Random(3) < 2) {
      if (draws.Random(2) == 1) placed.emplace_back(x + 403, true);
      placed.emplace_back(x + 334, false);
    }
    return placed;
  }
  for (int slot = 0; slot < 6; ++slot) {
    if (draws.Random(3) >= 2) continue;
    if (draws.Random(2) == 0) placed.emplace_back(x + 157 * slot + 69, true);
    placed.emplace_back(x + 157 * slot, false);
  }
  return placed;
}

TEST_F(SceneryTest, AWrappingMiddleStripPlacesVolcanoesAndLavaByTheGeneratorsDraws) {
  NewcomerWatch<TVolcano> volcanoes;
  size_t most = 0;
  for (const uint8_t level : {1, 5}) {
    Play().Level = level;
    for (int wrap = 0; wrap < 12; ++wrap) {
      TMountain& strip = *Layer(3).at(wrap % 2);
      strip.X = -strip.Width + 1;  // leaves the screen in the next frame
      const TRandom before = form->Rng;
      Step(16);
      ASSERT_EQ(strip.X, 800 - 1);
      std::vector<std::tuple<int, bool>> placed;
      for (TVolcano* volcano : volcanoes.Newcomers(Engine())) {
        placed.emplace_back(volcano->X, volcano->Lava);
        EXPECT_EQ(volcano->Y, volcano->Lava ? 427 : 440);
        EXPECT_EQ(volcano->Image->Name(), volcano->Lava ? "lava" : "volcano");
      }
      std::sort(placed.begin(), placed.end());
      std::vector<std::tuple<int, bool>> expected = ExpectedVolcanoes(before, level, strip.X);
      std::sort(expected.begin(), expected.end());
      EXPECT_EQ(placed, expected) << "level " << int{level} << " wrap " << wrap;
      most = std::max(most, placed.size());
    }
  }
  EXPECT_GE(most, 6u);  // a fifth level's wrap places several at once
  // The far and near strips never place any.
  Play().Level = 1;
  for (const int32_t z : {2, 5}) {
    TMountain& strip = *Layer(z).at(0);
    strip.X = -strip.Width;
    Step(16);
    EXPECT_TRUE(volcanoes.Newcomers(Engine()).empty());
  }
}

TEST_F(SceneryTest, VolcanoesRideTheMiddleStripAndTreesTheNearOneUntilTheyLeaveAtTheLeft) {
  TVolcano& volcano = NewSprite<TVolcano>(Engine(), World(), false, 100);
  TGreenTree& tree = NewSprite<TGreenTree>(Engine(), World());
  EXPECT_EQ(tree.X, 800);
  EXPECT_EQ(tree.Y, tree.Image->Name() == "tree1" ? 437 : 512);
  for (int frame = 1; frame <= 30; ++frame) {
    Step(16);
    EXPECT_EQ(volcano.X, 100 - 2 * frame);
    EXPECT_EQ(tree.X, 800 - 3 * frame);
    EXPECT_EQ(volcano.FrameIndex, (frame % 30) / 10) << frame;
  }
  volcano.X = -volcano.Width + 2;
  tree.X = -tree.Width + 3;
  Step(16);
  EXPECT_FALSE(volcano.Killed());
  EXPECT_TRUE(tree.Killed());  // at x = -width
  Step(16);
  EXPECT_EQ(CountLive<TVolcano>(), 0);
}

TEST_F(SceneryTest, TheGrateSlidesAndBobsAsAColumnOfSixThatHitsAs64By450) {
  TReshetkaSprite& grate = *Live<TReshetkaSprite>().at(0);
  EXPECT_EQ(grate.Width, 64);
  EXPECT_EQ(grate.Height, 450);
  std::vector<int> xs;
  std::vector<int> ys;
  for (int frame = 0; frame < 260; ++frame) {
    Step(16);
    xs.push_back(grate.X);
    ys.push_back(grate.Y);
    if (frame == 100) {
      for (int piece = 0; piece < 6; ++piece) {
        EXPECT_EQ(Pixel(1, grate.Y + 75 * piece + 2), GameColor(GratePicture)) << piece;
      }
      EXPECT_NE(Pixel(1, grate.Y + 452), GameColor(GratePicture));
    }
  }
  EXPECT_EQ(*std::min_element(xs.begin(), xs.end()), -30);
  EXPECT_EQ(*std::max_element(xs.begin(), xs.end()), 0);
  EXPECT_EQ(*std::min_element(ys.begin(), ys.end()), 83);
  EXPECT_EQ(*std::max_element(ys.begin(), ys.end()), 93);
  for (size_t i = 0; i + 120 < xs.size(); ++i) EXPECT_EQ(xs[i + 120], xs[i]) << i;
  for (size_t i = 0; i + 40 < ys.size(); ++i) EXPECT_EQ(ys[i + 40], ys[i]) << i;
}

}  // namespace
