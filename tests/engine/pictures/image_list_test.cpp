#include "engine/pictures/image_list.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "engine/archive/archive_reader.h"
#include "engine/archive/archive_writer.h"
#include "engine/base/exception.h"
#include "engine/pictures/image_archive.h"
#include "engine/pictures/picture_collection.h"
#include "engine/pictures/picture_source.h"
#include "tests/support/dib_builder.h"
#include "tests/support/headless.h"
#include "tests/support/temp_dir.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kKey = 0xFF00FF;  // clFuchsia as a pixel

// A picture whose pixel (x, y) is 0x00xxyy + 1 (never the key), with the key in its corners.
TPicture Numbered(int width, int height) {
  TPicture picture(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) picture.Pixel(x, y) = static_cast<uint32_t>((x << 8) | y) + 1;
  }
  return picture;
}

ImageArchiveItem Item(std::string name, TPicture picture, int32_t patternWidth = 0,
                      int32_t patternHeight = 0) {
  ImageArchiveItem item;
  item.Name = std::move(name);
  item.Picture = std::move(picture);
  item.PatternWidth = patternWidth;
  item.PatternHeight = patternHeight;
  item.TransparentColor = 0xFF00FF;  // clFuchsia
  return item;
}

class ImageListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    images.SetDrawSurface(&surface);
    surface.StartUp();
    surface.BackBuffer()->Fill(0);
  }
  TSurface& Back() { return *surface.BackBuffer(); }
  void Load(const std::vector<ImageArchiveItem>& items) {
    images.LoadFromBytes(WriteImageArchive(items));
  }

  platform::headless::HeadlessPlatform machine = MakeHeadlessPlatform();
  TDrawSurface surface{machine.windowImpl, machine.text()};
  TImageList images;
};

TEST_F(ImageListTest, LoadsItemsInArchiveOrderWithTheirProperties) {
  ImageArchiveItem bitmap = Item("Sky", Numbered(3, 2));
  bitmap.PictureFormat = ImageArchiveItem::Format::Bitmap;
  bitmap.Transparent = false;
  bitmap.SystemMemory = true;
  bitmap.TransparentColor = 0x123456;
  ImageArchiveItem skips = Item("strip", Numbered(100, 32), 30, 32);
  skips.SkipWidth = 5;
  skips.SkipHeight = 2;
  std::array<uint32_t, 256> table{};
  table[1] = 0x00112233;
  images.LoadFromBytes(WriteImageArchive({Item("life", Numbered(4, 4)), bitmap, skips}, table));

  ASSERT_EQ(images.Items.Count(), 3);
  EXPECT_EQ(images.Items[0].Name(), "life");
  const TPictureCollectionItem& sky = images.Items[1];
  EXPECT_EQ(sky.Picture, Numbered(3, 2));
  EXPECT_FALSE(sky.Transparent);
  EXPECT_TRUE(sky.SystemMemory);
  EXPECT_EQ(sky.TransparentColor, 0x123456u);
  const TPictureCollectionItem& strip = images.Items[2];
  EXPECT_EQ(strip.SkipWidth, 5);
  EXPECT_EQ(strip.SkipHeight, 2);
  EXPECT_EQ(strip.TransparentColor, 0xFF00FFu);
  EXPECT_TRUE(strip.Transparent);
  EXPECT_EQ(images.Items.ColorTable[1], 0x00112233u);
  EXPECT_TRUE(strip.Initialized());
}

TEST_F(ImageListTest, FindIgnoresCaseAndTheItemNamedLastWins) {
  Load({Item("life", Numbered(1, 1)), Item("Dup", Numbered(2, 2)), Item("dup", Numbered(3, 3))});
  EXPECT_EQ(&images.Items.Find("LIFE"), &images.Items[0]);
  EXPECT_EQ(&images.Items.Find("DUP"), &images.Items[2]);
  images.Items[1].SetName("dup");  // named again: now it is the newest of the two
  EXPECT_EQ(&images.Items.Find("dup"), &images.Items[1]);
  images.Items[1].SetName("other");
  EXPECT_EQ(&images.Items.Find("dup"), &images.Items[2]);
  EXPECT_EQ(&images.Items.Find("Other"), &images.Items[1]);
  try {
    images.Items.Find("nope");
    FAIL();
  } catch (const EPictureCollectionError& e) {
    EXPECT_STREQ(e.what(), "Image 'nope' not found");
  }
  for (int32_t bad : {-1, 3}) {
    try {
      images.Items[bad];
      FAIL();
    } catch (const EListError& e) {
      EXPECT_EQ(std::string(e.what()), "List index out of bounds (" + std::to_string(bad) + ")");
    }
  }
}

