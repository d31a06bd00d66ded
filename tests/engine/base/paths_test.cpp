#include "engine/base/paths.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/temp_dir.h"

namespace {

TEST(ResolvePath, MatchesEachComponentWithoutRegardToCaseAndAcceptsBothSeparators) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "sound");
  std::ofstream(dir.path() / "sound" / "1.xm") << "x";
  std::filesystem::create_directories(dir.path() / "Data");
  std::ofstream(dir.path() / "Data" / "Menu.DXG") << "x";

  struct Case {
    const char* name;
    std::filesystem::path expected;
  };
  const Case cases[] = {
      {"sound\\1.xm", dir.path() / "sound" / "1.xm"},
      {"Sound\\1.xm", dir.path() / "sound" / "1.xm"},
      {"SOUND/1.XM", dir.path() / "sound" / "1.xm"},
      {"data\\menu.dxg", dir.path() / "Data" / "Menu.DXG"},
      // What matches nothing is kept as written, so opening it fails as it should.
      {"sound\\3.xm", dir.path() / "sound" / "3.xm"},
      {"nothing\\here.dat", dir.path() / "nothing" / "here.dat"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResolvePath(c.name, dir.path()), c.expected) << c.name;
  }
  EXPECT_TRUE(GameFileExists("SOUND\\1.xm", dir.path()));
  EXPECT_FALSE(GameFileExists("sound", dir.path()));  // a folder is not a file
  EXPECT_FALSE(GameFileExists("sound\\2.xm", dir.path()));
}

TEST(ResolvePath, PrefersTheExactNameWhenTwoEntriesDifferOnlyInCase) {
  TempDir dir;
  std::ofstream(dir.path() / "config.dat") << "a";
  std::ofstream(dir.path() / "CONFIG.DAT") << "b";
  EXPECT_EQ(ResolvePath("CONFIG.DAT", dir.path()), dir.path() / "CONFIG.DAT");
  EXPECT_EQ(ResolvePath("config.dat", dir.path()), dir.path() / "config.dat");
}

}  // namespace
