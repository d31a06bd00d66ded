// The player's recordings of their games: "replays/" beside "config.dat", holding the last
// KeptRecentGames games and the games of the local table's entries, each named by when it ended
// and its score ("2026-12-11_00-12-03_score-004210.skr").
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

constexpr size_t KeptRecentGames = 20;
constexpr const char* ReplayFolderName = "replays";
constexpr const char* ReplayFileExtension = ".skr";

// The file name of a game that ended at `when` (local time) with `score`.
std::string ReplayFileName(const std::tm& when, uint32_t score);
// The score a recording's file name carries, or -1 for a name of another kind.
int64_t ReplayFileScore(const std::string& fileName);

// Writes the recording into `folder` (created when missing), then removes the recordings that are
// neither among the KeptRecentGames newest nor the newest game of a score in `tableScores` (one
// file per table entry). Returns why it failed, empty on success; a failure removes nothing.
std::string KeepGameRecording(const std::filesystem::path& folder,
                              std::span<const uint8_t> recording, const std::tm& when,
                              uint32_t score, std::span<const uint16_t> tableScores);