TEST(NameIndex, BucketsByLengthAndTwoCharacters) {
  EXPECT_EQ(NameBucket("life"), (16 * 4 + 'l' + 'f') % 256);
  EXPECT_EQ(NameBucket("LIFE"), NameBucket("life"));
  EXPECT_EQ(NameBucket("a"), 16);
  EXPECT_EQ(NameBucket(""), 0);
}

TEST_F(ImageListTest, PatternsAreCutRowByRowWithTheirGaps) {
  ImageArchiveItem grid = Item("grid", Numbered(64, 70), 30, 30);
  grid.SkipWidth = 4;    // columns (64 + 4) div 34 = 2
  grid.SkipHeight = 10;  // rows (70 + 10) div 40 = 2
  ImageArchiveItem overlapping = Item("overlapping", Numbered(10, 10), 4, 10);
  overlapping.SkipWidth = -2;  // pitch 2: (10 - 2) div 2 = 4 columns, the last ending at 10
  ImageArchiveItem skips = Item("skips", Numbered(100, 32), 30, 32);
  skips.SkipWidth = 5;  // columns (100 + 5) div 35 = 3
  ImageArchiveItem noPitch = Item("nopitch", Numbered(10, 10), 2, 10);
  noPitch.SkipWidth = -2;
  Load({Item("four", Numbered(256, 64), 64, 64), skips, Item("whole", Numbered(50, 20)), grid,
        overlapping, noPitch, Item("toowide", Numbered(10, 10), 11, 10)});
  const TPictureCollection& items = images.Items;

  EXPECT_EQ(items[0].PatternTotal(), 4);
  EXPECT_EQ(items[0].PatternBox(2), Bounds(128, 0, 64, 64));
  EXPECT_EQ(items[1].PatternTotal(), 3);
  EXPECT_EQ(items[1].PatternBox(2), (TRect{70, 0, 100, 32}));
  EXPECT_EQ(items[2].PatternTotal(), 1);
  EXPECT_EQ(items[2].PatternBox(0), Bounds(0, 0, 50, 20));
  EXPECT_EQ(items[2].Width(), 50);
  EXPECT_EQ(items[2].PatternWidth, 0);
  EXPECT_EQ(items[3].PatternTotal(), 4);
  EXPECT_EQ(items[3].PatternBox(1), Bounds(34, 0, 30, 30));
  EXPECT_EQ(items[3].PatternBox(2), Bounds(0, 40, 30, 30));
  EXPECT_EQ(items[4].PatternTotal(), 4);
  EXPECT_EQ(items[4].PatternBox(3), Bounds(6, 0, 4, 10));
  EXPECT_EQ(items[5].PatternTotal(), 0);
  EXPECT_EQ(items[6].PatternTotal(), 0);
  for (int32_t outside : {-1, 4}) EXPECT_EQ(items[0].PatternBox(outside), TRect{});
}

