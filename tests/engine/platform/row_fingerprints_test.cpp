#include "engine/platform/sdl/row_fingerprints.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

using platform::sdl::RowFingerprint;
using platform::sdl::UpdateRowFingerprints;

constexpr int Width = 800;
constexpr int Height = 600;
constexpr uint32_t Untouched = 0xDEADBEEF;

std::vector<uint32_t> Picture() {
  std::vector<uint32_t> picture(static_cast<size_t>(Width) * Height);
  for (size_t i = 0; i < picture.size(); ++i)
    picture[i] = static_cast<uint32_t>(i * 40503u) & 0xFFFFFF;
  return picture;
}

// The rows sent for a change from the picture shown last are exactly the changed ones, and only
// they are copied to the window's picture.
TEST(RowFingerprintsTest, SendsAndCopiesExactlyTheChangedRows) {
  struct Case {
    std::string name;
    std::function<void(std::vector<uint32_t>&)> change;
    int first;
    int last;
  };
  const auto pixel = [](int x, int y) {
    return [x, y](std::vector<uint32_t>& p) { p[static_cast<size_t>(y * Width + x)] ^= 1; };
  };
  const std::vector<Case> cases = {
      {"nothing", [](std::vector<uint32_t>&) {}, Height, -1},
      {"first row, first pixel", pixel(0, 0), 0, 0},
      {"middle row, middle pixel", pixel(400, 300), 300, 300},
      {"last row, last pixel", pixel(Width - 1, Height - 1), Height - 1, Height - 1},
      {"two rows apart",
       [](std::vector<uint32_t>& p) {
         p[10 * Width + 5] = 0;
         p[500 * Width + 795] = 0xFFFFFF;
       },
       10, 500},
      {"everything",
       [](std::vector<uint32_t>& p) {
         for (uint32_t& v : p) v = ~v & 0xFFFFFF;
       },
       0, Height - 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint64_t> fingerprints(Height);
    std::vector<uint32_t> picture = Picture();
    std::vector<uint32_t> window(picture.size(), Untouched);
    const auto send = [&](bool all) {
      return UpdateRowFingerprints(fingerprints, picture.data(), Width, all,
                                   reinterpret_cast<uint8_t*>(window.data()), Width * 4);
    };
    const platform::sdl::RowBand firstSent = send(true);
    ASSERT_EQ(firstSent.first, 0);
    ASSERT_EQ(firstSent.last, Height - 1);
    ASSERT_EQ(window, picture);
    std::fill(window.begin(), window.end(), Untouched);
    c.change(picture);
    const platform::sdl::RowBand band = send(false);
    EXPECT_EQ(band.first, c.first);
    EXPECT_EQ(band.last, c.last);
    EXPECT_EQ(band.Empty(), c.last < 0);
    for (int y = 0; y < Height; ++y) {
      const bool changed = y == c.first || y == c.last || (c.name == "everything");
      const uint32_t* row = (changed ? picture.data() : window.data()) + y * Width;
      ASSERT_EQ(window[static_cast<size_t>(y * Width)], changed ? row[0] : Untouched) << y;
    }
    // Sent once, the change is not sent again.
    EXPECT_TRUE(send(false).Empty());
  }
}

// Drawn in place, nothing is copied and the band is the same.
TEST(RowFingerprintsTest, APictureDrawnInTheWindowsMemoryIsNotCopied) {
  std::vector<uint64_t> fingerprints(Height);
  std::vector<uint32_t> picture = Picture();
  auto* self = reinterpret_cast<uint8_t*>(picture.data());
  UpdateRowFingerprints(fingerprints, picture.data(), Width, true, self, Width * 4);
  picture[123 * Width + 7] = 0x00ABCDEF;
  const platform::sdl::RowBand band =
      UpdateRowFingerprints(fingerprints, picture.data(), Width, false, self, Width * 4);
  EXPECT_EQ(band.first, 123);
  EXPECT_EQ(band.last, 123);
  EXPECT_EQ(picture[123 * Width + 7], 0x00ABCDEFu);
}

// Changes that a sum or an xor of the pixels would not see: moved, swapped or paired.
TEST(RowFingerprintsTest, StructuredChangesNeverKeepTheFingerprint) {
  std::vector<uint32_t> row(Width);
  for (int x = 0; x < Width; ++x)
    row[static_cast<size_t>(x)] = (x % 7 == 0) ? 0xFFFFFF : 0x000010u * x;
  const uint64_t original = RowFingerprint(row.data(), Width);
  const std::vector<std::pair<std::string, std::function<void(std::vector<uint32_t>&)>>> changes = {
      {"moved by one pixel", [](auto& r) { std::rotate(r.begin(), r.begin() + 1, r.end()); }},
      {"moved by two pixels (one word)",
       [](auto& r) { std::rotate(r.begin(), r.begin() + 2, r.end()); }},
      {"moved by 16 pixels (from lane to lane)",
       [](auto& r) { std::rotate(r.begin(), r.begin() + 16, r.end()); }},
      {"moved by 32 pixels (within each lane)",
       [](auto& r) { std::rotate(r.begin(), r.begin() + 32, r.end()); }},
      {"two pixels swapped", [](auto& r) { std::swap(r[3], r[500]); }},
      {"the same bit flipped twice in one lane",
       [](auto& r) {
         r[0] ^= 0x80;
         r[16] ^= 0x80;
       }},
      {"the same bit flipped twice",
       [](auto& r) {
         r[0] ^= 0x80;
         r[8] ^= 0x80;
       }},
      {"one more, one less",
       [](auto& r) {
         r[100] += 1;
         r[101] -= 1;
       }},
      {"all black", [](auto& r) { std::fill(r.begin(), r.end(), 0u); }},
      {"the last pixel", [](auto& r) { r[Width - 1] ^= 0x010000; }},
  };
  for (const auto& [name, change] : changes) {
    std::vector<uint32_t> changed = row;
    change(changed);
    ASSERT_NE(changed, row) << name;
    EXPECT_NE(RowFingerprint(changed.data(), Width), original) << name;
  }
  // A width that is no whole number of lanes or words counts every pixel too.
  for (const int width : {1, 3, 9, 801}) {
    std::vector<uint32_t> odd(static_cast<size_t>(width), 0x123456);
    const uint64_t before = RowFingerprint(odd.data(), width);
    odd.back() ^= 1;
    EXPECT_NE(RowFingerprint(odd.data(), width), before) << width;
  }
}

}  // namespace
