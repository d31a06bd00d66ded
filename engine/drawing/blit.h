// Copying rows of 32-bit pixels onto a surface: plain, or leaving out the pixels of a transparent
// colour. These carry every picture drawn in a frame, so they work four pixels at a time.
#pragma once

#include <cstdint>

void BlitRow(uint32_t* dst, const uint32_t* src, int count);
// Pixels equal to `key` leave the destination as it was.
void BlitRowKeyed(uint32_t* dst, const uint32_t* src, int count, uint32_t key);
