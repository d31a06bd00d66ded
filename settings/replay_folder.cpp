#include "settings/replay_folder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace {
constexpr const char* ScoreMark = "_score-";
// "2026-12-11_00-12-03"
constexpr size_t TimeStampLength = 19;
}  // namespace

std::string ReplayFileName(const std::tm& when, uint32_t score) {
  char name[64];
  const size_t stamp = std::strftime(name, sizeof name, "%Y-%m-%d_%H-%M-%S", &when);
  std::snprintf(name + stamp, sizeof name - stamp, "%s%06u%s", ScoreMark, score,
                ReplayFileExtension);
  return name;
}

int64_t ReplayFileScore(const std::string& fileName) {
  const size_t mark = fileName.rfind(ScoreMark);
  const std::string extension = ReplayFileExtension;
  if (mark == std::string::npos || fileName.size() < extension.size() ||
      fileName.compare(fileName.size() - extension.size(), extension.size(), extension) != 0) {
    return -1;
  }
  const size_t first = mark + std::char_traits<char>::length(ScoreMark);
  const size_t last = fileName.size() - extension.size();
  if (first >= last || last - first > 9) return -1;
  int64_t score = 0;
  for (size_t i = first; i < last; ++i) {
    if (fileName[i] < '0' || fileName[i] > '9') return -1;
    score = score * 10 + (fileName[i] - '0');
  }
  return score;
}

std::string KeepGameRecording(const fs::path& folder, std::span<const uint8_t> recording,
                              const std::tm& when, uint32_t score,
                              std::span<const uint16_t> tableScores) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) return "cannot create " + folder.string() + ": " + error.message();
  // Two games ending within one second keep both files.
  const std::string name = ReplayFileName(when, score);
  fs::path path = folder / name;
  for (int n = 2; fs::exists(path, error) && n < 100; ++n) {
    const size_t mark = name.rfind(ScoreMark);
    path = folder / (name.substr(0, mark) + "-" + std::to_string(n) + name.substr(mark));
  }
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(recording.data()),
              static_cast<std::streamsize>(recording.size()));
    out.close();
    if (!out) {
      fs::remove(path, error);
      return "cannot write " + path.string();
    }
  }

  // The names begin with the time, so their order is the games' order; a second game in the same
  // second carries its number after the time.
  const auto order = [](const std::string& file) {
    const size_t mark = file.rfind(ScoreMark);
    const std::string stamp = file.substr(0, std::min(mark, TimeStampLength));
    int number = 1;
    if (mark > TimeStampLength + 1 && file[TimeStampLength] == '-') {
      number = std::atoi(file.c_str() + TimeStampLength + 1);
    }
    return std::make_pair(stamp, number);
  };
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    const std::string file = entry.path().filename().string();
    if (entry.is_regular_file(error) && ReplayFileScore(file) >= 0) names.push_back(file);
  }
  if (error) return {};  // written; what is kept is settled next time
  std::sort(names.begin(), names.end(),
            [&](const std::string& a, const std::string& b) { return order(a) > order(b); });
  std::vector<uint16_t> unclaimed(tableScores.begin(), tableScores.end());
  for (size_t i = 0; i < names.size(); ++i) {
    const int64_t fileScore = ReplayFileScore(names[i]);
    const auto entry = std::find(unclaimed.begin(), unclaimed.end(), fileScore);
    const bool tableGame = fileScore > 0 && entry != unclaimed.end();
    if (tableGame) unclaimed.erase(entry);
    if (i < KeptRecentGames || tableGame) continue;
    fs::remove(folder / names[i], error);
  }
  return {};
}