TEST_F(ImageListTest, DrawLeavesOutTheTransparentColourAndClipsToTheSurface) {
  TPicture picture = Numbered(4, 2);
  picture.Pixel(1, 0) = kKey;
  ImageArchiveItem opaque = Item("opaque", picture);
  opaque.Transparent = false;
  Load({Item("keyed", picture), opaque});
  const TPictureCollectionItem& keyed = images.Items[0];
  Back().Fill(7);

  keyed.Draw(Back(), 10, 20, 0);
  EXPECT_EQ(Back().Pixel(10, 20), picture.Pixel(0, 0));
  EXPECT_EQ(Back().Pixel(11, 20), 7u);  // transparent
  EXPECT_EQ(Back().Pixel(13, 21), picture.Pixel(3, 1));
  EXPECT_EQ(Back().Pixel(14, 21), 7u);

  images.Items[1].Draw(Back(), 10, 30, 0);
  EXPECT_EQ(Back().Pixel(11, 30), kKey);  // not transparent: the key colour is drawn

  // Changing the transparent colour applies at once.
  images.Items[0].TransparentColor = 0;
  keyed.Draw(Back(), 10, 40, 0);
  EXPECT_EQ(Back().Pixel(11, 40), kKey);

  Back().Fill(7);
  keyed.Draw(Back(), -2, -1, 0);  // only (2, 1) and (3, 1) remain, at (0, 0) and (1, 0)
  EXPECT_EQ(Back().Pixel(0, 0), picture.Pixel(2, 1));
  EXPECT_EQ(Back().Pixel(1, 0), picture.Pixel(3, 1));
  EXPECT_EQ(Back().Pixel(2, 0), 7u);
  EXPECT_EQ(Back().Pixel(0, 1), 7u);
  keyed.Draw(Back(), 798, 599, 0);  // (0, 0) and (1, 0) at the bottom-right corner
  EXPECT_EQ(Back().Pixel(798, 599), picture.Pixel(0, 0));
  EXPECT_EQ(Back().Pixel(799, 599), kKey);
}

TEST_F(ImageListTest, DrawOutOfRangeDrawsNothingAndRaisesNothing) {
  Load({Item("four", Numbered(256, 64), 64, 64)});
  const TPictureCollectionItem& item = images.Items[0];
  Back().Fill(7);
  const std::vector<uint32_t> before(Back().Pixels(), Back().Pixels() + 800 * 600);
  const struct {
    int32_t x, y, pattern;
  } nothing[] = {{0, 0, -1},
                 {0, 0, 4},
                 {800, 0, 0},
                 {0, 600, 0},
                 {-64, 0, 0},
                 {0, -64, 0},
                 {INT32_MAX, INT32_MAX, 0},
                 {INT32_MIN, INT32_MIN, 0}};
  for (const auto& c : nothing) item.Draw(Back(), c.x, c.y, c.pattern);
  EXPECT_TRUE(std::equal(before.begin(), before.end(), Back().Pixels()));
}

TEST_F(ImageListTest, ItemsFollowTheDrawingSurface) {
  Load({Item("four", Numbered(256, 64), 64, 64)});
  TPictureCollectionItem& item = images.Items[0];
  ASSERT_TRUE(item.Initialized());

  surface.ShutDown();
  EXPECT_FALSE(item.Initialized());
  EXPECT_EQ(item.PatternBox(0), TRect{});
  EXPECT_EQ(item.PatternTotal(), 4);  // counted from the picture until it is cut again

  // Loading while the surface is down keeps the pictures uncut until it comes up.
  Load({Item("four", Numbered(256, 64), 64, 64), Item("one", Numbered(8, 8))});
  EXPECT_FALSE(images.Items[1].Initialized());
  surface.StartUp();
  EXPECT_TRUE(images.Items[1].Initialized());
  EXPECT_EQ(images.Items[0].PatternBox(3), Bounds(192, 0, 64, 64));
  surface.BackBuffer()->Fill(0);
  images.Items[1].Draw(Back(), 0, 0, 0);
  EXPECT_EQ(Back().Pixel(7, 7), Numbered(8, 8).Pixel(7, 7));
}

TEST_F(ImageListTest, StartUpWithoutAnInitialisedSurfaceFails) {
  surface.ShutDown();
  try {
    images.Items.StartUp(surface);
    FAIL();
  } catch (const EPictureCollectionError& e) {
    EXPECT_STREQ(e.what(), "TPictureCollection cannot be initialized");
  }
}

TEST(ImageListDetach, AListOutlivingItsSurfaceLetsGo) {
  platform::headless::HeadlessPlatform machine = MakeHeadlessPlatform();
  TImageList images;
  {
    TDrawSurface surface(machine.windowImpl, machine.text());
    images.SetDrawSurface(&surface);
    surface.StartUp();
  }
  EXPECT_EQ(images.DrawSurface(), nullptr);
}

