#include "tests/support/test_game_data.h"

#include <array>
#include <fstream>
#include <string>
#include <vector>

#include "engine/pictures/image_archive.h"
#include "tools/assetgen/manifest.h"

namespace test_data {

namespace {

using Bytes = std::vector<uint8_t>;

struct PictureSpec {
  const char* name;
  int width;
  int height;
  uint32_t color;
};

// The menu archive in position order: the backdrop, the six main items, then the named ones and
// the help pages.
constexpr std::array<PictureSpec, 24> MenuPictures = {{
    {"menu", 800, 600, 0x102030},
    {"newgame", MainItemWidth, MainItemHeight, 0x11AA11},
    {"options", MainItemWidth, MainItemHeight, 0x22AA22},
    {"scores", MainItemWidth, MainItemHeight, 0x33AA33},
    {"help", MainItemWidth, MainItemHeight, 0x44AA44},
    {"homepage", MainItemWidth, MainItemHeight, 0x55AA55},
    {"exit", MainItemWidth, MainItemHeight, 0x66AA66},
    {"console", 360, 240, 0x707070},
    {"optionsback", 464, 376, 0xD0C0A0},
    {"scoreback", 464, 376, 0xD0C0A1},
    {"helpback", 464, 376, 0xD0C0A2},
    {"window", 116, 34, 0x0000C1},
    {"full", 160, 34, 0x0000C2},
    {"muson", 56, 34, 0x0000C3},
    {"musoff", 60, 34, 0x0000C4},
    {"soundon", 56, 34, 0x0000C5},
    {"soundoff", 60, 34, 0x0000C6},
    {"backactive", 96, 34, 0x0000C7},
    {"clearscore", 204, 30, 0x0000C8},
    {"viewscore", 214, 30, 0x0000C9},
    {"prev", 96, 30, 0x0000CA},
    {"next", 60, 30, 0x0000CB},
    {"ok", OkWidth, OkHeight, 0x00C000},
    {"cancel", 112, 32, 0xC00000},
}};
constexpr int HelpPages = 10;
// After the help pages: the boss-key prompt's frame.
constexpr std::array<PictureSpec, 1> MenuPicturesAfterHelp = {{
    {"keyprompt", 360, 240, 0x727272},
}};

// The game's dialog pictures keep colours of their own; the rest of the game archive follows the
// asset manifest (names, positions, pattern sizes and counts), each picture solid in GameColor.
constexpr std::array<PictureSpec, 3> GameDialogPictures = {{
    {"console", 360, 240, 0x717171},
    {"ok", OkWidth, OkHeight, 0x00C001},
    {"cancel", 112, 32, 0xC00001},
}};

ImageArchiveItem Solid(const std::string& name, int width, int height, uint32_t color) {
  ImageArchiveItem item;
  item.Name = name;
  item.Picture = TPicture(width, height);
  for (uint32_t& pixel : item.Picture.Pixels) pixel = color;
  item.TransparentColor = 0xFF00FF;  // fuchsia, which no test picture uses
  return item;
}

template <size_t N>
std::vector<ImageArchiveItem> Items(const std::array<PictureSpec, N>& specs) {
  std::vector<ImageArchiveItem> items;
  for (const PictureSpec& picture : specs) {
    items.push_back(Solid(picture.name, picture.width, picture.height, picture.color));
  }
  return items;
}

const Bytes& MenuArchive() {
  static const Bytes bytes = [] {
    std::vector<ImageArchiveItem> items = Items(MenuPictures);
    for (int page = 1; page <= HelpPages; ++page) {
      items.push_back(Solid("help" + std::to_string(page), 464, 298, HelpPageColor(page)));
    }
    for (ImageArchiveItem& item : Items(MenuPicturesAfterHelp)) items.push_back(std::move(item));
    return WriteImageArchive(items);
  }();
  return bytes;
}

void Save(const std::filesystem::path& path, const Bytes& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

uint32_t PictureColor(std::string_view name) {
  for (const PictureSpec& picture : MenuPictures) {
    if (name == picture.name) return picture.color;
  }
  for (const PictureSpec& picture : MenuPicturesAfterHelp) {
    if (name == picture.name) return picture.color;
  }
  return 0;
}

uint32_t HelpPageColor(int page) {
  return 0x300000 + static_cast<uint32_t>(page) * 0x000101;
}

static const Bytes& GameArchive() {
  static const Bytes bytes = [] {
    const assets::Manifest manifest = assets::LoadManifest(SKARVEL_ASSET_MANIFEST);
    std::vector<ImageArchiveItem> items;
    for (const assets::PictureEntry& entry : manifest.Images("data/gamegraphic.dxg").pictures) {
      const PictureSpec* dialog = nullptr;
      for (const PictureSpec& picture : GameDialogPictures) {
        if (entry.name == picture.name) dialog = &picture;
      }
      if (dialog) {
        items.push_back(Solid(dialog->name, dialog->width, dialog->height, dialog->color));
        continue;
      }
      ImageArchiveItem item =
          Solid(entry.name, entry.Width(), entry.Height(), GameColor(entry.position));
      item.PatternWidth = entry.patternWidth;
      item.PatternHeight = entry.patternHeight;
      items.push_back(std::move(item));
    }
    return WriteImageArchive(items);
  }();
  return bytes;
}

void WriteGameData(const std::filesystem::path& folder) {
  Save(folder / "data" / "menu.dxg", MenuArchive());
  Save(folder / "data" / "gamegraphic.dxg", GameArchive());
}

uint32_t GameColor(int position) {
  return 0x400000 + static_cast<uint32_t>(position) * 0x000305;
}

int SoundPlays(const platform::headless::HeadlessSound& output, TWaveList& sounds,
               std::string_view name) {
  const int main = output.VoiceOf(sounds.Items().Find(name).MainBuffer());
  if (main < 0) return 0;
  const auto& samples = output.voices[static_cast<size_t>(main)].samples;
  int plays = 0;
  for (const auto& call : output.calls) {
    if (call.kind == platform::headless::HeadlessSound::Call::Play &&
        output.voices[static_cast<size_t>(call.voice)].samples == samples) {
      ++plays;
    }
  }
  return plays;
}

}  // namespace test_data
