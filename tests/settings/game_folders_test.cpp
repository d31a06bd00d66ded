// Where the game finds its files and keeps "config.dat": beside the program for a build tree or a
// portable copy, share/skarvel and the user's data folder for an installed game.
#include "settings/game_folders.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "tests/support/game_fixture.h"
#include "tests/support/test_song.h"

namespace {

namespace fs = std::filesystem;

constexpr uid_t NobodyId = 65534;

void Touch(const fs::path& file) {
  fs::create_directories(file.parent_path());
  std::ofstream(file) << "x";
}

mode_t Mode(const fs::path& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

// A portable copy (the program beside data/) and an installed game (bin/ beside share/skarvel)
// in one temporary tree; the installed program folder is writable, as /usr/bin is for root.
struct Layouts {
  TempDir root;
  fs::path portable = root.path() / "portable";
  fs::path bin = root.path() / "prefix" / "bin";
  fs::path share = root.path() / "prefix" / "share" / "skarvel";
  fs::path userData = root.path() / "xdg";
  fs::path home = root.path() / "home";

  Layouts() {
    Touch(portable / "data" / "menu.dxg");
    fs::create_directories(bin);
    Touch(share / "data" / "menu.dxg");
    fs::create_directories(userData);
    fs::create_directories(home);
  }
};

TEST(GameFolders, TheDataFolderIsBesideTheProgramElseTheInstalledShareFolder) {
  Layouts tree;
  const fs::path mixedCase = tree.root.path() / "copy";
  Touch(mixedCase / "Data" / "Menu.DXG");
  const fs::path empty = tree.root.path() / "empty" / "bin";
  fs::create_directories(empty);

  EXPECT_EQ(FindDataFolder(tree.portable), tree.portable);
  EXPECT_EQ(FindDataFolder(tree.bin), tree.share);
  EXPECT_EQ(FindDataFolder(mixedCase), mixedCase);
  EXPECT_EQ(FindDataFolder(empty), std::nullopt);
  // Files beside the program win over an installed copy (a build tree inside a prefix).
  Touch(tree.bin / "data" / "menu.dxg");
  EXPECT_EQ(FindDataFolder(tree.bin), tree.bin);
}

TEST(GameFolders, APortableCopyKeepsItsSettingsBesideTheProgram) {
  Layouts tree;
  const UserEnvironment environment{tree.userData.c_str(), tree.home.c_str()};
  EXPECT_EQ(ChooseConfigFolder(tree.portable, tree.portable, environment), tree.portable);
  EXPECT_FALSE(fs::exists(tree.userData / "skarvel"));
}

TEST(GameFolders, AnInstalledGameKeepsItsSettingsInTheUsersDataFolderMadeOnFirstStart) {
  Layouts tree;
  struct Case {
    const char* what;
    const char* xdgDataHome;
    fs::path expected;
  };
  const Case cases[] = {
      {"XDG_DATA_HOME set", tree.userData.c_str(), tree.userData / "skarvel"},
      {"XDG_DATA_HOME unset", nullptr, tree.home / ".local" / "share" / "skarvel"},
      {"XDG_DATA_HOME empty", "", tree.home / ".local" / "share" / "skarvel"},
      {"XDG_DATA_HOME relative", "relative/data", tree.home / ".local" / "share" / "skarvel"},
  };
  for (const Case& c : cases) {
    const UserEnvironment environment{c.xdgDataHome, tree.home.c_str()};
    const fs::path chosen = ChooseConfigFolder(tree.bin, tree.share, environment);
    EXPECT_EQ(chosen, c.expected) << c.what;
    // Made on the first start, for this user's eyes only.
    EXPECT_TRUE(fs::is_directory(chosen)) << c.what;
    EXPECT_EQ(Mode(chosen), 0700u) << c.what;
    // The next start finds it as it is.
    EXPECT_EQ(ChooseConfigFolder(tree.bin, tree.share, environment), chosen) << c.what;
    fs::remove_all(tree.home / ".local");
  }
  EXPECT_FALSE(fs::exists(tree.bin / "config.dat"));
}

// A copy of the game in a folder the player may not write to (a shared folder, a read-only
// medium): the settings go to the player's data folder. Root may write anywhere, so the choice
// is made as the unprivileged user "nobody" when the tests run as root.
TEST(GameFolders, AReadOnlyProgramFolderSendsTheSettingsToTheUsersDataFolder) {
  Layouts tree;
  fs::permissions(tree.root.path(), fs::perms(0755));
  fs::permissions(tree.portable, fs::perms(0555));
  fs::permissions(tree.userData, fs::perms(0777));
  const UserEnvironment environment{tree.userData.c_str(), tree.home.c_str()};
  const fs::path expected = tree.userData / "skarvel";
  EXPECT_EXIT(
      {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(NobodyId) != 0 || ::setuid(NobodyId) != 0)) {
          std::fputs("cannot become nobody\n", stderr);
          std::exit(2);
        }
        const fs::path chosen = ChooseConfigFolder(tree.portable, tree.portable, environment);
        const bool made = fs::is_directory(chosen) && ::access(chosen.c_str(), W_OK) == 0;
        std::fprintf(stderr, "chose %s\n", chosen.c_str());
        std::exit(chosen == expected && made ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "chose ");
  fs::permissions(tree.portable, fs::perms(0755));
}

// The whole program started from another folder: its pictures, sounds and music come from the
// data folder it is given, "config.dat" is kept in the settings folder, and nothing lands in the
// working folder.
TEST(GameFolders, TheProgramReadsItsFilesAndKeepsItsSettingsWhereItIsTold) {
  InGameFolder workingFolder;
  TempDir installed;
  const fs::path data = installed.path() / "share" / "skarvel";
  const fs::path settings = installed.path() / "xdg" / "skarvel";
  WriteTestSoundArchive(data / "sound" / "gamesound.dxw");
  WriteTestSong(data / "sound" / "1.xm");
  test_data::WriteGameData(data);
  fs::create_directories(settings);

  {
    platform::headless::HeadlessPlatform machine = MakeHeadlessPlatform();
    TmainForm form(machine, GameFolders{data, settings});
    EXPECT_TRUE(machine.windowImpl.messages.empty())
        << "start-up said: " << machine.windowImpl.messages.front();
    form.Config.SoundOn = 0;
    form.SaveConfig();
  }
  ASSERT_EQ(fs::file_size(settings / "config.dat"), 158u);
  EXPECT_TRUE(fs::is_empty(workingFolder.path()));
  platform::headless::HeadlessPlatform machine = MakeHeadlessPlatform();
  TmainForm restarted(machine, GameFolders{data, settings});
  EXPECT_EQ(restarted.Config.SoundOn, 0);
}

}  // namespace