TEST_F(ImageListTest, AnUnknownPictureFormatLeavesTheItemWithoutPatterns) {
  archive::Object root = archive::ReadArchive(WriteImageArchive({Item("icon", Numbered(4, 4))}));
  archive::Property& data = root.properties[1].value.items[0].properties.back();
  ASSERT_EQ(data.name, "Picture.Data");
  data.value.binary = {5, 'T', 'I', 'c', 'o', 'n', 1, 2, 3};
  images.LoadFromBytes(archive::WriteArchive(root));
  const TPictureCollectionItem& item = images.Items.Find("icon");
  EXPECT_FALSE(item.Picture.has_value());
  EXPECT_EQ(item.PatternTotal(), 0);
  item.Draw(Back(), 0, 0, 0);
  EXPECT_EQ(Back().Pixel(0, 0), 0u);
}

TEST_F(ImageListTest, MalformedArchivesFailWithTheirErrorsKeepingItemsReadSoFar) {
  const Bytes good = WriteImageArchive({Item("a", Numbered(2, 2)), Item("b", Numbered(2, 2))});
  const archive::Object root = archive::ReadArchive(good);

  Bytes notAnArchive = good;
  notAnArchive[0] = 0xFE;
  EXPECT_THROW(images.LoadFromBytes(notAnArchive), EInvalidImage);
  EXPECT_EQ(images.Items.Count(), 0);

  archive::Object unknown = root;
  unknown.properties[1].value.items[1].properties.insert(
      unknown.properties[1].value.items[1].properties.begin() + 1,
      {"Bogus", archive::Value::Integer(1)});
  try {
    images.LoadFromBytes(archive::WriteArchive(unknown));
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Property Bogus does not exist");
  }
  ASSERT_EQ(images.Items.Count(), 2);  // the second item was begun, named, then failed
  EXPECT_EQ(images.Items[0].Picture, Numbered(2, 2));

  archive::Object wrongType = root;
  wrongType.properties[1].value.items[0].properties[1].value = archive::Value::Text("64");
  EXPECT_THROW(images.LoadFromBytes(archive::WriteArchive(wrongType)), EReadError);

  archive::Object shortTable = root;
  shortTable.properties[0].value.binary.resize(1023);
  try {
    images.LoadFromBytes(archive::WriteArchive(shortTable));
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Stream read error");
  }

  archive::Object badPicture = root;
  badPicture.properties[1].value.items[0].properties.back().value.binary[5 + 14] = 3;
  try {
    images.LoadFromBytes(archive::WriteArchive(badPicture));
    FAIL();
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "DIB is invalid");
  }
}

// What a load throws, as "type: message"; empty when the load succeeds.
template <typename Load>
std::string FailureOf(Load load) {
  try {
    load();
  } catch (const EInvalidGraphic& e) {
    return std::string("EInvalidGraphic: ") + e.what();
  } catch (const EInvalidImage& e) {
    return std::string("EInvalidImage: ") + e.what();
  } catch (const EReadError& e) {
    return std::string("EReadError: ") + e.what();
  }
  return "";
}

