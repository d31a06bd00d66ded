// The program entry: the real machine, the main window, its message loop, then the exit step.
#include <cstdio>
#include <exception>
#include <memory>
#include <utility>

#include "engine/base/paths.h"
#include "engine/platform/sdl/sdl_platform.h"
#include "settings/game_folders.h"
#include "shell/main_form.h"

int main() {
  std::unique_ptr<platform::sdl::SdlPlatform> platform;
  std::unique_ptr<TmainForm> form;
  try {
    // The game's files are found from where the program lies, so it starts from any folder.
    GameFolders folders = LocateGameFolders();
    platform = platform::sdl::CreateSdlPlatform(ResolvePath("data/fonts", folders.data));
    // Without its icon the game still plays, under the desktop's default one.
    platform->SetWindowIcon(ResolvePath("data/icon.bmp", folders.data));
    form = std::make_unique<TmainForm>(*platform, std::move(folders));
  } catch (const std::exception& error) {
    // The terminal always says why; a window that did open says it too (a missing data file).
    std::fprintf(stderr, "skarvel: %s\n", error.what());
    if (platform) platform->window().MessageBox(error.what());
    return 1;
  }
  form->Run();
  if (!form->FatalError().empty()) {
    // The window said it already; the terminal and the exit status say it too.
    std::fprintf(stderr, "skarvel: %s\n", form->FatalError().c_str());
    return 1;
  }
  form->ExitStep();
  return 0;
}
