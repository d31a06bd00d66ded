// Large buffers with their pages taken from the kernel in one go. A fresh page is otherwise
// faulted in when it is first written, one fault for every 4 kB; on a virtual machine a fault
// costs about 10 µs, so a picture's 2 MB cost 5 ms that way and half of it so.
#pragma once

#include <cstddef>
#include <vector>

// Asks for every page wholly inside [memory, memory + bytes) to be there and writable now; pages
// already there stay as they are, so this never changes what the memory holds. Nothing for small
// buffers, or where the kernel cannot (it then faults them in as before).
void PopulatePages(void* memory, size_t bytes);

// `count` value-initialised elements, their pages populated before they are written.
template <typename T>
std::vector<T> FreshVector(size_t count) {
  std::vector<T> values;
  values.reserve(count);
  PopulatePages(values.data(), count * sizeof(T));
  values.resize(count);
  return values;
}
