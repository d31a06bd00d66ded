// Pictures kept packed over their transparent colour must show exactly what the plain picture
// shows: drawn pixels at every position and clip, collision answers, solid patterns, and a
// transparent colour changed after packing.
#include "engine/pictures/packed_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "engine/drawing/draw_surface.h"
#include "engine/pictures/image_archive.h"
#include "engine/pictures/picture_collection.h"
#include "engine/pictures/picture_source.h"
#include "tests/support/headless.h"

namespace {

constexpr uint32_t kKey = 0xFF00FF;    // clFuchsia as a pixel
constexpr uint32_t kOther = 0x00FF00;  // clLime: the second transparent colour tried
constexpr int kScreenWidth = 160;
constexpr int kScreenHeight = 120;

// A sprite sheet mostly of the key: per pattern cell a blob of varying shape, runs broken by key
// pixels and by kOther, rows wholly transparent, and opaque pixels on the sheet's own edges.
TPicture Sheet(int width, int height) {
  TPicture picture(width, height);
  uint32_t seed = 99;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      seed = seed * 1103515245u + 12345u;
      const int cx = x % 13 - 6;
      const int cy = y % 11 - 5;
      const bool inBlob = cx * cx + cy * cy < 10 + static_cast<int>((seed >> 20) % 8);
      uint32_t pixel = inBlob ? (seed >> 8) & 0xFFFFFF : kKey;
      if (inBlob && (seed >> 16) % 9 == 0) pixel = kKey;
      if (inBlob && (seed >> 16) % 9 == 1) pixel = kOther;
      picture.Pixel(x, y) = pixel;
    }
  }
  for (int x = 0; x < width; ++x) picture.Pixel(x, 5) = kKey;
  picture.Pixel(0, 0) = 0x123456;
  picture.Pixel(width - 1, height - 1) = 0x654321;
  picture.Pixel(width - 1, 0) = 0x000001;
  return picture;
}

// Not worth packing: one key pixel in a picture of opaque ones.
TPicture Solid(int width, int height) {
  TPicture picture(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) picture.Pixel(x, y) = static_cast<uint32_t>(x * 7 + y);
  }
  picture.Pixel(1, 1) = kKey;
  return picture;
}

struct SheetCase {
  const char* name;
  TPicture picture;
  int32_t patternWidth;
  int32_t patternHeight;
  int32_t skipWidth;
  int32_t skipHeight;
  bool packs;
};

std::vector<SheetCase> Cases() {
  return {
      {"patterns in a row", Sheet(130, 22), 26, 22, 0, 0, true},
      {"grid with gaps", Sheet(84, 40), 20, 12, 2, 2, true},
      {"grid with overlapping patterns", Sheet(60, 30), 20, 16, -4, -2, true},
      {"one pattern", Sheet(37, 29), 0, 0, 0, 0, true},
      {"mostly opaque", Solid(30, 20), 10, 10, 0, 0, false},
  };
}

class PackedPictureTest : public ::testing::Test {
 protected:
  // The same archive read twice: `plain` decoded at once (the reference), `lazy` decoded when
  // first needed, which is where pictures are packed.
  void Load(const SheetCase& c) {
    ImageArchiveItem item;
    item.Name = c.name;
    item.Picture = c.picture;
    item.PatternWidth = c.patternWidth;
    item.PatternHeight = c.patternHeight;
    item.SkipWidth = c.skipWidth;
    item.SkipHeight = c.skipHeight;
    item.TransparentColor = 0xFF00FF;  // clFuchsia
    const std::vector<uint8_t> bytes = WriteImageArchive({item});
    plain = std::make_unique<TPictureCollection>();
    lazy = std::make_unique<TPictureCollection>();
    ReadImageArchive(bytes, *plain);
    ReadImageArchive(bytes, std::make_shared<TMemoryPictureSource>(bytes), *lazy);
    plain->CutForHitTests();
    lazy->CutForHitTests();
  }
  TPictureCollectionItem& Plain() { return (*plain)[0]; }
  TPictureCollectionItem& Lazy() { return (*lazy)[0]; }

