// The token secret file: refused when others may read it or when it is short, made whole or not
// at all, and never replaced.
#include "server/token_secret.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tests/server/full_disk.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& text, fs::perms mode) {
  std::ofstream(path, std::ios::binary) << text;
  fs::permissions(path, mode);
}

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(TokenSecret, RefusesFilesOthersMayReadOrThatAreShort) {
  const std::string good(64, 'a');
  const struct {
    const char* name;
    std::string contents;
    fs::perms mode;
    const char* refusal;  // nullptr: accepted
  } cases[] = {
      {"private, 64 bytes", good + "\n", fs::perms::owner_read | fs::perms::owner_write, nullptr},
      {"exactly 32 bytes", std::string(32, 'k'), fs::perms::owner_read, nullptr},
      {"readable by anyone", good, fs::perms::owner_all | fs::perms::others_read, "chmod 600"},
      {"readable by the group", good, fs::perms::owner_read | fs::perms::group_read, "chmod 600"},
      {"writable by the group", good, fs::perms::owner_read | fs::perms::group_write, "chmod 600"},
      {"16 low bytes", "0123456789abcdef", fs::perms::owner_read, "holds 16 bytes"},
      {"31 bytes and a newline", std::string(31, 'k') + "\n", fs::perms::owner_read,
       "holds 31 bytes"},
      {"empty, as a full disk once left it", "", fs::perms::owner_read, "holds 0 bytes"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    TempDir dir;
    const auto path = dir.path() / "secret";
    WriteFile(path, test.contents, test.mode);
    if (!test.refusal) {
      std::string trimmed = test.contents;
      while (!trimmed.empty() && trimmed.back() == '\n') trimmed.pop_back();
      EXPECT_EQ(LoadOrCreateSecret(path), trimmed);
      continue;
    }
    try {
      LoadOrCreateSecret(path);
      ADD_FAILURE() << "accepted";
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(test.refusal), std::string::npos) << error.what();
    }
    // Refused, never replaced.
    std::ifstream in(path, std::ios::binary);
    std::ostringstream kept;
    kept << in.rdbuf();
    EXPECT_EQ(kept.str(), test.contents);
  }
}

TEST(TokenSecret, AMissingSecretIsMadePrivateAndLongAndThenKept) {
  TempDir dir;
  const auto path = dir.path() / "scores.secret";
  std::vector<std::string> log;
  const std::string made =
      LoadOrCreateSecret(path, [&log](const std::string& line) { log.push_back(line); });
  EXPECT_GE(made.size(), 64u);  // 32 random bytes as hex digits
  EXPECT_EQ(made.find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("made a new token secret at"), std::string::npos);
  // No temporary file left beside it, and the next start reads the same secret, silently.
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"scores.secret"});
  EXPECT_EQ(LoadOrCreateSecret(path, [&log](const std::string& line) { log.push_back(line); }),
            made);
  EXPECT_EQ(log.size(), 1u);
  EXPECT_NE(LoadOrCreateSecret(dir.path() / "other.secret"), made);
}

TEST(TokenSecret, AFullDiskLeavesNoSecretBehind) {
  TempDir dir;
  const FullDisk disk(dir.path() / "full");
  if (!disk.Mounted()) GTEST_SKIP() << disk.WhyNot();
  const auto path = dir.path() / "full" / "scores.secret";
  try {
    LoadOrCreateSecret(path);
    ADD_FAILURE() << "a secret was made on a full disk";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("No space left"), std::string::npos) << error.what();
  }
  EXPECT_EQ(Names(dir.path() / "full"), std::vector<std::string>{"filler"});
}

}  // namespace
