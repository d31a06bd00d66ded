#include "tests/support/test_sounds.h"

#include <cmath>
#include <fstream>

#include "engine/sound/wave_archive.h"
#include "engine/sound/wave_collection.h"

void WriteTestSoundArchive(const std::filesystem::path& path) {
  TWaveCollection sounds;
  for (const char* name : {"bonus", "herodie", "catapultdie", "mandie", "catapult", "manshot",
                           "heroshot", "menu", "looser", "nextlevel"}) {
    TWaveCollectionItem& item = sounds.Add();
    item.SetName(name);
    item.SetMaxPlayingCount(2);
    std::vector<uint8_t> samples;
    for (int i = 0; i < 2205; ++i) {  // 0.1 s of a 440 Hz tone at 22050 Hz, 16-bit
      const auto value = static_cast<int16_t>(8000 * std::sin(i * 2 * M_PI * 440 / 22050));
      samples.push_back(static_cast<uint8_t>(value & 0xFF));
      samples.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
    }
    item.Wave().SetPcm({1, 22050, 16}, std::move(samples));
  }
  std::filesystem::create_directories(path.parent_path());
  const std::vector<uint8_t> bytes = WriteWaveArchive(sounds);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}
