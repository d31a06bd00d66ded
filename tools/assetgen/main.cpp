// The asset generator: paints the game's pictures, synthesises its sounds and composes its two
// songs, and writes them into the game folder as the archives and modules the game loads.
//
//   skarvel_assetgen --manifest FILE [--out GAME_DIR] [--contact-sheet FILE.png]
//                    [--scene FILE.png] [--preview NAME FILE.png]
//   skarvel_assetgen --icons HICOLOR_DIR ICON_NAME [--window-icon FILE.bmp]
// Without --out only the asked-for PNGs are written. The icons need no manifest.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tools/assetgen/generate.h"
#include "tools/assetgen/icon.h"

namespace {

void Usage() {
  std::fprintf(stderr,
               "usage: skarvel_assetgen --manifest FILE [--out GAME_DIR] [--contact-sheet FILE.png]"
               " [--scene FILE.png] [--preview NAME FILE.png]\n"
               "       skarvel_assetgen --icons HICOLOR_DIR ICON_NAME [--window-icon FILE.bmp]\n");
}

}  // namespace

int main(int argc, char** argv) {
  assets::GenerateOptions options;
  std::filesystem::path iconDir;
  std::string iconName;
  std::filesystem::path windowIcon;
  std::vector<std::string_view> args(argv + 1, argv + argc);
  for (size_t i = 0; i < args.size(); ++i) {
    const auto next = [&](std::string_view flag) -> std::string {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "%s needs a value\n", std::string(flag).c_str());
        Usage();
        std::exit(2);
      }
      return std::string(args[++i]);
    };
    if (args[i] == "--manifest") {
      options.manifest = next(args[i]);
    } else if (args[i] == "--out") {
      options.gameDir = next(args[i]);
    } else if (args[i] == "--contact-sheet") {
      options.contactSheet = next(args[i]);
    } else if (args[i] == "--scene") {
      options.scene = next(args[i]);
    } else if (args[i] == "--icons") {
      iconDir = next(args[i]);
      iconName = next(args[i]);
    } else if (args[i] == "--window-icon") {
      windowIcon = next(args[i]);
    } else if (args[i] == "--preview") {
      options.previewName = next(args[i]);
      options.previewFile = next(args[i]);
    } else {
      std::fprintf(stderr, "unknown argument %s\n", std::string(args[i]).c_str());
      Usage();
      return 2;
    }
  }
  const bool nothingAsked = options.gameDir.empty() && options.previewName.empty() &&
                            options.contactSheet.empty() && options.scene.empty();
  const bool iconsAsked = !iconDir.empty() || !windowIcon.empty();
  if ((nothingAsked || options.manifest.empty()) && !(nothingAsked && iconsAsked)) {
    Usage();
    return 2;
  }
  try {
    const auto start = std::chrono::steady_clock::now();
    if (!iconDir.empty()) assets::WriteIconTheme(iconDir, iconName);
    if (!windowIcon.empty()) assets::WriteWindowIcon(windowIcon);
    if (!nothingAsked) assets::Generate(options);
    const auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    std::printf("assets generated in %.1f s\n", elapsed.count());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "skarvel_assetgen: %s\n", error.what());
    return 1;
  }
  return 0;
}
