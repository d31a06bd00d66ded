// New game when the game's pictures are missing or damaged, and frames that fail again and again:
// one message, then the menu (or, when the menu itself cannot be built, the end of the program),
// never a message box after every OK.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>

#include "engine/archive/archive_reader.h"
#include "engine/archive/archive_writer.h"
#include "engine/archive/stream_bytes.h"
#include "tests/support/menu_fixture.h"

namespace {

using test_data::PictureColor;

class FailingGameTest : public MenuTest {
 protected:
  void Frames(int n) {
    for (int i = 0; i < n; ++i) Step(16);
  }
  std::filesystem::path GameArchive() { return folder.path() / "data" / "gamegraphic.dxg"; }
  void WriteGameArchive(const std::vector<uint8_t>& bytes) {
    std::ofstream(GameArchive(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  // The game archive without the pictures of the eight enemies: the field builds, and the first
  // enemy due fails every played frame.
  void RemoveEnemyPictures() {
    archive::Object root = archive::ReadArchive(archive::ReadFileBytes(GameArchive()));
    std::vector<archive::CollectionItem>& items = root.properties.at(1).value.items;
    const std::regex enemy("enemy[1-8]");
    std::erase_if(items, [&](const archive::CollectionItem& item) {
      return std::regex_match(item.properties.at(0).value.AsText(), enemy);
    });
    WriteGameArchive(archive::WriteArchive(root));
  }
  // The main menu as it stood: its loop, its screen, its items and its pictures on the surface.
  void ExpectTheMainMenu() {
    EXPECT_EQ(screen().GameState, gsMenu);
    EXPECT_EQ(screen().MenuScreen, msMainMenu);
    EXPECT_TRUE(form->FrameTimer1.Enabled());
    EXPECT_FALSE(form->FrameTimer2.Enabled());
    EXPECT_EQ(ShownSlots(menu().CurrentItems), 0b000001);
    EXPECT_EQ(PixelAfterFrame(700, 100), PictureColor("menu"));
    const auto [x, y] = Centre(msMainMenu, 1);
    EXPECT_EQ(Pixel(x, y), PictureColor("newgame"));
    EXPECT_FALSE(form->Closed());
  }
};

TEST_F(FailingGameTest, NewGameWithoutReadableGamePicturesSaysWhyOnceAndTheMenuStaysAsItWas) {
  const std::vector<uint8_t> good = archive::ReadFileBytes(GameArchive());
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;  // empty: no archive at all
  };
  std::vector<uint8_t> damaged = good;
  damaged[0] = 0xFE;
  const std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
  for (const Case& c :
       {Case{"missing", {}}, Case{"not an archive", damaged}, Case{"cut short", cut}}) {
    SCOPED_TRACE(c.what);
    if (c.bytes.empty()) {
      std::filesystem::remove(GameArchive());
    } else {
      WriteGameArchive(c.bytes);
    }
    const size_t messages = Messages().size();
    Press(vk::Return);  // New game, focused at start
    ASSERT_EQ(Messages().size(), messages + 1);
    Frames(30);
    EXPECT_EQ(Messages().size(), messages + 1);
    ExpectTheMainMenu();
    EXPECT_EQ(form->ImageList1.Items.Find("menu").Picture->Width, 800);
  }
  // With the archive back, New game plays.
  WriteGameArchive(good);
  Press(vk::Return);
  EXPECT_EQ(screen().GameState, gsLevelBanner);
  PassLevelBanner();
}

TEST_F(FailingGameTest, AGameFrameFailingTwiceInARowGoesBackToTheMainMenu) {
  RemoveEnemyPictures();
  const size_t messages = Messages().size();
  Press(vk::Return);
  EXPECT_EQ(screen().GameState, gsLevelBanner);
  for (int frame = 0; frame < 200 && screen().GameState != gsMenu; ++frame) Step(16);
  ASSERT_EQ(Messages().size(), messages + 1);
  EXPECT_NE(Messages().back().find("not found"), std::string::npos) << Messages().back();
  Frames(30);
  EXPECT_EQ(Messages().size(), messages + 1);
  ExpectTheMainMenu();
  EXPECT_GE(machine.windowImpl.cursorCounter, 0);  // the pointer is back
  // The menu works: Options opens.
  ChooseMainItem(miOptions);
  EXPECT_EQ(screen().MenuScreen, msOptions);
}

TEST_F(FailingGameTest, WhenTheMenuCannotBeBuiltAfterAFailedGameTheProgramEndsWithTheMessage) {
  RemoveEnemyPictures();
  Press(vk::Return);
  std::filesystem::remove(folder.path() / "data" / "menu.dxg");
  const size_t messages = Messages().size();
  for (int frame = 0; frame < 200 && !form->Closed(); ++frame) Step(16);
  EXPECT_TRUE(form->Closed());
  ASSERT_EQ(Messages().size(), messages + 2);
  EXPECT_NE(Messages().back().find("menu.dxg"), std::string::npos) << Messages().back();
  EXPECT_NE(form->FatalError().find("menu.dxg"), std::string::npos);
  EXPECT_FALSE(form->FrameTimer1.Enabled());
  EXPECT_FALSE(form->FrameTimer2.Enabled());
  EXPECT_FALSE(form->ProcessMessages());
}

}  // namespace
