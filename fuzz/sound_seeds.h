// The seeds of the sound fuzz targets, written with the game's own wave and sound archive
// writers: RIFF WAVE files of each PCM layout and with chunks the reader skips (fuzz/corpus/wave)
// and sound archives (fuzz/corpus/wave_archive).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/sound/wave.h"
#include "engine/sound/wave_list.h"
#include "tests/support/riff_builder.h"

namespace sound_seeds {

inline std::vector<std::pair<std::string, std::vector<uint8_t>>> Waves() {
  TWave mono8;
  mono8.SetPcm({1, 11025, 8}, {0x80, 0xFF, 0x00, 0x40, 0xC0});
  TWave stereo16;
  stereo16.SetPcm({2, 44100, 16}, std::vector<uint8_t>(64, 0x11));
  // WAVEFORMATEXTENSIBLE: 16-bit stereo at 48000 with the PCM sub-format.
  const std::vector<uint8_t> extensible = {
      0xFE, 0xFF, 2,    0,    0x80, 0xBB, 0,    0,    0,    0xEE, 2,    0,    4,    0,
      16,   0,    22,   0,    16,   0,    3,    0,    0,    0,    0x01, 0x00, 0x00, 0x00,
      0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
  return {
      {"mono8.wav", mono8.SaveToBytes()},
      {"stereo16.wav", stereo16.SaveToBytes()},
      {"extra_chunks.wav", RiffBuilder()
                               .Format(2, 22050, 8)
                               .Chunk("LIST", {'I', 'N', 'F', 'O', 'x'})
                               .Chunk("note", {1, 2, 3}, false)
                               .Chunk("data", {1, 2, 3, 4, 5, 6})
                               .Bytes()},
      {"extensible.wav",
       RiffBuilder().Chunk("fmt ", extensible).Chunk("data", {0, 1, 2, 3, 4, 5, 6, 7}).Bytes()},
  };
}

inline std::vector<std::pair<std::string, std::vector<uint8_t>>> Archives() {
  TWaveList three;
  const char* names[] = {"bonus", "herodie", "menu"};
  for (int i = 0; i < 3; ++i) {
    TWaveCollectionItem& item = three.Items().Add();
    item.SetName(names[i]);
    item.SetLooped(i == 1);
    item.SetMaxPlayingCount(i == 2 ? 2 : 0);
    item.Wave().SetPcm({1 + i % 2, 11025 * (i + 1), i == 0 ? 8 : 16},
                       std::vector<uint8_t>(static_cast<size_t>(20 + i), 0x70));
  }
  TWaveList noWave;
  noWave.Items().Add().SetName("x");
  return {{"three_sounds.dxw", three.SaveToBytes()}, {"no_wave.dxw", noWave.SaveToBytes()}};
}

}  // namespace sound_seeds
