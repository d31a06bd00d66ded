#include "engine/base/fresh_memory.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

TEST(FreshMemory, PopulatingBringsInThePagesAndKeepsWhatTheyHold) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  const size_t pages = 128;
  auto* memory = static_cast<uint8_t*>(
      mmap(nullptr, pages * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  ASSERT_NE(memory, MAP_FAILED);
  // Two pages written before, the rest never touched.
  std::fill_n(memory + 5 * page, page, uint8_t{0xA5});
  std::fill_n(memory + 70 * page + 17, 300, uint8_t{0x3C});

  // Unaligned at both ends: the partial first and last pages are left to fault in as usual.
  PopulatePages(memory + 100, (pages - 1) * page);

  std::vector<unsigned char> resident(pages);
  ASSERT_EQ(mincore(memory, pages * page, resident.data()), 0);
  // A kernel without the populate request leaves the pages to come in when first written.
  const bool populated = resident[1] & 1;
  if (populated) {
    for (size_t i = 1; i < pages - 1; ++i) EXPECT_TRUE(resident[i] & 1) << "page " << i;
  }
  for (size_t i = 0; i < pages * page; ++i) {
    const bool first = i >= 5 * page && i < 6 * page;
    const bool second = i >= 70 * page + 17 && i < 70 * page + 317;
    const uint8_t expected = first ? 0xA5 : second ? 0x3C : 0;
    ASSERT_EQ(memory[i], expected) << "byte " << i;
  }
  munmap(memory, pages * page);
  if (!populated) GTEST_SKIP() << "this kernel does not populate pages on request";
}

TEST(FreshMemory, FreshVectorsAreZeroedAtTheirSize) {
  for (const size_t count : {size_t{0}, size_t{3}, size_t{800 * 600}, size_t{1'000'001}}) {
    const std::vector<uint32_t> values = FreshVector<uint32_t>(count);
    ASSERT_EQ(values.size(), count);
    EXPECT_TRUE(std::all_of(values.begin(), values.end(), [](uint32_t v) { return v == 0; }))
        << count;
  }
}

}  // namespace
