#include "tools/assetgen/generate.h"

#include <fstream>
#include <stdexcept>
#include <vector>

#include "engine/pictures/image_archive.h"
#include "engine/sound/wave_archive.h"
#include "engine/sound/wave_collection.h"
#include "tools/assetgen/keyed_picture.h"
#include "tools/assetgen/manifest.h"
#include "tools/assetgen/preview.h"
#include "tools/assetgen/scene.h"
#include "tools/assetgen/songs.h"
#include "tools/assetgen/sound_effects.h"
#include "tools/assetgen/studio.h"
#include "tools/xm/xm_writer.h"

namespace assets {
namespace {

// Writes through a temporary file so that a failed run never leaves half a file behind.
void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::filesystem::create_directories(path.parent_path());
  const std::filesystem::path partial = path.string() + ".partial";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + partial.string());
  }
  std::filesystem::rename(partial, path);
}

// The manifest writes colours as RRGGBB; the archive keeps them as 0x00BBGGRR.
TColor ToTColor(uint32_t rgb) {
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

std::vector<uint8_t> PictureArchive(const std::vector<KeyedPicture>& pictures) {
  std::vector<ImageArchiveItem> items;
  for (const KeyedPicture& p : pictures) {
    ImageArchiveItem item;
    item.Name = p.name;
    item.PatternWidth = p.patternWidth;
    item.PatternHeight = p.patternHeight;
    item.Transparent = true;
    item.TransparentColor = ToTColor(p.transparent);
    item.Picture = TPicture(p.width, p.height);
    item.Picture.Pixels = p.pixels;
    items.push_back(std::move(item));
  }
  return WriteImageArchive(items);
}

std::vector<uint8_t> SoundArchive(const SoundArchiveEntry& archive) {
  TWaveCollection sounds;
  for (const SoundEntry& entry : archive.sounds) {
    TWaveCollectionItem& item = sounds.Add();
    item.SetName(entry.name);
    item.SetLooped(entry.looped);
    item.SetMaxPlayingCount(entry.maxPlayingCount);
    const std::vector<int16_t> pcm = SynthesiseEffect(entry.name);
    std::vector<uint8_t> bytes;
    bytes.reserve(pcm.size() * 2);
    for (int16_t sample : pcm) {
      const auto value = static_cast<uint16_t>(sample);
      bytes.push_back(static_cast<uint8_t>(value & 0xFF));
      bytes.push_back(static_cast<uint8_t>(value >> 8));
    }
    item.Wave().SetPcm({1, EffectRate(), 16}, std::move(bytes));
  }
  return WriteWaveArchive(sounds);
}

xm::Module Song(const std::string& file) {
  if (file == "sound/1.xm") return MenuSong();
  if (file == "sound/2.xm") return GameSong();
  throw std::logic_error("no song is composed for " + file);
}

}  // namespace

void Generate(const GenerateOptions& options) {
  const Manifest manifest = LoadManifest(options.manifest);
  Studio studio(manifest);
  if (!options.previewName.empty()) {
    const PictureEntry& entry = studio.Entry(options.previewName);
    WritePng(Unkey(KeyPicture(studio.Picture(options.previewName), entry)), options.previewFile);
    return;
  }
  std::vector<std::vector<KeyedPicture>> archives;
  std::vector<std::string> titles;
  for (const ImageArchive& archive : manifest.images) {
    std::vector<KeyedPicture> pictures;
    for (const PictureEntry& entry : archive.pictures) {
      pictures.push_back(KeyPicture(studio.Picture(entry.name), entry));
    }
    if (!options.gameDir.empty())
      WriteFile(options.gameDir / archive.file, PictureArchive(pictures));
    archives.push_back(std::move(pictures));
    titles.push_back(archive.file);
  }
  if (!options.gameDir.empty()) {
    for (const SoundArchiveEntry& archive : manifest.sounds) {
      WriteFile(options.gameDir / archive.file, SoundArchive(archive));
    }
    for (const MusicEntry& music : manifest.music) {
      WriteFile(options.gameDir / music.file, xm::EncodeModule(Song(music.file)));
    }
  }
  if (!options.contactSheet.empty()) WritePng(ContactSheet(archives, titles), options.contactSheet);
  if (!options.scene.empty()) WritePng(GameScene(manifest, archives), options.scene);
}

}  // namespace assets
