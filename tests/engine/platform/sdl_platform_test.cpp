#include "engine/platform/sdl/sdl_platform.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include "engine/base/exception.h"
#include "engine/platform/audio_output.h"
#include "engine/platform/sdl/sdl_presenter.h"
#include "tests/support/temp_dir.h"

namespace {

// Sets an environment variable for one test and puts back what was there.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(SdlPlatform, WithoutADisplayStartUpFailsWithTheReason) {
  ScopedEnv driver("SDL_VIDEODRIVER", "no-such-display");
  try {
    platform::sdl::CreateSdlPlatform(SKARVEL_FONT_DIR);
    FAIL() << "a platform without a display";
  } catch (const EPlatformError& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find("display"), std::string::npos) << message;
    EXPECT_NE(message.find("no-such-display"), std::string::npos) << message;  // SDL's reason
  }
  EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
}

TEST(SdlPlatform, WithoutADesktopStartUpFailsInsteadOfOpeningAnInvisibleWindow) {
  // Nothing asked for and nothing to be had: SDL itself would settle for off-screen windows.
  ScopedEnv driver("SDL_VIDEODRIVER", "");
  ScopedEnv x11("DISPLAY", "");
  ScopedEnv wayland("WAYLAND_DISPLAY", "");
  ScopedEnv runtime("XDG_RUNTIME_DIR", "");
  try {
    platform::sdl::CreateSdlPlatform(SKARVEL_FONT_DIR);
    FAIL() << "a platform without a display";
  } catch (const EPlatformError& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find("display"), std::string::npos) << message;
  }
  EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
}

TEST(SdlPlatform, RunsSilentlyWithoutASoundDevice) {
  {
    ScopedEnv driver("SDL_AUDIODRIVER", "no-such-sound");
    auto platform = platform::sdl::CreateSdlPlatform(SKARVEL_FONT_DIR);
    EXPECT_FALSE(platform->AudioOpen());
    EXPECT_EQ(platform->music().SongLoadFromFile("no/such/song.xm"), 0u);
  }
  EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
  auto platform = platform::sdl::CreateSdlPlatform(SKARVEL_FONT_DIR);
  EXPECT_TRUE(platform->AudioOpen());  // the dummy device of the tests
}

// The sound device, and the mixer library with it, wait for the sound effects to be readied: the
// first frame comes before.
TEST(SdlPlatform, OpensTheSoundDeviceWhenTheSoundsAreReadied) {
  auto platform = platform::sdl::CreateSdlPlatform(SKARVEL_FONT_DIR);
  EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
  ASSERT_TRUE(platform->sound().Open());
  EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);
  EXPECT_TRUE(platform->AudioOpen());
  platform->sound().Close();
}

// The faces are opened when text is readied, after the first frame: the failure comes there, and
// the platform taken down then leaves nothing of SDL behind.
TEST(SdlPlatform, AMissingFontEndsStartUpCleanly) {
  TempDir empty;
  auto platform = platform::sdl::CreateSdlPlatform(empty.path());
  EXPECT_THROW(platform->text().Prepare(), EPlatformError);
  platform.reset();
  EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
}

TEST(SdlPlatform, ClockCountsMilliseconds) {
  auto platform = platform::sdl::CreateSdlPlatform(SKARVEL_FONT_DIR);
  const uint32_t before = platform->clock().Milliseconds();
  SDL_Delay(20);
  const uint32_t elapsed = platform->clock().Milliseconds() - before;
  EXPECT_GE(elapsed, 20u);
}

TEST(SdlPresenter, OpenGlDoneOnTheProcessorIsTold) {
  struct Case {
    const char* renderer;
    bool emulated;
  };
  const Case cases[] = {
      {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
      {"softpipe", true},
      {"Software Rasterizer", true},
      {"", true},  // no OpenGL at all
      {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
      {"NVIDIA GeForce GTX 1060 6GB/PCIe/SSE2", false},
      {"AMD Radeon RX 580 Series (polaris10, LLVM 15.0.6, DRM 3.49)", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::sdl::OpenGlIsEmulated(c.renderer), c.emulated) << c.renderer;
  }
}

TEST(SdlShell, OpensWithTheDesktopsOpenerAndLeavesNoProcessBehind) {
  TempDir dir;
  const auto opener = dir.path() / "xdg-open";
  const auto record = dir.path() / "opened.txt";
  std::ofstream(opener) << "#!/bin/sh\nprintf '%s' \"$1\" > \"" << record.string() << ".tmp\"\n"
                        << "mv \"" << record.string() << ".tmp\" \"" << record.string() << "\"\n";
  std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
  const char* path = std::getenv("PATH");
  ScopedEnv searchPath("PATH", dir.path().string() + ":" + (path ? path : "/usr/bin:/bin"));

  auto platform = platform::sdl::CreateSdlPlatform(SKARVEL_FONT_DIR);
  platform->shell().Open("play.url");
  // Open returns at once; the opener runs on its own and finishes when it will.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!std::filesystem::exists(record) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::ifstream opened(record);
  std::string target;
  std::getline(opened, target);
  EXPECT_EQ(target, "play.url");
  // No child of the game is left to be reaped.
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

}  // namespace
