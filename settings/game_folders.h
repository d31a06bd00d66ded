// Where the game finds its pictures, sounds, music and font, and where it keeps "config.dat".
// A build tree or a portable copy keeps everything beside the program; an installed game reads
// its files from the prefix's share/skarvel and keeps the settings in the user's data folder,
// because the program's own folder belongs to the system there.
#pragma once

#include <filesystem>
#include <optional>

struct GameFolders {
  // The folder the game's file names ("data\menu.dxg", "sound\1.xm", "data/fonts") are under.
  std::filesystem::path data = ".";
  // The folder "config.dat" lives in.
  std::filesystem::path config = ".";
};

// The folder of the running program itself (not the working folder), or empty when the system
// does not tell it.
std::filesystem::path ProgramFolder();

// The game's data folder for a program in `programFolder`: that folder itself when it holds the
// game's files, else "../share/skarvel" from it (the installed layout, whatever the prefix).
// Nothing when neither holds them.
std::optional<std::filesystem::path> FindDataFolder(const std::filesystem::path& programFolder);

// The user's environment as far as it decides where settings go (null for an unset variable).
struct UserEnvironment {
  const char* xdgDataHome = nullptr;
  const char* home = nullptr;
};
UserEnvironment CurrentUserEnvironment();

// The folder for "config.dat": the program's folder when the game's files are beside it and this
// user may write there (nothing changes for a build tree or a portable copy); otherwise "skarvel"
// in the user's data folder, $XDG_DATA_HOME, or ~/.local/share when that is unset or not an
// absolute path. An installed program never writes beside itself, even when run by root. The
// user's folder is created (private to the user) when missing; when it cannot be, it is still
// returned, so that saving reports why.
std::filesystem::path ChooseConfigFolder(const std::filesystem::path& programFolder,
                                         const std::filesystem::path& dataFolder,
                                         const UserEnvironment& environment);

// Both choices for the running program; falls back to the working folder when the program's own
// folder is unknown. Throws std::runtime_error naming both places when the game's files are in
// neither.
GameFolders LocateGameFolders();
