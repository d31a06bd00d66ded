// The settings file: read at start-up, written whenever a saved setting changes.
#include <string>
#include <system_error>

#include "engine/base/paths.h"
#include "settings/config_file.h"
#include "shell/main_form.h"

namespace {
constexpr const char* ConfigFileName = "config.dat";
}  // namespace

void TmainForm::LoadConfig() {
  const std::filesystem::path path = ConfigFilePath();
  std::string readFailure;
  if (std::optional<ConfigRecord> record = ReadConfigFile(path, &readFailure)) {
    Config = *record;
    return;
  }
  SetDefaultConfig(Config);
  // A file that holds something but not a whole record may be a player's settings and scores cut
  // short: it is put aside before the defaults take its place, never thrown away.
  std::error_code error;
  const uintmax_t size =
      std::filesystem::is_regular_file(path, error) ? std::filesystem::file_size(path, error) : 0;
  if (!readFailure.empty() || (!error && size > 0)) {
    // A whole record the player may not read is not one of the wrong size: the system says why.
    const std::string why = !readFailure.empty()
                                ? readFailure
                                : "it holds " + std::to_string(size) + " bytes instead of " +
                                      std::to_string(ConfigRecordSize);
    // Message boxes do not wrap: one short line each, the paths on lines of their own.
    const std::string unreadable =
        "The settings file " + path.string() + "\ncould not be read: " + why + ".\n";
    const std::filesystem::path backup = ConfigBackupPath(path);
    const std::string failure = KeepUnreadableConfig(path);
    if (!failure.empty()) {
      // The file stays as it is; the defaults live in memory until a setting is saved.
      ShowError((unreadable + "It could not be kept as " + backup.filename().string() + ": " +
                 failure + ".\nThe default settings are used.")
                    .c_str());
      return;
    }
    ShowError((unreadable + "It was kept as\n" + backup.string() +
               "\nand the default settings were written.")
                  .c_str());
  }
  // Missing, or put aside: the defaults, written anew.
  SaveConfig();
}

void TmainForm::SaveConfig() {
  const std::string error = WriteConfigFile(ConfigFilePath(), Config);
  if (!error.empty()) ShowError(("The settings cannot be saved in config.dat: " + error).c_str());
}

std::filesystem::path TmainForm::ConfigFilePath() const {
  return ResolvePath(ConfigFileName, folders_.config);
}

void TmainForm::UpdateBossKeyName() {
  BossKeyName = ::BossKeyName(Config.BossKey);
}