// The check before an archive switch decodes no picture, yet must refuse exactly what the
// load refuses, the pixel bound over the whole archive included.
TEST(ImageArchiveCheck, RefusesWhatTheLoadRefusesWithTheSameError) {
  const Bytes good = WriteImageArchive({Item("a", Numbered(2, 2)), Item("b", Numbered(2, 2))});
  const archive::Object root = archive::ReadArchive(good);
  std::vector<Bytes> archives{good};
  archives.push_back(good);
  archives.back()[0] = 0xFE;
  archive::Object unknown = root;
  unknown.properties[1].value.items[1].properties.push_back({"Bogus", archive::Value::Integer(1)});
  archives.push_back(archive::WriteArchive(unknown));
  archive::Object shortTable = root;
  shortTable.properties[0].value.binary.resize(1023);
  archives.push_back(archive::WriteArchive(shortTable));
  archive::Object badPicture = root;
  badPicture.properties[1].value.items[1].properties.back().value.binary[5 + 14] = 3;
  archives.push_back(archive::WriteArchive(badPicture));
  // Three run-length pictures of 4 million pixels from a few bytes each: each within the bound,
  // over it together.
  const Bytes rle = dib_builder::InfoDib(dib_builder::Info()
                                             .Width(2048)
                                             .Height(2048)
                                             .BitCount(8)
                                             .Compression(1)
                                             .Palette({0x123456, 0xABCDEF})
                                             .Pixels({4, 1, 0, 1}));
  archive::Object tooMany = archive::ReadArchive(WriteImageArchive(
      {Item("a", Numbered(1, 1)), Item("b", Numbered(1, 1)), Item("c", Numbered(1, 1))}));
  for (archive::CollectionItem& item : tooMany.properties[1].value.items) {
    Bytes& data = item.properties.back().value.binary;
    data = {4, 'T', 'D', 'I', 'B'};
    data.insert(data.end(), rle.begin(), rle.end());
  }
  archives.push_back(archive::WriteArchive(tooMany));

  for (size_t i = 0; i < archives.size(); ++i) {
    TPictureCollection loaded;
    const std::string loadFailure = FailureOf([&] { ReadImageArchive(archives[i], loaded); });
    EXPECT_EQ(FailureOf([&] { CheckImageArchive(archives[i]); }), loadFailure) << "archive " << i;
    // A load that decodes its pictures only when they are drawn refuses the same archives.
    TPictureCollection pending;
    const auto source = std::make_shared<TMemoryPictureSource>(archives[i]);
    EXPECT_EQ(FailureOf([&] { ReadImageArchive(archives[i], source, pending); }), loadFailure)
        << "archive " << i;
    EXPECT_EQ(loadFailure.empty(), i == 0) << "archive " << i << ": " << loadFailure;
  }
}

// Run-length pictures ask for a whole picture from a few bytes each: an archive of many such
// pictures must not make the game allocate more than the bound for one archive. The pictures
// within it load; the first one beyond it fails the load as an invalid picture, before its pixels
// are allocated.
TEST(ImageArchiveBudget, PicturesBeyondTheArchivesPixelBoundFailTheLoad) {
  constexpr int32_t Side = 2048;  // 4 million pixels from 50 bytes
  const Bytes rle = dib_builder::InfoDib(dib_builder::Info()
                                             .Width(Side)
                                             .Height(Side)
                                             .BitCount(8)
                                             .Compression(1)
                                             .Palette({0x123456, 0xABCDEF})
                                             .Pixels({4, 1, 0, 1}));
  Bytes data{4, 'T', 'D', 'I', 'B'};
  data.insert(data.end(), rle.begin(), rle.end());
  std::vector<ImageArchiveItem> items;
  for (int i = 0; i < 10; ++i) items.push_back(Item("p" + std::to_string(i), Numbered(1, 1)));
  archive::Object root = archive::ReadArchive(WriteImageArchive(items));
  for (archive::CollectionItem& item : root.properties[1].value.items) {
    item.properties.back().value.binary = data;
  }
  const Bytes archiveBytes = archive::WriteArchive(root);
  ASSERT_LT(archiveBytes.size(), 4000u);  // 40 million pixels asked for by 3 KB

  const int64_t fitting = kMaxArchivePixels / (int64_t{Side} * Side);
  ASSERT_GE(fitting, 1);
  ASSERT_LT(fitting, 10);
  TPictureCollection pictures;
  try {
    ReadImageArchive(archiveBytes, pictures);
    FAIL() << "ten pictures of 4 million pixels were decoded";
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "DIB is invalid");
  }
  // The items read so far stay, as after any failed load; the one beyond the bound has no picture.
  ASSERT_EQ(pictures.Count(), fitting + 1);
  for (int32_t i = 0; i < fitting; ++i) {
    ASSERT_TRUE(pictures[i].Picture);
    EXPECT_EQ(pictures[i].Picture->Width, Side);
    EXPECT_EQ(pictures[i].Picture->Pixel(3, Side - 1), 0xABCDEFu);
  }
  EXPECT_FALSE(pictures[static_cast<int32_t>(fitting)].Picture);
}

