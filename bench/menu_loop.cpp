// The real game's menu loop in its window for a number of seconds (default 10): prints the CPU it
// used, the spread of its tick intervals and the frame rate. Run it in the game's folder, under a
// desktop or Xvfb; bench/menu_cpu.sh does both.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <vector>

#include "engine/platform/sdl/sdl_platform.h"
#include "shell/main_form.h"

namespace {

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  const size_t at = std::min(values.size() - 1, static_cast<size_t>(p * (values.size() - 1) + 0.5));
  return values[at];
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  try {
    auto machine = platform::sdl::CreateSdlPlatform("data/fonts");
    TmainForm form(*machine);
    using Clock = std::chrono::steady_clock;
    std::vector<Clock::time_point> ticks;
    ticks.reserve(static_cast<size_t>(seconds * 70));
    auto menuFrame = form.FrameTimer1.OnTimer;
    const Clock::time_point start = Clock::now();
    const double cpuStart = CpuSeconds();
    form.FrameTimer1.OnTimer = [&](int32_t lagCount) {
      ticks.push_back(Clock::now());
      menuFrame(lagCount);
      if (std::chrono::duration<double>(ticks.back() - start).count() >= seconds) {
        form.Application.Terminate();
      }
    };
    form.Run();
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = CpuSeconds() - cpuStart;

    std::vector<double> intervals;
    for (size_t i = 1; i < ticks.size(); ++i) {
      intervals.push_back(
          std::chrono::duration<double, std::milli>(ticks[i] - ticks[i - 1]).count());
    }
    if (intervals.empty()) {
      std::fprintf(stderr, "no ticks\n");
      return 1;
    }
    std::printf("menu loop: %.1f s, %zu ticks (%.1f per second), presenting path: %.*s\n", wall,
                ticks.size(), ticks.size() / wall, static_cast<int>(machine->PresentPath().size()),
                machine->PresentPath().data());
    std::printf("cpu: %.2f s = %.1f%% of one core\n", cpu, 100.0 * cpu / wall);
    std::printf("tick interval ms: median %.2f, 5%% %.2f, 95%% %.2f, max %.2f\n",
                Percentile(intervals, 0.5), Percentile(intervals, 0.05),
                Percentile(intervals, 0.95), Percentile(intervals, 1.0));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "menu_loop: %s\n", error.what());
    return 1;
  }
  return 0;
}
