// Writes the fuzz targets' seed corpus (fuzz/corpus/<target>/) with the game's own writers, the
// hand-made DIBs of the tests and the sound seeds of sound_seeds.h: small, valid inputs of every
// kind the readers know, from which the fuzzer mutates. Usage: fuzz_corpus_generator <folder>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/archive/archive_writer.h"
#include "engine/pictures/dib_writer.h"
#include "engine/pictures/image_archive.h"
#include "fuzz/sound_seeds.h"
#include "settings/config_record.h"
#include "tests/support/dib_builder.h"

namespace {

using Bytes = std::vector<uint8_t>;
using dib_builder::Info;

void Save(const std::filesystem::path& folder, const std::string& name, const Bytes& bytes) {
  std::filesystem::create_directories(folder);
  std::ofstream(folder / name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

TPicture Gradient(int w, int h) {
  TPicture picture(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      picture.Pixel(x, y) = static_cast<uint32_t>((x * 16) << 16 | (y * 16) << 8 | 0x40);
    }
  }
  return picture;
}

const std::vector<uint32_t> kPalette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

std::vector<std::pair<std::string, Bytes>> Dibs() {
  return {
      {"1bit.dib", dib_builder::InfoDib(Info()
                                            .Width(3)
                                            .Height(2)
                                            .BitCount(1)
                                            .Palette({0x112233, 0xAABBCC})
                                            .Pixels({0xA0, 0, 0, 0, 0x60, 0, 0, 0}))},
      {"4bit.dib",
       dib_builder::InfoDib(
           Info().Width(3).Height(1).BitCount(4).Palette(kPalette).Pixels({0x12, 0x30, 0, 0}))},
      {"8bit_topdown.dib",
       dib_builder::InfoDib(Info().Width(2).Height(-2).BitCount(8).Palette(kPalette).Pixels(
           {1, 2, 0, 0, 3, 4, 0, 0}))},
      {"16bit.dib", dib_builder::InfoDib(
                        Info().Width(2).Height(1).BitCount(16).Pixels({0x00, 0x7C, 0x10, 0x42}))},
      {"16bit_fields.dib", dib_builder::InfoDib(Info()
                                                    .Width(2)
                                                    .Height(1)
                                                    .BitCount(16)
                                                    .Compression(3)
                                                    .Masks({0xF800, 0x07E0, 0x001F})
                                                    .Pixels({0xE0, 0x07, 0x1F, 0xF8}))},
      {"24bit.dib", EncodeDib(Gradient(5, 3))},
      {"32bit.dib", EncodeDib(Gradient(3, 3), 32)},
      {"32bit_fields.dib", dib_builder::InfoDib(Info()
                                                    .Width(2)
                                                    .Height(1)
                                                    .BitCount(32)
                                                    .Compression(3)
                                                    .Masks({0x3FF00000, 0x000FFC00, 0x000003FF})
                                                    .Pixels({0, 0, 0xF8, 0x3F, 0xFF, 3, 0, 0}))},
      {"rle8.dib",
       dib_builder::InfoDib(
           Info().Width(4).Height(3).BitCount(8).Compression(1).Palette(kPalette).Pixels(
               {3, 1, 1, 2, 0, 0, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 1, 0, 2, 3, 0, 1}))},
      {"rle4.dib",
       dib_builder::InfoDib(
           Info().Width(5).Height(2).BitCount(4).Compression(2).Palette(kPalette).Pixels(
               {5, 0x12, 0, 0, 0, 3, 0x34, 0x10, 2, 0x44, 0, 1}))},
      {"core8.dib", dib_builder::CoreDib(2, 1, 8, kPalette, {4, 3, 0, 0})},
      {"core24.dib", dib_builder::CoreDib(1, 2, 24, {}, {0, 0, 0xFF, 0, 0xFF, 0, 0, 0})},
  };
}

Bytes GenericArchive() {
  using archive::Value;
  archive::Object root;
  root.className = "TWaveCollectionComponent";
  root.objectName = "WaveList1";
  Value wide;
  wide.tag = archive::ValueTag::WString;
  wide.wide = u"w\u00e9";
  Value list;
  list.tag = archive::ValueTag::List;
  list.list = {Value::Integer(1), Value::Integer(-300), Value::Integer(100000), Value::Text("t")};
  archive::CollectionItem item;
  item.index = Value::Integer(0);
  item.properties = {
      {"Name", Value::Text("herodie")},
      {"Looped", Value::Identifier("False")},
      {"MaxPlayingCount", Value::Integer(2)},
      {"Wave.WAVE", Value::Bytes({'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'})},
      {"Title", wide},
      {"Values", list}};
  root.properties = {{"List", Value::Collection({item})}};
  archive::Object child;
  child.hasPrefix = true;
  child.prefixFlags = 2;
  child.childPosition = Value::Integer(1);
  child.className = "TChild";
  root.children = {child};
  return archive::WriteArchive(root);
}

// "config.dat" as the game writes it (defaults; settings and scores of a player), cut short,
// with more bytes after the record, and with lengths and flags no writer of the game makes.
std::vector<std::pair<std::string, Bytes>> ConfigFiles() {
  const auto stored = [](const ConfigRecord& record) {
    ConfigBytes bytes = PackConfig(record);
    EncodeConfig(bytes);
    return Bytes(bytes.begin(), bytes.end());
  };
  ConfigRecord defaults;
  SetDefaultConfig(defaults);
  ConfigRecord played = defaults;
  played.WindowedMode = 0;
  played.SoundOn = 0;
  played.BossKey = 0x50;
  played.PlayerCountry.SetText("Norway");
  played.ScoreTable[0].Name.SetText("Ragnhild");
  played.ScoreTable[0].Score = 65535;
  Bytes odd = stored(defaults);
  odd[0] = 0x7F;
  odd[6] = 200;
  odd[18] = 11;
  Bytes longer = stored(played);
  longer.resize(200, 0xEE);
  Bytes shorter = stored(defaults);
  shorter.resize(100);
  return {{"default.dat", stored(defaults)},
          {"played.dat", stored(played)},
          {"odd.dat", odd},
          {"longer.dat", longer},
          {"shorter.dat", shorter}};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path corpus(argv[1]);
  for (const auto& [name, bytes] : Dibs()) Save(corpus / "dib", name, bytes);

  Save(corpus / "bitmap", "24bit.bmp", EncodeBitmapFile(Gradient(4, 4)));
  Save(corpus / "bitmap", "32bit.bmp", EncodeBitmapFile(Gradient(3, 2), 32));
  Save(corpus / "bitmap", "8bit_gap.bmp",
       dib_builder::BitmapFile(
           Info().Width(2).Height(1).BitCount(8).Palette(kPalette).Pixels({2, 1, 0, 0}), 6));
  Save(corpus / "bitmap", "rle8.bmp",
       dib_builder::BitmapFile(
           Info().Width(4).Height(2).BitCount(8).Compression(1).Palette(kPalette).Pixels(
               {4, 2, 0, 0, 0, 4, 1, 2, 3, 4, 0, 1})));

  ImageArchiveItem sky;
  sky.Name = "sky";
  sky.Picture = Gradient(8, 4);
  ImageArchiveItem frames;
  frames.Name = "Life";
  frames.Picture = Gradient(12, 4);
  frames.PatternWidth = 3;
  frames.PatternHeight = 4;
  frames.SkipWidth = 1;
  frames.TransparentColor = 0xFF00FF;
  frames.PictureFormat = ImageArchiveItem::Format::Bitmap;
  ImageArchiveItem empty;
  empty.Name = "empty";
  empty.Transparent = false;
  empty.SystemMemory = true;
  empty.TransparentColor = 0x123456;
  Save(corpus / "container", "images.dxg", WriteImageArchive({sky, frames, empty}));
  Save(corpus / "container", "generic.dxw", GenericArchive());

  for (const auto& [name, bytes] : sound_seeds::Waves()) Save(corpus / "wave", name, bytes);
  for (const auto& [name, bytes] : sound_seeds::Archives()) {
    Save(corpus / "wave_archive", name, bytes);
  }
  for (const auto& [name, bytes] : ConfigFiles()) Save(corpus / "config", name, bytes);
  return 0;
}
