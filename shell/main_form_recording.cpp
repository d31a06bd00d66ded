// The end of a recorded game: the recording closed with its score, kept for the upload and in the
// player's replays/ folder.
#include <cstdio>
#include <ctime>
#include <vector>

#include "settings/replay_folder.h"
#include "shell/main_form.h"

std::filesystem::path TmainForm::ReplayFolder() const {
  return ConfigFilePath().parent_path() / ReplayFolderName;
}

void TmainForm::FinishRecording() {
  const std::vector<uint8_t>& bytes = Recording.Finish(World, Play.Score);
  if (bytes.empty()) return;
  // A recording that cannot be kept costs the player nothing but the file: the game goes on.
  std::vector<uint16_t> tableScores;
  for (const ScoreEntry& entry : Config.ScoreTable) tableScores.push_back(entry.Score);
  const std::time_t now = std::time(nullptr);
  std::tm when{};
  localtime_r(&now, &when);
  const std::string error = KeepGameRecording(ReplayFolder(), bytes, when, Play.Score, tableScores);
  if (!error.empty())
    std::fprintf(stderr, "skarvel: the game's recording is not kept: %s\n", error.c_str());
}
