// Loading a 5 MB picture archive (5.1 MB: a sky, three strips, nine sheets of frames) into the
// image list with the surface up (reading, decoding the DIBs, cutting the patterns): from memory,
// and from a file in the page cache.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "engine/drawing/draw_surface.h"
#include "engine/pictures/image_archive.h"
#include "engine/pictures/image_list.h"
#include "engine/platform/headless/headless_platform.h"

namespace {

TPicture Noise(int width, int height, uint32_t seed) {
  TPicture picture(width, height);
  uint32_t v = seed;
  for (uint32_t& pixel : picture.Pixels) {
    v = v * 1664525u + 1013904223u;
    pixel = v >> 8;
  }
  return picture;
}

// About the game archive's mix: a sky, scenery strips and sheets of animation frames, 24-bit DIBs.
std::vector<uint8_t> FiveMegabyteArchive() {
  std::vector<ImageArchiveItem> items;
  const auto add = [&](const char* name, int w, int h, int pw, int ph) {
    ImageArchiveItem item;
    item.Name = name;
    item.Picture = Noise(w, h, static_cast<uint32_t>(items.size()) + 1);
    item.PatternWidth = pw;
    item.PatternHeight = ph;
    item.TransparentColor = 0xFF00FF;
    items.push_back(std::move(item));
  };
  add("sky", 800, 532, 800, 532);
  add("far", 800, 220, 800, 220);
  add("middle", 800, 160, 800, 160);
  add("near", 800, 110, 800, 110);
  const char* sheets[] = {"hero",  "flyer",     "weaver", "archer", "catapult",
                          "shots", "explosion", "bonus",  "tree"};
  for (const char* sheet : sheets) add(sheet, 512, 192, 64, 64);
  return WriteImageArchive(items);
}

class LoadFixture {
 public:
  LoadFixture() : surface_(machine_.windowImpl, machine_.text()) {
    images.SetDrawSurface(&surface_);
    surface_.StartUp();
  }
  TImageList images;

 private:
  platform::headless::HeadlessPlatform machine_{SKARVEL_FONT_DIR};
  TDrawSurface surface_;
};

void BM_LoadImageArchiveFromMemory(benchmark::State& state) {
  const std::vector<uint8_t> bytes = FiveMegabyteArchive();
  LoadFixture fixture;
  for (auto _ : state) {
    fixture.images.LoadFromBytes(bytes);
    benchmark::DoNotOptimize(fixture.images.Items.Count());
  }
  state.counters["archive_MB"] = static_cast<double>(bytes.size()) / 1e6;
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_LoadImageArchiveFromMemory)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_LoadImageArchiveFromFile(benchmark::State& state) {
  const std::vector<uint8_t> bytes = FiveMegabyteArchive();
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "skarvel-bench-gamegraphic.dxg";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  LoadFixture fixture;
  for (auto _ : state) {
    fixture.images.LoadFromFile(path);
    benchmark::DoNotOptimize(fixture.images.Items.Count());
  }
  std::filesystem::remove(path);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_LoadImageArchiveFromFile)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
