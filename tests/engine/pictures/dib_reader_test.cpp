#include "engine/pictures/dib_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/base/exception.h"
#include "engine/pictures/dib_writer.h"
#include "engine/pictures/picture_data.h"
#include "engine/pictures/picture_source.h"
#include "tests/support/dib_builder.h"

namespace {

using dib_builder::Bytes;
using dib_builder::Info;
using Pixels = std::vector<uint32_t>;

constexpr uint32_t K = 0x000000;  // black: palette entry 0 and skipped run-length pixels
constexpr uint32_t R = 0xFF0000;
constexpr uint32_t G = 0x00FF00;
constexpr uint32_t B = 0x0000FF;
constexpr uint32_t W = 0xFFFFFF;
const std::vector<uint32_t> kPalette = {K, R, G, B, W};

struct KindCase {
  const char* kind;
  Bytes dib;
  int width;
  int height;
  Pixels expected;  // top row first
};

TEST(DecodeDib, EveryKindDecodesToTheRightPixels) {
  const KindCase cases[] = {
      {"1 bit, bottom-up",
       dib_builder::InfoDib(dib_builder::Info().Width(3).Height(2).BitCount(1).Palette({0x112233, 0xAABBCC}).Pixels({0xA0, 0, 0, 0, 0x60, 0, 0, 0})),
       3,
       2,
       {0x112233, 0xAABBCC, 0xAABBCC, 0xAABBCC, 0x112233, 0xAABBCC}},
      {"4 bit, short palette, an index past it is black",
       dib_builder::InfoDib(
           dib_builder::Info().Width(3).Height(1).BitCount(4).Palette({K, R, G}).Pixels({0x1F, 0x20, 0, 0})),
       3,
       1,
       {R, K, G}},
      {"8 bit, top-down",
       dib_builder::InfoDib(dib_builder::Info().Width(2).Height(-2).BitCount(8).Palette(kPalette).Pixels({1, 2, 0, 0, 3, 0, 0, 0})),
       2,
       2,
       {R, G, B, K}},
      {"16 bit, 5-5-5",
       dib_builder::InfoDib(dib_builder::Info().Width(2).Height(1).BitCount(16).Pixels({0x00, 0x7C, 0x10, 0x42})),
       2,
       1,
       {R, 0x848484}},
      {"16 bit, bit fields 5-6-5",
       dib_builder::InfoDib(dib_builder::Info().Width(2).Height(1).BitCount(16).Compression(3).Masks({0xF800, 0x07E0, 0x001F}).Pixels({0xE0, 0x07, 0x1F, 0xF8})),
       2,
       1,
       {G, 0xFF00FF}},
      {"24 bit, padded rows",
       dib_builder::InfoDib(dib_builder::Info().Width(3).Height(2).BitCount(24).Pixels({0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0,  // bottom
                                        0x33, 0x22, 0x11, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0})),
       3,
       2,
       {0x112233, K, W, B, G, R}},
      {"32 bit, the fourth byte ignored",
       dib_builder::InfoDib(dib_builder::Info().Width(1).Height(1).BitCount(32).Pixels({0x33, 0x22, 0x11, 0x7F})),
       1,
       1,
       {0x112233}},
      {"32 bit, bit fields in another order and 10-bit fields",
       dib_builder::InfoDib(dib_builder::Info().Width(2).Height(1).BitCount(32).Compression(3).Masks({0x3FF00000, 0x000FFC00, 0x000003FF}).Pixels({0x00, 0x00, 0xF8, 0x3F, 0xFF, 0x03, 0x00, 0x00})),
       2,
       1,
       {0xFF8000, B}},
      {"8 bit run-length: runs, stored pixels, a move, end of line and end of bitmap",
       dib_builder::InfoDib(dib_builder::Info().Width(4).Height(3).BitCount(8).Compression(1).Palette(kPalette).Pixels({3, 1, 1, 2, 0, 0,           // bottom: R R R G
                                        0, 3, 2, 3, 4, 0, 0, 0,     // G B W, padded; x=3 skipped
                                        0, 2, 1, 0, 2, 3, 0, 1})),  // move right 1, B B, end
       4,
       3,
       {K, B, B, K, G, B, W, K, R, R, R, G}},
      {"8 bit run-length: a run past the edge is cut, a move goes up a row",
       dib_builder::InfoDib(dib_builder::Info().Width(2).Height(2).BitCount(8).Compression(1).Palette(kPalette).Pixels({6, 4, 0, 2, 0, 1, 0, 1})),
       2,
       2,
       {K, K, W, W}},
      {"4 bit run-length: alternating runs, stored pixels",
       dib_builder::InfoDib(dib_builder::Info().Width(5).Height(2).BitCount(4).Compression(2).Palette(kPalette).Pixels({5, 0x12, 0, 0,             // bottom: R G R G R
                                        0, 3, 0x34, 0x10, 2, 0x44, 0, 1})),  // B W R, W W
       5,
       2,
       {B, W, R, W, W, R, G, R, G, R}},
      {"core header, 8 bit",
       dib_builder::CoreDib(2, 1, 8, kPalette, {4, 3, 0, 0}),
       2,
       1,
       {W, B}},
      {"core header, 24 bit",
       dib_builder::CoreDib(1, 2, 24, {}, {0, 0, 0xFF, 0, 0xFF, 0, 0, 0}),
       1,
       2,
       {B, R}},
      {"a larger header with its bit fields inside",
       [] {
         Info info =dib_builder::Info().Width(1).Height(1).BitCount(16).Compression(3).Pixels({0x1F, 0, 0, 0});
         info.headerSize = 108;
         Bytes dib = dib_builder::InfoDib(info);
         const uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
         for (int i = 0; i < 3; ++i) {
           for (int b = 0; b < 4; ++b) dib[40 + 4 * i + b] = static_cast<uint8_t>(masks[i] >> (8 * b));
         }
         return dib;
       }(),
       1,
       1,
       {B}},
  };
  for (const KindCase& c : cases) {
    SCOPED_TRACE(c.kind);
    const TPicture picture = DecodeDib(c.dib);
    EXPECT_EQ(picture.Width, c.width);
    EXPECT_EQ(picture.Height, c.height);
    EXPECT_EQ(picture.Pixels, c.expected);
  }
}

TEST(DecodeDib, MalformedOrUnsupportedDataIsInvalid) {
  const Info good = dib_builder::Info().Width(2).Height(2).BitCount(24).Pixels(Bytes(16, 0));
  auto with = [&](auto change) {
    Info info = good;
    change(info);
    return dib_builder::InfoDib(info);
  };
  const struct {
    const char* what;
    Bytes dib;
  } cases[] = {
      {"too short for a header size", {40, 0, 0}},
      {"unknown header size", with([](Info& i) { i.headerSize = 20; })},
      {"header larger than the data", Bytes{124, 0, 0, 0, 1, 0}},
      {"two planes", with([](Info& i) { i.planes = 2; })},
      {"2 bits per pixel", with([](Info& i) { i.bitCount = 2; })},
      {"JPEG compression", with([](Info& i) { i.compression = 4; })},
      {"RLE8 at 4 bits", with([](Info& i) { i.bitCount = 4, i.compression = 1; })},
      {"RLE4 at 8 bits", with([](Info& i) { i.bitCount = 8, i.compression = 2; })},
      {"run-length rows top-down",
       with([](Info& i) { i.bitCount = 8, i.compression = 1, i.height = -2; })},
      {"bit fields at 24 bits", with([](Info& i) {
         i.compression = 3, i.masks = {1, 2, 4};
       })},
      {"bit fields not contiguous", with([](Info& i) {
         i.bitCount = 16, i.compression = 3, i.masks = {0xF0F0, 0x0F00, 0x000F};
       })},
      {"bit fields missing",
       with([](Info& i) { i.bitCount = 32, i.compression = 3, i.pixels = {1}; })},
      {"zero width", with([](Info& i) { i.width = 0; })},
      {"negative width", with([](Info& i) { i.width = -2; })},
      {"zero height", with([](Info& i) { i.height = 0; })},
      {"most negative height", with([](Info& i) { i.height = INT32_MIN; })},
      {"too many pixels to hold", with([](Info& i) { i.width = 30000, i.height = 30000; })},
      {"rows missing", with([](Info& i) { i.pixels.resize(15); })},
      {"huge run-length picture from a few bytes",
       with([](Info& i) { i.width = 32768, i.height = 32768, i.bitCount = 8, i.compression = 1; })},
      {"colour table past the end",
       [] {
         Bytes dib = dib_builder::InfoDib(
             dib_builder::Info().Width(1).Height(1).BitCount(8).Pixels({0, 0, 0, 0}));
         dib[32] = 0xFF, dib[33] = 0xFF, dib[34] = 0xFF, dib[35] = 0x7F;
         return dib;
       }()},
  };
  for (const auto& c : cases) {
    try {
      DecodeDib(c.dib);
      ADD_FAILURE() << c.what << ": decoded";
    } catch (const EInvalidGraphic& e) {
      EXPECT_STREQ(e.what(), "DIB is invalid") << c.what;
    }
  }
}

TEST(DecodeDib, EveryTruncationFailsCleanlyAndRunLengthDataMayEndEarly) {
  const Bytes dib = dib_builder::InfoDib(
      dib_builder::Info().Width(3).Height(2).BitCount(8).Palette(kPalette).Pixels(
          {1, 2, 3, 0, 4, 3, 2, 0}));
  for (size_t length = 0; length < dib.size(); ++length) {
    EXPECT_THROW(DecodeDib(Bytes(dib.begin(), dib.begin() + static_cast<long>(length))),
                 EInvalidGraphic)
        << length;
  }
  // A run-length stream without its end mark ends the picture where it stops.
  const TPicture cut = DecodeDib(dib_builder::InfoDib(
      dib_builder::Info().Width(2).Height(2).BitCount(8).Compression(1).Palette(kPalette).Pixels(
          {2, 1, 0})));
  EXPECT_EQ(cut.Pixels, (Pixels{K, K, R, R}));
}

TEST(DecodeBitmapFile, ReadsPixelsWhereTheFileHeaderPutsThem) {
  const Info info =
      dib_builder::Info().Width(2).Height(1).BitCount(8).Palette({K, R, G}).Pixels({2, 1, 0, 0});
  EXPECT_EQ(DecodeBitmapFile(dib_builder::BitmapFile(info)).Pixels, (Pixels{G, R}));
  EXPECT_EQ(DecodeBitmapFile(dib_builder::BitmapFile(info, 6)).Pixels, (Pixels{G, R}));

  TPicture picture(3, 2);
  picture.Pixels = {1, 2, 3, 0x400000, 0x005000, 0x000060};
  EXPECT_EQ(DecodeBitmapFile(EncodeBitmapFile(picture)), picture);
  EXPECT_EQ(DecodeBitmapFile(EncodeBitmapFile(picture, 32)), picture);
  EXPECT_EQ(DecodeDib(EncodeDib(picture)), picture);

  Bytes notBm = dib_builder::BitmapFile(info);
  notBm[1] = 'N';
  Bytes offsetInHeader = dib_builder::BitmapFile(info);
  offsetInHeader[10] = 20;  // inside the DIB header
  Bytes offsetPastEnd = dib_builder::BitmapFile(info);
  offsetPastEnd[11] = 0x10;
  Bytes badDib = dib_builder::BitmapFile(info);
  badDib[14 + 14] = 3;  // 3 bits per pixel
  for (const Bytes& bad : {notBm, offsetInHeader, offsetPastEnd, badDib, Bytes{'B', 'M', 0}}) {
    try {
      DecodeBitmapFile(bad);
      ADD_FAILURE() << "decoded";
    } catch (const EInvalidGraphic& e) {
      EXPECT_STREQ(e.what(), "Bitmap image is not valid");
    }
  }
}

TEST(PictureData, NamesTheFormatInFrontOfItsData) {
  TPicture picture(2, 2);
  picture.Pixels = {R, G, B, W};
  EXPECT_EQ(ReadPictureData(WriteDibPictureData(picture)), picture);
  EXPECT_EQ(ReadPictureData(WriteBitmapPictureData(picture)), picture);
  // "TDIB" with nothing after it is an empty picture; an unknown format is no picture at all.
  EXPECT_EQ(ReadPictureData(Bytes{4, 'T', 'D', 'I', 'B'}), TPicture());
  EXPECT_EQ(ReadPictureData(Bytes{4, 'T', 'I', 'c', 'o'}), std::nullopt);
  EXPECT_EQ(ReadPictureData(Bytes{}), std::nullopt);
  EXPECT_THROW(ReadPictureData(Bytes{9, 'T', 'D'}), EReadError);
  Bytes longBitmap = WriteBitmapPictureData(picture);
  longBitmap[8] = 0xFF;  // the file's length claims more than there is
  EXPECT_THROW(ReadPictureData(longBitmap), EInvalidGraphic);
}

// Bytes without a pattern, the same every time.
Bytes Noise(size_t count) {
  Bytes bytes(count);
  uint32_t state = 12345;
  for (uint8_t& byte : bytes) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<uint8_t>(state >> 16);
  }
  return bytes;
}

