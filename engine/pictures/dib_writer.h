// Encodes pictures the way the image archives store them: a packed DIB (40-byte header,
// uncompressed, bottom row first) and a whole bitmap file. Used by the asset generator and tests.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/pictures/picture.h"

// bitCount 24 or 32 (BI_RGB, the fourth byte 0).
std::vector<uint8_t> EncodeDib(const TPicture& picture, int bitCount = 24);

// "BM", the 14-byte file header and the DIB of EncodeDib.
std::vector<uint8_t> EncodeBitmapFile(const TPicture& picture, int bitCount = 24);