  // Draws pattern i of both items at (x, y) over the same background and compares all pixels.
  void ExpectSameDrawing(int32_t i, int32_t x, int32_t y) {
    plainScreen.Fill(0x0A0B0C);
    lazyScreen.Fill(0x0A0B0C);
    Plain().Draw(plainScreen, x, y, i);
    Lazy().Draw(lazyScreen, x, y, i);
    for (int sy = 0; sy < kScreenHeight; ++sy) {
      for (int sx = 0; sx < kScreenWidth; ++sx) {
        ASSERT_EQ(lazyScreen.Pixel(sx, sy), plainScreen.Pixel(sx, sy))
            << "pattern " << i << " drawn at " << x << "," << y << ", pixel " << sx << "," << sy;
      }
    }
  }

  // Every pattern at positions inside the screen and clipped at each edge and corner.
  void ExpectSameDrawingEverywhere() {
    const int32_t w = Plain().Width();
    const int32_t h = Plain().Height();
    const int32_t xs[] = {-w, -w + 1, -3, 0, 41, kScreenWidth - w, kScreenWidth - 2, kScreenWidth};
    const int32_t ys[] = {-h, -h + 1, -2, 0, 17, kScreenHeight - h, kScreenHeight - 1};
    for (int32_t i = -1; i <= Plain().PatternTotal(); ++i) {
      for (const int32_t x : xs) {
        for (const int32_t y : ys) ASSERT_NO_FATAL_FAILURE(ExpectSameDrawing(i, x, y));
      }
    }
  }

  void ExpectSameHitTests() {
    for (int32_t i = -1; i <= Plain().PatternTotal(); ++i) {
      EXPECT_EQ(Lazy().PatternSolid(i), Plain().PatternSolid(i)) << "pattern " << i;
      for (int32_t y = -1; y <= Plain().Height(); ++y) {
        for (int32_t x = -1; x <= Plain().Width(); ++x) {
          ASSERT_EQ(Lazy().Opaque(i, x, y), Plain().Opaque(i, x, y))
              << "pattern " << i << " pixel " << x << "," << y;
        }
      }
    }
  }

  platform::headless::HeadlessPlatform machine = MakeHeadlessPlatform();
  TSurface plainScreen{kScreenWidth, kScreenHeight, machine.text()};
  TSurface lazyScreen{kScreenWidth, kScreenHeight, machine.text()};
  std::unique_ptr<TPictureCollection> plain;
  std::unique_ptr<TPictureCollection> lazy;
};

TEST_F(PackedPictureTest, DrawsAndHitTestsAsThePlainPictureAtEveryPositionAndPattern) {
  for (const SheetCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    Load(c);
    ASSERT_FALSE(Lazy().Decoded());
    // The collision test may come first (a game re-simulated draws nothing).
    ExpectSameHitTests();
    EXPECT_EQ(Lazy().Packed(), c.packs);
    ExpectSameDrawingEverywhere();
    EXPECT_EQ(Lazy().Packed(), c.packs);
    // Those who read the pixels get the plain picture back.
    ASSERT_NE(Lazy().Pixels(), nullptr);
    EXPECT_EQ(*Lazy().Pixels(), c.picture);
    EXPECT_FALSE(Lazy().Packed());
  }
}

TEST_F(PackedPictureTest, ATransparentColourChangedAfterPackingDrawsAsThePlainPicture) {
  const struct {
    const char* name;
    bool transparent;
    TColor color;
  } changes[] = {
      {"another colour", true, 0x00FF00},  // clLime, present in the sheet
      {"no colour left out", false, 0xFF00FF},
      {"a colour beyond 24 bits", true, 0x1FFFFFFF},
  };
  for (const auto& change : changes) {
    SCOPED_TRACE(change.name);
    Load(Cases()[1]);
    ExpectSameDrawing(0, 5, 5);
    ASSERT_TRUE(Lazy().Packed());
    for (TPictureCollectionItem* item : {&Plain(), &Lazy()}) {
      item->Transparent = change.transparent;
      item->TransparentColor = change.color;
    }
    ExpectSameDrawingEverywhere();
    ExpectSameHitTests();
    // And back to the colour it was packed for.
    for (TPictureCollectionItem* item : {&Plain(), &Lazy()}) {
      item->Transparent = true;
      item->TransparentColor = 0xFF00FF;
    }
    ExpectSameDrawingEverywhere();
    ExpectSameHitTests();
  }
}