TEST_F(ImageListTest, LoadsFromFilesAndStreams) {
  TempDir dir;
  const Bytes bytes = WriteImageArchive({Item("menu", Numbered(3, 3))});
  std::ofstream(dir.path() / "menu.dxg", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  images.LoadFromFile(dir.path() / "menu.dxg");
  // From a file a picture is decoded when first needed.
  EXPECT_FALSE(images.Items.Find("MENU").Decoded());
  ASSERT_NE(images.Items.Find("MENU").Pixels(), nullptr);
  EXPECT_EQ(*images.Items.Find("MENU").Pixels(), Numbered(3, 3));
  std::istringstream stream(std::string(bytes.begin(), bytes.end()));
  images.LoadFromStream(stream);
  EXPECT_EQ(images.Items.Count(), 1);
  EXPECT_THROW(images.LoadFromFile(dir.path() / "missing.dxg"), EFOpenError);
}

}  // namespace

namespace {

// Draw against the plain rule, pixel by pixel: every pattern pixel that is not the transparent
// colour lands at its place on the surface, clipped; everything else stays.
TEST_F(ImageListTest, DrawMatchesThePixelByPixelRuleWhateverTheTransparentPixels) {
  TPicture picture(24, 6);
  uint32_t seed = 7;
  for (uint32_t& pixel : picture.Pixels) {
    seed = seed * 1103515245u + 12345u;
    pixel = (seed >> 16) % 3 == 0 ? kKey : (seed >> 8) & 0xFFFFFF;
  }
  for (int x = 0; x < 24; ++x) picture.Pixel(x, 2) = kKey;      // a wholly transparent row
  for (int x = 4; x < 20; ++x) picture.Pixel(x, 4) = 0x010203;  // keyed only at its ends
  Load({Item("sheet", picture, 8, 6)});
  const TPictureCollectionItem& item = images.Items[0];
  const struct {
    int32_t x, y, pattern;
  } draws[] = {{100, 100, 0}, {100, 100, 1}, {100, 100, 2}, {-3, -2, 1}, {795, 597, 2}};
  for (const auto& d : draws) {
    Back().Fill(7);
    item.Draw(Back(), d.x, d.y, d.pattern);
    for (int py = 0; py < 6; ++py) {
      for (int px = 0; px < 8; ++px) {
        const int32_t sx = d.x + px;
        const int32_t sy = d.y + py;
        if (sx < 0 || sy < 0 || sx >= 800 || sy >= 600) continue;
        const uint32_t source = picture.Pixel(d.pattern * 8 + px, py);
        ASSERT_EQ(Back().Pixel(sx, sy), source == kKey ? 7u : source)
            << "pattern " << d.pattern << " at " << px << "," << py;
      }
    }
  }
}

}  // namespace

namespace {

// Every pixel a picture's patterns give, as drawing and the collision test see them.
struct Seen {
  std::vector<uint32_t> drawn;
  std::vector<bool> opaque;
  bool operator==(const Seen&) const = default;
};

}  // namespace

// A picture decoded when it is first drawn shows what the same picture decoded at the load shows:
// the same size and patterns before it is decoded, the same pixels drawn, the same answers to the
// collision test (which the game's logic reads), and pictures never drawn are never decoded.
TEST_F(ImageListTest, PicturesDecodedWhenFirstDrawnShowWhatALoadDecodingAllShows) {
  TPicture keyed = Numbered(12, 6);
  for (int x = 0; x < 12; ++x) keyed.Pixel(x, 2) = kKey;
  keyed.Pixel(5, 4) = kKey;
  ImageArchiveItem bitmap = Item("bitmap", Numbered(5, 3));
  bitmap.PictureFormat = ImageArchiveItem::Format::Bitmap;
  const Bytes bytes = WriteImageArchive(
      {Item("strip", keyed, 4, 6), bitmap, Item("never", Numbered(7, 7)), Item("empty", {})});
  TempDir dir;
  std::ofstream(dir.path() / "pictures.dxg", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));

  const auto seen = [&](const TPictureCollectionItem& item) {
    Seen result;
    for (int32_t i = -1; i <= item.PatternTotal(); ++i) {
      Back().Fill(0x010203);
      item.Draw(Back(), 3, -1, i);
      result.drawn.insert(result.drawn.end(), Back().Pixels(), Back().Pixels() + 800 * 8);
      for (int32_t y = -1; y <= item.Height(); ++y) {
        for (int32_t x = -1; x <= item.Width(); ++x) result.opaque.push_back(item.Opaque(i, x, y));
      }
    }
    return result;
  };
  images.LoadFromBytes(bytes);
  std::vector<Seen> decodedAtLoad;
  for (int32_t i = 0; i < images.Items.Count(); ++i) decodedAtLoad.push_back(seen(images.Items[i]));

  images.LoadFromFile(dir.path() / "pictures.dxg");
  ASSERT_EQ(images.Items.Count(), 4);
  for (int32_t i = 0; i < 3; ++i) EXPECT_FALSE(images.Items[i].Decoded()) << i;
  EXPECT_EQ(images.Items[0].PatternTotal(), 3);
  EXPECT_EQ(images.Items[1].Width(), 5);
  EXPECT_EQ(images.Items[1].Height(), 3);
  for (const int32_t i : {0, 1, 3}) {
    EXPECT_EQ(seen(images.Items[i]), decodedAtLoad[static_cast<size_t>(i)]) << i;
  }
  EXPECT_TRUE(images.Items[0].Decoded());
  EXPECT_TRUE(images.Items[1].Decoded());
  EXPECT_FALSE(images.Items[2].Decoded());
  EXPECT_EQ(images.Items[2].Width(), 7);
}

