// The asset manifest: which pictures, sounds and modules the game's data files hold, with the
// names, positions, pattern sizes and sound settings the game relies on. Read by the asset
// generator and by the tests that check the finished files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace assets {

class ManifestError : public std::runtime_error {
 public:
  explicit ManifestError(const std::string& message) : std::runtime_error(message) {}
};

struct PictureEntry {
  int position = 0;
  std::string name;
  int patternWidth = 0;
  int patternHeight = 0;
  int patterns = 0;
  uint32_t transparent = 0;  // 0xRRGGBB
  // The patterns lie side by side in one row.
  int Width() const { return patternWidth * patterns; }
  int Height() const { return patternHeight; }
};

struct SoundEntry {
  std::string name;
  bool looped = false;
  int maxPlayingCount = 0;
};

struct ImageArchive {
  std::string file;                    // relative to the game folder, with "/"
  std::vector<PictureEntry> pictures;  // in position order
};

struct SoundArchiveEntry {
  std::string file;
  std::vector<SoundEntry> sounds;
};

struct MusicEntry {
  std::string file;
  int seconds = 0;  // about how long the song plays before it loops
};

struct Manifest {
  std::vector<ImageArchive> images;
  std::vector<SoundArchiveEntry> sounds;
  std::vector<MusicEntry> music;

  // The archive of that file name; throws ManifestError when there is none.
  const ImageArchive& Images(std::string_view file) const;
};

// Parses the manifest text. Throws ManifestError naming the line for an unknown word, a missing
// or malformed field, positions out of order, a repeated name or a picture outside any archive.
Manifest ParseManifest(std::string_view text);
Manifest LoadManifest(const std::filesystem::path& path);

}  // namespace assets
