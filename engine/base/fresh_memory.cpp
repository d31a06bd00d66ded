#include "engine/base/fresh_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older kernels refuse it and nothing changes
#endif

void PopulatePages(void* memory, size_t bytes) {
  // Below this a buffer is a few pages, or lies in the heap's pages that are there already.
  constexpr size_t Worthwhile = 256 * 1024;
  if (memory == nullptr || bytes < Worthwhile) return;
  static const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<uintptr_t>(memory);
  const uintptr_t first = (start + page - 1) / page * page;
  const uintptr_t end = (start + bytes) / page * page;
  if (end <= first) return;
  madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
}