// The load walks the file's mapping and gives back the pages it has passed: items that span many
// pages read as they do from bytes in memory, and the mapping still reads as the file wherever a
// walk has given pages back, up to within a page or to its end.
TEST_F(ImageListTest, AWalkThatGivesItsPagesBackReadsTheArchiveAsItIs) {
  const Bytes bytes =
      WriteImageArchive({Item("sky", Numbered(300, 200)), Item("strip", Numbered(90, 40), 30, 40),
                         Item("wide", Numbered(500, 100))});
  TempDir dir;
  const std::filesystem::path path = dir.path() / "pictures.dxg";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  images.LoadFromFile(path);
  ASSERT_EQ(images.Items.Count(), 3);
  const std::vector<std::pair<const char*, TPicture>> expected = {
      {"sky", Numbered(300, 200)}, {"strip", Numbered(90, 40)}, {"wide", Numbered(500, 100)}};
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(images.Items[i].Name(), expected[static_cast<size_t>(i)].first);
    ASSERT_NE(images.Items[i].Pixels(), nullptr) << i;
    EXPECT_EQ(*images.Items[i].Pixels(), expected[static_cast<size_t>(i)].second) << i;
  }
  EXPECT_EQ(images.Items[1].PatternTotal(), 3);

  TFilePictureSource file(path);
  TFilePictureSource::Mapping mapping(file);
  const std::span<const uint8_t> mapped = mapping.Bytes();
  ASSERT_EQ(mapped.size(), bytes.size());
  for (const size_t at : {size_t{0}, size_t{5000}, size_t{4096 * 20 + 7}, bytes.size() / 2,
                          size_t{100}, bytes.size()}) {
    mapping.Walked(mapped.data() + at);
    EXPECT_TRUE(std::equal(mapped.begin(), mapped.end(), bytes.begin())) << at;
  }
}

// The archive file replaced under the game after its load: a picture not decoded yet is no longer
// the one that was checked and cut, so it draws nothing rather than something else.
TEST_F(ImageListTest, APictureWhoseFileChangedAfterTheLoadDrawsNothing) {
  TempDir dir;
  const auto write = [&](const Bytes& bytes) {
    std::ofstream(dir.path() / "menu.dxg", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  };
  write(WriteImageArchive({Item("a", Numbered(6, 6)), Item("b", Numbered(6, 6))}));
  images.LoadFromFile(dir.path() / "menu.dxg");
  write(WriteImageArchive({Item("a", Numbered(2, 2))}));
  for (int32_t i = 0; i < 2; ++i) {
    images.Items[i].Draw(Back(), 0, 0, 0);
    EXPECT_EQ(images.Items[i].Pixels(), nullptr) << i;
    EXPECT_FALSE(images.Items[i].Opaque(0, 1, 1)) << i;
  }
  EXPECT_EQ(Back().Pixel(1, 1), 0u);
}
