// Fuzz target: the archive container. Any bytes either read into a tree that writes back and
// reads again unchanged, or fail with the reader's errors; the same bytes are also loaded as an
// image archive, pictures and all.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/archive/archive_reader.h"
#include "engine/archive/archive_writer.h"
#include "engine/base/exception.h"
#include "engine/pictures/image_archive.h"
#include "engine/pictures/picture_collection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  archive::Object root;
  bool read = false;
  try {
    root = archive::ReadArchive(bytes);
    read = true;
  } catch (const Exception&) {
  }
  if (read) {
    // Not inside a catch: a tree the reader made that the writer refuses is a fault.
    const std::vector<uint8_t> written = archive::WriteArchive(root);
    if (!(archive::ReadArchive(written) == root)) __builtin_trap();
  }
  TPictureCollection items;
  try {
    ReadImageArchive(bytes, items);
  } catch (const Exception&) {
  }
  for (int32_t i = 0; i < items.Count(); ++i) {
    const TPictureCollectionItem& item = items[i];
    if (item.PatternTotal() < 0) __builtin_trap();
    if (item.Picture &&
        item.Picture->Pixels.size() !=
            static_cast<size_t>(item.Picture->Width) * static_cast<size_t>(item.Picture->Height)) {
      __builtin_trap();
    }
    if (!item.Name().empty()) items.Find(item.Name());
  }
  return 0;
}
