// What telling the changed rows of a frame costs on the window's path: comparing each row with a
// copy of the picture shown last (as when the frame was drawn in a buffer of its own and copied
// onto the window's picture) against fingerprinting each row of the picture drawn in place. Both
// for a still picture (the menu between changes) and for one whose every row changed (playing).
// Needs no display: ./row_fingerprint_bench
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/platform/sdl/row_fingerprints.h"

namespace {

constexpr int Width = 800;
constexpr int Height = 600;
constexpr size_t RowBytes = Width * sizeof(uint32_t);

std::vector<uint32_t> Picture() {
  std::vector<uint32_t> picture(static_cast<size_t>(Width) * Height);
  for (size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<uint32_t>(i * 2654435761u);
  return picture;
}

// Changes one pixel in every row, so that every row is sent.
void ChangeEveryRow(std::vector<uint32_t>& picture, uint32_t frame) {
  for (int y = 0; y < Height; ++y) picture[static_cast<size_t>(y) * Width + frame % Width] ^= 1;
}

// The own buffer's way: each row compared with the window's picture, copied there when it differs.
void CompareWithShown(benchmark::State& state, bool changing) {
  std::vector<uint32_t> drawn = Picture();
  std::vector<uint32_t> shown = drawn;
  uint32_t frame = 0;
  for (auto _ : state) {
    if (changing) ChangeEveryRow(drawn, ++frame);
    int sent = 0;
    for (int y = 0; y < Height; ++y) {
      const size_t at = static_cast<size_t>(y) * Width;
      if (std::memcmp(shown.data() + at, drawn.data() + at, RowBytes) != 0) {
        std::memcpy(shown.data() + at, drawn.data() + at, RowBytes);
        ++sent;
      }
    }
    benchmark::DoNotOptimize(sent);
  }
}

// The window's picture drawn in place: each row fingerprinted, nothing copied.
void FingerprintInPlace(benchmark::State& state, bool changing) {
  std::vector<uint32_t> drawn = Picture();
  std::vector<uint64_t> fingerprints(Height);
  auto* self = reinterpret_cast<uint8_t*>(drawn.data());
  platform::sdl::UpdateRowFingerprints(fingerprints, drawn.data(), Width, true, self, RowBytes);
  uint32_t frame = 0;
  for (auto _ : state) {
    if (changing) ChangeEveryRow(drawn, ++frame);
    const platform::sdl::RowBand band = platform::sdl::UpdateRowFingerprints(
        fingerprints, drawn.data(), Width, false, self, RowBytes);
    benchmark::DoNotOptimize(band);
  }
}

void BM_StillCompared(benchmark::State& state) {
  CompareWithShown(state, false);
}
void BM_StillFingerprinted(benchmark::State& state) {
  FingerprintInPlace(state, false);
}
void BM_ChangingComparedAndCopied(benchmark::State& state) {
  CompareWithShown(state, true);
}
void BM_ChangingFingerprinted(benchmark::State& state) {
  FingerprintInPlace(state, true);
}
BENCHMARK(BM_StillCompared)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_StillFingerprinted)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_ChangingComparedAndCopied)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_ChangingFingerprinted)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
