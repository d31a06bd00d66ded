// The program entry: the real machine, the main window, its message loop, then the exit step.
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/base/paths.h"
#include "engine/platform/sdl/sdl_platform.h"
#include "protocol/replay_format.h"
#include "settings/game_folders.h"
#include "shell/main_form.h"

namespace {

// The recording named on the command line, read and checked; ReplayFormatError or a file error
// says why it cannot be played.
replay::Replay ReadRecording(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(std::string("cannot open the recording ") + path);
  // One byte beyond the cap is enough to know that it is too large.
  std::vector<uint8_t> bytes(replay::MaxReplayBytes + 1);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return replay::DecodeReplay(bytes);
}

// Says it on the terminal, and in a window when one is open.
int Fail(platform::sdl::SdlPlatform* platform, const std::string& message) {
  std::fprintf(stderr, "skarvel: %s\n", message.c_str());
  if (platform) platform->window().MessageBox(message);
  return 1;
}

}  // namespace

// `skarvel` plays; `skarvel --replay FILE` plays a recorded game back.
int main(int argc, char** argv) {
  const bool replaying = argc >= 2 && std::strcmp(argv[1], "--replay") == 0;
  if (replaying && argc != 3) {
    std::fprintf(stderr, "usage: skarvel [--replay FILE]\n");
    return 2;
  }
  std::unique_ptr<platform::sdl::SdlPlatform> platform;
  std::unique_ptr<TmainForm> form;
  try {
    // The game's files are found from where the program lies, so it starts from any folder.
    GameFolders folders = LocateGameFolders();
    platform = platform::sdl::CreateSdlPlatform(ResolvePath("data/fonts", folders.data));
    // Without its icon the game still plays, under the desktop's default one.
    platform->SetWindowIcon(ResolvePath("data/icon.bmp", folders.data));
    form = std::make_unique<TmainForm>(*platform, std::move(folders));
    // The main menu's first frame draws no text, so the text library and its faces are readied
    // only now; a missing one is told before the game goes on.
    platform->text().Prepare();
  } catch (const std::exception& error) {
    // The terminal always says why; a window that did open says it too (a missing data file).
    std::fprintf(stderr, "skarvel: %s\n", error.what());
    if (platform) platform->window().MessageBox(error.what());
    return 1;
  }
  if (replaying) {
    try {
      const std::string refusal = form->StartReplay(ReadRecording(argv[2]));
      if (!refusal.empty()) return Fail(platform.get(), refusal);
    } catch (const std::exception& error) {
      return Fail(platform.get(), std::string(argv[2]) + ": " + error.what());
    }
  }
  form->Run();
  if (!form->FatalError().empty()) {
    // The window said it already; the terminal and the exit status say it too.
    std::fprintf(stderr, "skarvel: %s\n", form->FatalError().c_str());
    return 1;
  }
  if (!replaying) form->ExitStep();
  return 0;
}
