#include "settings/game_folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <system_error>

#include "engine/base/paths.h"

namespace {

// Every copy of the game has its menu archive; its presence tells a data folder.
constexpr const char* DataMarker = "data\\menu.dxg";
constexpr const char* InstalledDataFolder = "../share/skarvel";
constexpr const char* GameFolderName = "skarvel";

bool Set(const char* value) {
  return value != nullptr && *value != 0;
}

// The user's home: $HOME, else the password database's entry.
std::filesystem::path HomeFolder(const UserEnvironment& environment) {
  if (Set(environment.home)) return environment.home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && Set(entry->pw_dir)) {
    return entry->pw_dir;
  }
  return {};
}

std::filesystem::path UserDataFolder(const UserEnvironment& environment) {
  // Relative values are invalid for XDG base folders and are ignored.
  if (Set(environment.xdgDataHome) && environment.xdgDataHome[0] == '/') {
    return environment.xdgDataHome;
  }
  const std::filesystem::path home = HomeFolder(environment);
  if (home.empty()) return {};
  return home / ".local" / "share";
}

// Creates the missing folders of `path` one by one, readable only by the user, as the base
// folder convention asks for a data folder that did not exist.
void MakePrivateFolders(const std::filesystem::path& path) {
  std::filesystem::path partial;
  for (const std::filesystem::path& part : path) {
    partial /= part;
    if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return;
  }
}

bool Writable(const std::filesystem::path& folder) {
  return !folder.empty() && ::access(folder.c_str(), W_OK) == 0;
}

}  // namespace

std::filesystem::path ProgramFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return program.parent_path();
}

std::optional<std::filesystem::path> FindDataFolder(const std::filesystem::path& programFolder) {
  if (GameFileExists(DataMarker, programFolder)) return programFolder;
  const std::filesystem::path installed = (programFolder / InstalledDataFolder).lexically_normal();
  if (GameFileExists(DataMarker, installed)) return installed;
  return std::nullopt;
}

UserEnvironment CurrentUserEnvironment() {
  return {std::getenv("XDG_DATA_HOME"), std::getenv("HOME")};
}

std::filesystem::path ChooseConfigFolder(const std::filesystem::path& programFolder,
                                         const std::filesystem::path& dataFolder,
                                         const UserEnvironment& environment) {
  if (dataFolder == programFolder && Writable(programFolder)) return programFolder;
  const std::filesystem::path base = UserDataFolder(environment);
  // No home at all: stay beside the program, where saving says why it cannot.
  if (base.empty()) return programFolder;
  const std::filesystem::path folder = base / GameFolderName;
  MakePrivateFolders(folder);
  return folder;
}

GameFolders LocateGameFolders() {
  std::filesystem::path program = ProgramFolder();
  if (program.empty()) program = std::filesystem::current_path();
  const std::optional<std::filesystem::path> data = FindDataFolder(program);
  if (!data) {
    throw std::runtime_error("The game's files (data/menu.dxg) are neither beside the program in " +
                             program.string() + " nor in " +
                             (program / InstalledDataFolder).lexically_normal().string());
  }
  return {*data, ChooseConfigFolder(program, *data, CurrentUserEnvironment())};
}
