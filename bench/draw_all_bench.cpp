// DrawAll of a heavy game frame on the 800 x 600 back buffer: clearing it, the 800 x 532 sky,
// three 800-wide mountain strips with their twins (scrolled so that both halves show), and 100
// colour-keyed 64 x 64 sprites. Pictures come through the image archive as in the game.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/drawing/draw_surface.h"
#include "engine/pictures/image_archive.h"
#include "engine/pictures/image_list.h"
#include "engine/platform/headless/headless_platform.h"
#include "engine/sprites/image_sprite.h"
#include "engine/sprites/sprite_engine_component.h"

namespace {

constexpr uint32_t kKey = 0xFF00FF;  // clFuchsia as a pixel

TPicture Sky() {
  TPicture sky(800, 532);
  for (int y = 0; y < sky.Height; ++y) {
    for (int x = 0; x < sky.Width; ++x) {
      sky.Pixel(x, y) = static_cast<uint32_t>(0x200000 + (y / 4) * 0x010100 + (x & 7));
    }
  }
  return sky;
}

// A mountain ridge: key colour above a zigzag line, rock below.
TPicture Strip(int height, int teeth) {
  TPicture strip(800, height);
  for (int x = 0; x < 800; ++x) {
    const int phase = (x * teeth) % 800;
    const int ridge = (phase < 400 ? phase : 800 - phase) * height / 500;
    for (int y = 0; y < height; ++y) {
      strip.Pixel(x, y) =
          y < height - ridge - height / 5 ? kKey : 0x505060 + static_cast<uint32_t>(y);
    }
  }
  return strip;
}

// A round creature: key colour outside a circle (about a fifth of the pattern).
TPicture Creature() {
  TPicture picture(64, 64);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const int dx = x - 32;
      const int dy = y - 32;
      picture.Pixel(x, y) =
          dx * dx + dy * dy < 32 * 32 ? 0x30A030 + static_cast<uint32_t>(x) : kKey;
    }
  }
  return picture;
}

ImageArchiveItem Item(const char* name, TPicture picture) {
  ImageArchiveItem item;
  item.Name = name;
  item.Picture = std::move(picture);
  item.PatternWidth = item.Picture.Width;
  item.PatternHeight = item.Picture.Height;
  item.TransparentColor = 0xFF00FF;  // clFuchsia
  return item;
}

void BM_DrawAllHeavyFrame(benchmark::State& state) {
  platform::headless::HeadlessPlatform machine(SKARVEL_FONT_DIR);
  TDrawSurface surface(machine.windowImpl, machine.text());
  TSpriteEngineComponent sprites;
  TImageList images;
  sprites.SetDrawSurface(&surface);
  images.SetDrawSurface(&surface);
  surface.StartUp();
  images.LoadFromBytes(WriteImageArchive(
      {Item("sky", Sky()), Item("far", Strip(220, 3)), Item("middle", Strip(160, 5)),
       Item("near", Strip(110, 7)), Item("creature", Creature())}));
  TSpriteEngine& engine = sprites.Root();
  const auto add = [&](const char* name, int x, int y, int z) {
    TImageSprite& sprite = NewSprite<TImageSprite>(engine);
    sprite.Image = &images.Items.Find(name);
    sprite.Width = sprite.Image->Width();
    sprite.Height = sprite.Image->Height();
    sprite.X = x;
    sprite.Y = y;
    sprite.SetZ(z);
  };
  add("sky", 0, 0, 0);
  const struct {
    const char* name;
    int y, scroll;
  } strips[] = {{"far", 312, 137}, {"middle", 372, 411}, {"near", 422, 655}};
  int z = 1;
  for (const auto& strip : strips) {
    add(strip.name, -strip.scroll, strip.y, z);
    add(strip.name, 800 - strip.scroll, strip.y, z);  // the twin that fills the gap
    ++z;
  }
  for (int i = 0; i < 100; ++i) add("creature", (i * 97) % 760, (i * 53) % 560, 10);

  TSurface& back = *surface.BackBuffer();
  for (auto _ : state) {
    back.Fill(0);
    sprites.DrawAll();
    benchmark::DoNotOptimize(back.Pixels());
    benchmark::ClobberMemory();
  }
  state.counters["sprites_drawn"] = engine.DrawnCount();
}
BENCHMARK(BM_DrawAllHeavyFrame)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
