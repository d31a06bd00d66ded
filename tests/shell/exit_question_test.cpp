// The exit question: over the main menu, over a sub-screen and its dialogs, during a game, and
// over the result and send dialogs at the end of a game.
#include "engine/pictures/picture_collection.h"
#include "tests/support/menu_fixture.h"

namespace {

using test_data::PictureColor;

class ExitQuestionTest : public MenuTest {
 protected:
  // Pixels in the box that differ from the dialog frame's colour: the question's text.
  int Ink(int left, int top, int width, int height, uint32_t background) {
    int ink = 0;
    for (int y = top; y < top + height; ++y) {
      for (int x = left; x < left + width; ++x) ink += Pixel(x, y) != background ? 1 : 0;
    }
    return ink;
  }
};

TEST_F(ExitQuestionTest, EscapeOnTheMainMenuAsksAndCancelComesBackToTheSameItem) {
  Press(vk::Down);
  Press(vk::Down);
  const TItemSlots mainItems = menu().MainItems;
  Press(vk::Escape);
  EXPECT_EQ(screen().MenuScreen, msExitDialog);
  EXPECT_EQ(screen().ReturnScreen, msMainMenu);
  EXPECT_TRUE(Shown(menu().ClosingWindow));
  EXPECT_EQ(ShownSlots(menu().CurrentItems), 0b01);
  EXPECT_EQ(menu().ItemRects.At(msExitDialog, diOk).Width, test_data::OkWidth);
  for (int i = 1; i <= MaxMenuItems; ++i) {
    EXPECT_EQ(menu().DialogSavedItems[i].Get(), mainItems[i].Get());
  }
  Step(16);
  EXPECT_EQ(Pixel(302, 387), PictureColor("ok"));
  EXPECT_GT(Ink(230, 195, 60, 20, PictureColor("console")), 20);   // "EXIT"
  EXPECT_GT(Ink(300, 270, 200, 20, PictureColor("console")), 50);  // "EXIT THE GAME?"

  Press(vk::Down);
  EXPECT_EQ(ShownSlots(menu().CurrentItems), 0b10);
  Press(vk::Return);  // Cancel
  EXPECT_EQ(screen().MenuScreen, msMainMenu);
  EXPECT_EQ(screen().GameState, gsMenu);
  EXPECT_EQ(screen().MenuFocus, miScores);
  EXPECT_FALSE(Shown(menu().ClosingWindow));
  EXPECT_EQ(ShownSlots(menu().CurrentItems), 0b000100);
  Step(16);
  EXPECT_EQ(Pixel(302, 387), PictureColor("menu"));
  Press(vk::Down);
  EXPECT_EQ(screen().MenuFocus, miHelp);
}

TEST_F(ExitQuestionTest, RightAfterStartCancelLeavesTheFirstItemFocused) {
  Press(vk::Escape);
  Press(vk::Escape);
  EXPECT_EQ(screen().MenuScreen, msMainMenu);
  EXPECT_EQ(screen().MenuFocus, 1);
  EXPECT_EQ(ShownSlots(menu().CurrentItems), 0b000001);
}

TEST_F(ExitQuestionTest, OverTheMainMenuAClickOnAMainItemCancelsAndActs) {
  Press(vk::Escape);
  const int before = Plays("menu");
  ClickItem(msMainMenu, miHelp);
  EXPECT_EQ(screen().MenuScreen, msHelp);
  EXPECT_FALSE(Shown(menu().ClosingWindow));
  EXPECT_EQ(Plays("menu"), before + 3);  // the hover, the cancel and the activation
  Step(16);
  EXPECT_EQ(Pixel(330, 390), test_data::HelpPageColor(1));
}

TEST_F(ExitQuestionTest, AnOpenQuestionOrPromptOfASubScreenGivesWayAndCancelReturnsToTheScreen) {
  ChooseMainItem(miScores);
  const TItemSlots scoresItems = menu().CurrentItems;
  Press(vk::Return);  // the clear-scores question
  config().ScoreTable[0].Score = 7777;
  form->Close();
  EXPECT_EQ(screen().MenuScreen, msExitDialog);
  EXPECT_EQ(screen().ReturnScreen, msScores);
  Press(vk::Escape);
  EXPECT_EQ(screen().MenuScreen, msScores);
  EXPECT_EQ(screen().MenuFocus, siClearScores);
  EXPECT_EQ(config().ScoreTable[0].Score, 7777);
  EXPECT_FALSE(Shown(menu().ClosingWindow));
  Step(16);
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(menu().CurrentItems[i].Get(), scoresItems[i].Get()) << i;
  EXPECT_EQ(ShownSlots(menu().CurrentItems), 0b001);
  // No answer of either question is left on the screen.
  EXPECT_EQ(Pixel(330, 390), PictureColor("scoreback"));
  Press(vk::Escape);
  EXPECT_EQ(screen().MenuScreen, msMainMenu);

  ChooseMainItem(miOptions);
  for (int i = 0; i < 4; ++i) Press(vk::Down);
  Press(vk::Return);  // the boss-key prompt
  form->Close();
  Press(vk::Escape);
  EXPECT_EQ(screen().MenuScreen, msOptions);
  EXPECT_EQ(screen().MenuFocus, oiBossKey);
  Press(vk::Letter('M'));  // no prompt: M is no boss key now
  EXPECT_EQ(config().BossKey, vk::F12);
}

TEST_F(ExitQuestionTest, DuringAGameCancelResumesAndOkEndsTheGameWithoutEndingTheProgram) {
  StartPlaying();
  machine.windowImpl.cursorCounter = -1;
  Press(vk::Escape);
  EXPECT_EQ(screen().GameState, gsExitQuestion);
  EXPECT_EQ(screen().MenuScreen, msExitDialog);
  EXPECT_GE(machine.windowImpl.cursorCounter, 0);
  // The answers come from the game's pictures.
  ASSERT_TRUE(menu().CurrentItems[diOk]);
  EXPECT_EQ(menu().CurrentItems[diOk]->Image, &form->ImageList1.Items.Find("ok"));
  EXPECT_EQ(PixelAfterFrame(302, 387), 0x00C001u);

  Press(vk::Escape);  // Cancel
  EXPECT_EQ(screen().GameState, gsPlaying);
  EXPECT_LT(machine.windowImpl.cursorCounter, 0);
  Step(16);
  EXPECT_FALSE(menu().CurrentItems[diOk]);
  EXPECT_NE(Pixel(302, 387), 0x00C001u);

  Press(vk::Escape);
  const TSpriteRef<TMenuItem> ok = menu().CurrentItems[diOk];
  const int before = Plays("looser");
  Press(vk::Return);  // OK
  EXPECT_FALSE(form->Closed());
  EXPECT_EQ(screen().GameState, gsGameOver);
  EXPECT_EQ(form->Play.BannerTimer, 1500);
  EXPECT_FALSE(screen().ExitConfirmed);
  EXPECT_EQ(Plays("looser"), before + 1);
  Step(16);
  EXPECT_FALSE(ok);

  // "GAME OVER" stands its 1500 ms (94 frames of 16); a game that scored nothing then returns to
  // the main menu.
  const int framesBefore = machine.windowImpl.presentCount;
  while (screen().GameState == gsGameOver && machine.windowImpl.presentCount < framesBefore + 200) {
    Step(16);
  }
  EXPECT_EQ(machine.windowImpl.presentCount - framesBefore, 93);  // the 94th frame left the game
  EXPECT_EQ(screen().GameState, gsMenu);
  EXPECT_EQ(screen().MenuScreen, msMainMenu);
  EXPECT_TRUE(form->FrameTimer1.Enabled());
  EXPECT_FALSE(form->FrameTimer2.Enabled());
  EXPECT_GE(machine.windowImpl.cursorCounter, 0);
  ASSERT_TRUE(menu().MainItems[1]);
  EXPECT_TRUE(menu().MainItems[1]->Visible);
  EXPECT_NO_THROW(form->ImageList1.Items.Find("newgame"));
}

TEST_F(ExitQuestionTest, OverTheResultAndSendDialogsCancelGivesThemBackTheirLiveItems) {
  struct Case {
    TGameState state;
    TMenuScreen dialog;
    uint8_t focus;
  };
  for (const Case& c :
       {Case{gsNameEntry, msResultDialog, riName}, Case{gsSendQuestion, msSendDialog, diCancel}}) {
    // The end of a game as its dialogs leave the main window: the dialog's items in the slots,
    // the frame up, typing into the name.
    screen().GameState = c.state;
    screen().MenuScreen = c.dialog;
    screen().MenuFocus = c.focus;
    TPictureCollectionItem& picture = form->ImageList1.Items.Find("ok");
    for (int i = 1; i <= MaxMenuItems; ++i) menu().CurrentItems[i].Reset();
    for (int i = 1; i <= menu().ItemRects.ItemCount(c.dialog); ++i) {
      menu().CurrentItems[i] =
          NewSprite<TMenuItem>(form->SpriteEngine1.Root(), picture, 0, 0, 11, i == c.focus);
    }
    const TItemSlots dialogItems = menu().CurrentItems;
    menu().ClosingWindow->Visible = true;
    input().TextEntryActive = c.dialog == msResultDialog;
    form->PlayerName = "Eir";

    form->Close();
    ASSERT_EQ(screen().MenuScreen, msExitDialog) << int(c.state);
    EXPECT_EQ(screen().GameState, c.state);
    Type("x");  // the question takes no typing
    EXPECT_EQ(form->PlayerName, "Eir");
    Press(vk::Down);
    Press(vk::Return);  // Cancel
    Step(16);           // the question's answers are freed
    EXPECT_EQ(screen().GameState, c.state);
    EXPECT_EQ(screen().MenuScreen, c.dialog);
    EXPECT_EQ(screen().MenuFocus, c.focus);
    EXPECT_TRUE(Shown(menu().ClosingWindow));
    EXPECT_EQ(input().TextEntryActive, c.dialog == msResultDialog);
    for (int i = 1; i <= menu().ItemRects.ItemCount(c.dialog); ++i) {
      ASSERT_TRUE(menu().CurrentItems[i]) << int(c.state) << " " << i;
      EXPECT_EQ(menu().CurrentItems[i].Get(), dialogItems[i].Get());
    }
    // The dialog works on: its focus moves over its own items.
    Press(vk::Up);
    EXPECT_TRUE(Shown(menu().CurrentItems[screen().MenuFocus]));
  }
}

}  // namespace
