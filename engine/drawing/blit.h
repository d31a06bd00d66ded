// Copying rows of 32-bit pixels onto a surface: plain, or leaving out the pixels of a transparent
// colour. These carry every picture drawn in a frame, so they work four or eight pixels at a time.
#pragma once

#include <cstdint>

void BlitRow(uint32_t* dst, const uint32_t* src, int count);
// Pixels equal to `key` leave the destination as it was.
void BlitRowKeyed(uint32_t* dst, const uint32_t* src, int count, uint32_t key);
// The same without the processor's 256-bit instructions, which BlitRowKeyed uses where it has
// them; both must give the same pixels.
void BlitRowKeyedWithout256Bits(uint32_t* dst, const uint32_t* src, int count, uint32_t key);
