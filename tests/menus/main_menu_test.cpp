// The main menu: how it is built, how the focus moves over it, and what its items do.
#include "engine/pictures/picture_collection.h"
#include "online/online_config.h"
#include "online/score_server_urls.h"
#include "tests/support/menu_fixture.h"

namespace {

using test_data::PictureColor;

class MainMenuTest : public MenuTest {};

TEST_F(MainMenuTest, StartsWithTheFirstItemHighlightedAndTheItemsSizedByTheirPictures) {
  EXPECT_EQ(screen().MenuScreen, msMainMenu);
  EXPECT_EQ(screen().MenuFocus, 1);
  EXPECT_EQ(ShownSlots(menu().CurrentItems), 0b000001);
  for (int i = 1; i <= MaxMenuItems; ++i) {
    EXPECT_EQ(menu().MainItems[i].Get(), menu().CurrentItems[i].Get());
    const ItemRect& rect = menu().ItemRects.At(msMainMenu, i);
    EXPECT_EQ(rect.Width, test_data::MainItemWidth);
    EXPECT_EQ(rect.Height, test_data::MainItemHeight);
    EXPECT_EQ(menu().CurrentItems[i]->X, rect.Left);
    EXPECT_EQ(menu().CurrentItems[i]->Y, rect.Top);
  }
  ASSERT_TRUE(menu().ClosingWindow);
  EXPECT_FALSE(menu().ClosingWindow->Visible);

  // Seen: the backdrop, and only the first item's highlight over it.
  EXPECT_EQ(PixelAfterFrame(60, 200), PictureColor("newgame"));
  EXPECT_EQ(Pixel(60, 250), PictureColor("menu"));
  EXPECT_EQ(Pixel(700, 100), PictureColor("menu"));
}

TEST_F(MainMenuTest, UpAndDownWrapAroundAndTheHighlightAndTheSoundFollow) {
  Press(vk::Up);
  EXPECT_EQ(screen().MenuFocus, 6);
  EXPECT_EQ(ShownSlots(menu().CurrentItems), 0b100000);
  Press(vk::Down);
  EXPECT_EQ(screen().MenuFocus, 1);
  EXPECT_EQ(ShownSlots(menu().CurrentItems), 0b000001);
  Press(vk::Down);
  Press(vk::Down);
  EXPECT_EQ(screen().MenuFocus, 3);
  EXPECT_EQ(PixelAfterFrame(60, 300), PictureColor("scores"));
  EXPECT_EQ(Plays("menu"), 4);
  // Left and Right mean nothing here.
  Press(vk::Left);
  Press(vk::Right);
  EXPECT_EQ(screen().MenuFocus, 3);
  EXPECT_EQ(Plays("menu"), 4);
}

TEST_F(MainMenuTest, NewGameHandsTheSpriteEngineAndTheImageListOverToTheGame) {
  const TSpriteRef<TMenuItem> item = menu().MainItems[1];
  Press(vk::Return);
  EXPECT_EQ(screen().GameState, gsLevelBanner);
  EXPECT_FALSE(form->FrameTimer1.Enabled());
  EXPECT_TRUE(form->FrameTimer2.Enabled());
  // Of the menu nothing is left; the game's dialog frame waits hidden over the field.
  EXPECT_FALSE(item);
  EXPECT_FALSE(menu().CurrentItems[1]);
  ASSERT_TRUE(menu().ClosingWindow);
  EXPECT_FALSE(menu().ClosingWindow->Visible);
  EXPECT_EQ(menu().ClosingWindow->Image, &form->ImageList1.Items[1]);
  EXPECT_EQ(menu().ClosingWindow->Z(), 10);
  EXPECT_NO_THROW(form->ImageList1.Items.Find("dayback"));
  EXPECT_THROW(form->ImageList1.Items.Find("newgame"), EPictureCollectionError);
  EXPECT_EQ(Plays("menu"), 1);
  // The game loop runs now, not the menu loop.
  const int presented = machine.windowImpl.presentCount;
  Step(16);
  EXPECT_EQ(machine.windowImpl.presentCount, presented + 1);
}

TEST_F(MainMenuTest, HomePageOpensThePublishersPageAndTheMenuStays) {
  ChooseMainItem(miHomePage);
  EXPECT_EQ(machine.shellImpl.opened,
            std::vector<std::string>({"http://" + std::string(ScoreServer()) + "/"}));
  EXPECT_EQ(screen().MenuScreen, msMainMenu);
  EXPECT_EQ(screen().MenuFocus, miHomePage);
}

TEST_F(MainMenuTest, ExitAsksFirstAndItsOkEndsTheProgram) {
  ChooseMainItem(miExit);
  EXPECT_FALSE(form->Closed());
  EXPECT_EQ(screen().MenuScreen, msExitDialog);
  EXPECT_EQ(screen().MainFocus, miExit);
  EXPECT_TRUE(Shown(menu().ClosingWindow));
  Press(vk::Return);  // OK has the focus
  EXPECT_TRUE(form->Closed());
  EXPECT_FALSE(form->ProcessMessages());
}

TEST_F(MainMenuTest, AMissingMenuArchiveIsAClearErrorAtStart) {
  form.reset();
  std::filesystem::remove(folder.path() / "data" / "menu.dxg");
  try {
    Start();
    FAIL() << "started without its menu";
  } catch (const EFOpenError& error) {
    EXPECT_NE(std::string(error.what()).find("menu.dxg"), std::string::npos) << error.what();
  }
}

TEST_F(MainMenuTest, AMissingSoundArchiveIsSaidOnceAndTheMenuIsSilent) {
  form.reset();
  Messages().clear();
  std::filesystem::remove(folder.path() / "sound" / "gamesound.dxw");
  machine.soundImpl.calls.clear();
  Start();
  ASSERT_EQ(Messages().size(), 2u);  // the sounds, then the missing music
  EXPECT_NE(Messages()[0].find("gamesound.dxw"), std::string::npos) << Messages()[0];
  Press(vk::Down);
  Press(vk::Return);
  EXPECT_EQ(screen().MenuScreen, msOptions);
  EXPECT_EQ(Messages().size(), 2u);
  EXPECT_TRUE(machine.soundImpl.calls.empty());
}

}  // namespace
