// Writes the archive container, the exact inverse of the reader: what WriteArchive stores,
// ReadArchive gives back unchanged. Used by the asset generator and by tests.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/archive/archive_value.h"

namespace archive {

// The resource header (named after the root's class), "TPF0" and the object with its values, each
// with the tag it carries. Throws Exception for a tree the format cannot hold (a short text over
// 255 bytes, an empty property name, an integer that does not fit its tag, an object name that
// is not an identifier).
std::vector<uint8_t> WriteArchive(const Object& root);

}  // namespace archive