// Run-length data of `height` rows of `width` runs of one pixel each.
Bytes OnePixelRuns(int width, int height) {
  Bytes runs;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) runs.insert(runs.end(), {1, static_cast<uint8_t>((x + y) % 5)});
    runs.insert(runs.end(), {0, 0});
  }
  runs.insert(runs.end(), {0, 1});
  return runs;
}

// A source that remembers the most it was asked to read at once.
class WatchedSource : public TPictureSource {
 public:
  explicit WatchedSource(Bytes bytes) : memory_(std::move(bytes)) {}
  std::vector<uint8_t> Read(uint64_t offset, uint64_t size) override {
    largest = std::max(largest, size);
    return memory_.Read(offset, size);
  }
  size_t ReadInto(uint64_t offset, std::span<uint8_t> into) override {
    largest = std::max<uint64_t>(largest, into.size());
    return memory_.ReadInto(offset, into);
  }
  uint64_t largest = 0;

 private:
  TMemoryPictureSource memory_;
};

TEST(PictureData, ALargeDibIsReadAFewRowsAtATimeIntoTheSamePicture) {
  struct Case {
    const char* kind;
    Info info;
    bool inParts;
  };
  const Case cases[] = {
      {"24 bit, bottom-up, padded rows",
       Info().Width(401).Height(300).BitCount(24).Pixels(Noise(1204 * 300)), true},
      {"8 bit, top-down",
       Info().Width(300).Height(-400).BitCount(8).Palette(kPalette).Pixels(Noise(300 * 400)), true},
      {"1 bit", Info().Width(2000).Height(300).BitCount(1).Palette({K, W}).Pixels(Noise(252 * 300)),
       true},
      {"16 bit, bit fields",
       Info()
           .Width(300)
           .Height(300)
           .BitCount(16)
           .Compression(3)
           .Masks({0xF800, 0x07E0, 0x001F})
           .Pixels(Noise(600 * 300)),
       true},
      {"32 bit, one row more than a read holds",
       Info().Width(16385).Height(2).BitCount(32).Pixels(Noise(65540 * 2)), true},
      {"8 bit run-length: read whole",
       Info().Width(300).Height(300).BitCount(8).Compression(1).Palette(kPalette).Pixels(
           OnePixelRuns(300, 300)),
       false},
  };
  constexpr uint64_t at = 123;  // where the picture's data lies in its archive
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    Bytes data = {4, 'T', 'D', 'I', 'B'};
    const Bytes dib = dib_builder::InfoDib(c.info);
    data.insert(data.end(), dib.begin(), dib.end());
    Bytes archive = Noise(at);
    archive.insert(archive.end(), data.begin(), data.end());
    archive.insert(archive.end(), {1, 2, 3});

    PixelBudget wholeBudget(kMaxDibPixels);
    const std::optional<TPicture> expected = ReadPictureData(data, wholeBudget);
    ASSERT_TRUE(expected);
    WatchedSource source(archive);
    PixelBudget budget(kMaxDibPixels);
    EXPECT_EQ(ReadPictureDataFrom(source, at, data.size(), budget), expected);
    EXPECT_EQ(budget.Left(), wholeBudget.Left());
    // Never the whole DIB at once, beside its picture.
    EXPECT_EQ(source.largest < data.size(), c.inParts) << source.largest;

    // An archive cut in the middle of the rows: what reading it whole gives (no picture, or a
    // run-length picture ending where its data does).
    const Bytes cutArchive(archive.begin(),
                           archive.begin() + static_cast<long>(at + data.size() / 2));
    const Bytes cutData(cutArchive.begin() + static_cast<long>(at), cutArchive.end());
    WatchedSource cut(cutArchive);
    PixelBudget cutBudget(kMaxDibPixels);
    if (c.inParts) {
      EXPECT_THROW(ReadPictureDataFrom(cut, at, data.size(), cutBudget), EInvalidGraphic);
      EXPECT_THROW(ReadPictureData(cutData), EInvalidGraphic);
    } else {
      EXPECT_EQ(ReadPictureDataFrom(cut, at, data.size(), cutBudget), ReadPictureData(cutData));
    }
  }
  // Malformed headers fail the same way; other formats and small pictures are read whole.
  Bytes badDib =
      dib_builder::InfoDib(Info().Width(300).Height(300).BitCount(24).Pixels(Noise(900 * 300)));
  badDib[14] = 3;  // 3 bits per pixel
  badDib.insert(badDib.begin(), {4, 'T', 'D', 'I', 'B'});
  WatchedSource bad(badDib);
  PixelBudget badBudget(kMaxDibPixels);
  EXPECT_THROW(ReadPictureDataFrom(bad, 0, badDib.size(), badBudget), EInvalidGraphic);
  TPicture picture(300, 100);
  picture.Pixels.assign(picture.Pixels.size(), G);
  for (const Bytes& other :
       {WriteBitmapPictureData(picture), WriteDibPictureData(TPicture(2, 2))}) {
    WatchedSource source(other);
    PixelBudget budget(kMaxDibPixels);
    EXPECT_EQ(ReadPictureDataFrom(source, 0, other.size(), budget), ReadPictureData(other));
    EXPECT_EQ(source.largest, other.size());
  }
}

}  // namespace
