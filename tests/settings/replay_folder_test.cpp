// The player's replays/ folder keeps the last 20 games and the games of the local table.
#include "settings/replay_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

std::tm Minute(int n) {
  std::tm when{};
  when.tm_year = 126;
  when.tm_mon = 11;
  when.tm_mday = 11;
  when.tm_hour = n / 60;
  when.tm_min = n % 60;
  return when;
}

std::set<std::string> Files(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

TEST(ReplayFolder, NamesSayWhenAndWhatScore) {
  EXPECT_EQ(ReplayFileName(Minute(12), 4210), "2026-12-11_00-12-00_score-004210.skr");
  EXPECT_EQ(ReplayFileScore("2026-12-11_00-12-00_score-004210.skr"), 4210);
  EXPECT_EQ(ReplayFileScore("2026-12-11_00-12-00-2_score-000007.skr"), 7);
  for (const char* other : {"config.dat", "notes_score-12.txt", "x_score-.skr", "x_score-1a.skr"}) {
    EXPECT_EQ(ReplayFileScore(other), -1) << other;
  }
}

TEST(ReplayFolder, KeepsTheLastTwentyGamesAndTheGamesOfTheTable) {
  TempDir dir;
  const std::filesystem::path folder = dir.path() / "replays";
  const std::vector<uint8_t> bytes = {1, 2, 3};
  // The table's scores: two games of old (minutes 1 and 2) and one of a score played twice, whose
  // newer game is kept; a 0 in the table keeps nothing.
  const std::vector<uint16_t> table = {900, 800, 700, 0, 0, 0, 0, 0, 0, 0};
  const std::vector<std::pair<int, uint32_t>> games = {{1, 900}, {2, 800}, {3, 700}, {4, 700}};
  for (const auto& [minute, score] : games) {
    ASSERT_EQ(KeepGameRecording(folder, bytes, Minute(minute), score, table), "");
  }
  for (int minute = 10; minute < 40; ++minute) {
    ASSERT_EQ(
        KeepGameRecording(folder, bytes, Minute(minute), static_cast<uint32_t>(minute), table), "");
  }
  // A second game in the same second keeps both.
  ASSERT_EQ(KeepGameRecording(folder, bytes, Minute(39), 39, table), "");
  std::set<std::string> kept = Files(folder);
  EXPECT_EQ(kept.size(), KeptRecentGames + 3);
  EXPECT_TRUE(kept.count(ReplayFileName(Minute(1), 900)));
  EXPECT_TRUE(kept.count(ReplayFileName(Minute(2), 800)));
  EXPECT_TRUE(kept.count(ReplayFileName(Minute(4), 700)));
  EXPECT_FALSE(kept.count(ReplayFileName(Minute(3), 700)));
  EXPECT_TRUE(kept.count("2026-12-11_00-39-00-2_score-000039.skr"));
  // The twenty newest: the two of minute 39, then back to minute 21.
  EXPECT_FALSE(kept.count(ReplayFileName(Minute(20), 20)));
  EXPECT_TRUE(kept.count(ReplayFileName(Minute(21), 21)));
}

TEST(ReplayFolder, AFolderThatCannotBeMadeIsReportedNotThrown) {
  TempDir dir;
  const std::filesystem::path blocker = dir.path() / "file";
  std::ofstream(blocker) << "x";
  const std::vector<uint8_t> bytes = {1};
  const std::vector<uint16_t> table(10, 0);
  EXPECT_NE(KeepGameRecording(blocker / "replays", bytes, Minute(1), 1, table), "");
}

}  // namespace
