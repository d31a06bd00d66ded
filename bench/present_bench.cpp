// How long presenting one 800 x 600 frame takes on this machine, in the window and in full
// screen, and which renderer did it. Needs a display (e.g. Xvfb with a window manager):
//   DISPLAY=:99 ./present_bench                        the path the game would choose
//   DISPLAY=:99 SDL_RENDER_DRIVER=opengl ./present_bench  the OpenGL path for comparison
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/sdl/sdl_platform.h"

namespace {

std::unique_ptr<platform::sdl::SdlPlatform> thePlatform;

// A frame that changes every time, as the game's do.
void PresentFrames(benchmark::State& state, bool fullScreen) {
  platform::Platform& machine = *thePlatform;
  machine.window().SetFullScreen(fullScreen);
  std::vector<uint32_t> picture(800 * 600);
  uint32_t frame = 0;
  platform::Event event;
  for (auto _ : state) {
    for (size_t i = 0; i < picture.size(); i += 97) picture[i] = frame * 2654435761u + i;
    machine.window().Present(picture.data(), 800, 600);
    while (machine.events().Poll(event)) {
    }
    ++frame;
  }
  machine.window().SetFullScreen(false);
  state.SetLabel(std::string(thePlatform->PresentPath()));
}

void BM_PresentWindow(benchmark::State& state) {
  PresentFrames(state, false);
}
void BM_PresentFullScreen(benchmark::State& state) {
  PresentFrames(state, true);
}
BENCHMARK(BM_PresentWindow)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PresentFullScreen)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  try {
    thePlatform = platform::sdl::CreateSdlPlatform(SKARVEL_FONT_DIR);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "present_bench: %s\n", error.what());
    return 1;
  }
  std::printf("presenting path: %s\n", std::string(thePlatform->PresentPath()).c_str());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  thePlatform.reset();
  return 0;
}
