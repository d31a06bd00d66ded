// The keyed row copy leaves exactly the key's pixels alone, whichever instructions carry it.
#include "engine/drawing/blit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr uint32_t Key = 0xFF00FF;

// Rows of every length up to 70 at every start within the first eight pixels, the key in runs
// and alone, against the plain rule: a pixel is copied unless it is the key.
TEST(BlitRowKeyed, CopiesEveryPixelButTheKeyAtAnyLengthAndStart) {
  std::mt19937 random(7);
  for (int density : {0, 10, 50, 90, 100}) {
    for (int count = 0; count <= 70; ++count) {
      for (int start = 0; start < 8; ++start) {
        std::vector<uint32_t> src(80);
        for (uint32_t& pixel : src) {
          pixel = static_cast<int>(random() % 100) < density ? Key : random() & 0xFFFFFF;
        }
        std::vector<uint32_t> under(80);
        for (uint32_t& pixel : under) pixel = random() & 0xFFFFFF;
        std::vector<uint32_t> expected = under;
        for (int i = 0; i < count; ++i) {
          if (src[start + i] != Key) expected[start + i] = src[start + i];
        }
        std::vector<uint32_t> fast = under;
        BlitRowKeyed(fast.data() + start, src.data() + start, count, Key);
        std::vector<uint32_t> portable = under;
        BlitRowKeyedWithout256Bits(portable.data() + start, src.data() + start, count, Key);
        ASSERT_EQ(fast, expected) << "density " << density << " count " << count << " at " << start;
        ASSERT_EQ(portable, expected) << "density " << density << " count " << count;
      }
    }
  }
}

}  // namespace