// The game's own archives, decoded when first needed as the game does, against the same archives
// decoded at once: every pattern hit-tests pixel for pixel alike (the simulation and the replay
// verifier read these), draws alike clipped at the top left, and the sheets that are mostly
// transparent are the ones packed.
TEST_F(PackedPictureTest, TheGameArchivesPackWithoutChangingAPixel) {
  const struct {
    const char* archive;
    bool somePacked;  // the menu's pictures are backgrounds, drawn whole
  } archives[] = {{"data/gamegraphic.dxg", true}, {"data/menu.dxg", false}};
  for (const auto& [archive, somePacked] : archives) {
    SCOPED_TRACE(archive);
    const std::filesystem::path path = std::filesystem::path(SKARVEL_GAME_DIR) / archive;
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    ASSERT_FALSE(bytes.empty());
    plain = std::make_unique<TPictureCollection>();
    lazy = std::make_unique<TPictureCollection>();
    ReadImageArchive(bytes, *plain);
    ReadImageArchiveFile(path, *lazy);
    plain->CutForHitTests();
    lazy->CutForHitTests();
    ASSERT_EQ(lazy->Count(), plain->Count());
    int packed = 0;
    for (int32_t n = 0; n < plain->Count(); ++n) {
      const TPictureCollectionItem& a = (*plain)[n];
      const TPictureCollectionItem& b = (*lazy)[n];
      SCOPED_TRACE(a.Name());
      for (int32_t i = 0; i < a.PatternTotal(); ++i) {
        for (int32_t y = 0; y < a.Height(); ++y) {
          for (int32_t x = 0; x < a.Width(); ++x) {
            ASSERT_EQ(b.Opaque(i, x, y), a.Opaque(i, x, y)) << i << " " << x << "," << y;
          }
        }
        plainScreen.Fill(0x0A0B0C);
        lazyScreen.Fill(0x0A0B0C);
        a.Draw(plainScreen, -3, -2, i);
        b.Draw(lazyScreen, -3, -2, i);
        ASSERT_TRUE(std::equal(plainScreen.Pixels(),
                               plainScreen.Pixels() + kScreenWidth * kScreenHeight,
                               lazyScreen.Pixels()))
            << "pattern " << i;
        EXPECT_EQ(b.PatternSolid(i), a.PatternSolid(i)) << i;
      }
      if (b.Packed()) ++packed;
    }
    EXPECT_EQ(packed > 0, somePacked);
  }
}

TEST(PackedPicture, UnpacksToThePictureItWasPackedFrom) {
  TPicture edges(40, 8);
  std::fill(edges.Pixels.begin(), edges.Pixels.end(), kKey);
  edges.Pixel(0, 0) = 1;
  edges.Pixel(39, 0) = 2;
  edges.Pixel(4, 2) = 3;
  for (int x = 0; x < 40; ++x) edges.Pixel(x, 7) = static_cast<uint32_t>(x + 10);
  TPicture empty(30, 3);
  std::fill(empty.Pixels.begin(), empty.Pixels.end(), kKey);
  for (const TPicture& picture : {Sheet(50, 12), edges, empty}) {
    const std::optional<TPackedPicture> packed = TPackedPicture::Pack(picture, kKey);
    ASSERT_TRUE(packed);
    EXPECT_EQ(packed->Unpack(), picture);
    EXPECT_LE(packed->Bytes(), picture.Pixels.size() * sizeof(uint32_t) / 4 * 3);
  }
  EXPECT_FALSE(TPackedPicture::Pack(Solid(40, 10), kKey));
  EXPECT_FALSE(TPackedPicture::Pack(TPicture(), kKey));
}

}  // namespace
