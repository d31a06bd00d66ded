// The settings file: read at start-up, written whenever a saved setting changes.
#include "engine/paths.h"
#include "shell/config_file.h"
#include "shell/main_form.h"

namespace {
constexpr const char* ConfigFileName = "config.dat";
}  // namespace

void TmainForm::LoadConfig() {
  const std::filesystem::path path = ResolvePath(ConfigFileName);
  if (std::optional<ConfigRecord> record = ReadConfigFile(path)) {
    Config = *record;
    return;
  }
  // Missing, unreadable or short: the defaults, written anew.
  SetDefaultConfig(Config);
  SaveConfig();
}

void TmainForm::SaveConfig() {
  const std::string error = WriteConfigFile(ResolvePath(ConfigFileName), Config);
  if (!error.empty()) ShowError(("The settings cannot be saved in config.dat: " + error).c_str());
}

void TmainForm::UpdateBossKeyName() {
  BossKeyName = ::BossKeyName(Config.BossKey);
}
