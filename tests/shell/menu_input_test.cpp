// Keys and the pointer on the menu and in a game: the key latch, the boss key, pausing, and the
// pointer over the main menu behind a sub-screen or a dialog.
#include "settings/config_file.h"
#include "tests/support/menu_fixture.h"
#include "tests/support/test_song.h"

namespace {

class MenuInputTest : public MenuTest {};

TEST_F(MenuInputTest, AHeldKeyActsOnceAndBlocksOtherKeysUntilAKeyIsReleased) {
  Hold(vk::Down);
  for (int i = 0; i < 5; ++i) Hold(vk::Down, true);
  EXPECT_EQ(screen().MenuFocus, 2);
  Hold(vk::Escape);  // while Down is held
  Hold(vk::Return);
  EXPECT_EQ(screen().MenuScreen, msMainMenu);
  EXPECT_FALSE(form->Closed());
  // Any key-up frees the latch, even one of a key pressed meanwhile.
  Release(vk::Escape);
  Hold(vk::Return);
  EXPECT_EQ(screen().MenuScreen, msOptions);
  Release(vk::Return);
  Release(vk::Down);
  Press(vk::Down);
  EXPECT_EQ(screen().MenuFocus, 2);
}

TEST_F(MenuInputTest, TheBossKeyMinimisesTheMenuWithoutChangingIt) {
  Press(vk::Down);
  const ScreenState before = screen();
  Press(vk::F12);
  EXPECT_EQ(machine.windowImpl.minimiseCount, 1);
  EXPECT_EQ(screen().GameState, before.GameState);
  EXPECT_EQ(screen().MenuScreen, before.MenuScreen);
  EXPECT_EQ(screen().MenuFocus, before.MenuFocus);
}

TEST_F(MenuInputTest, TheMenuMusicStartsFromItsBeginningWhenTheMinimisedWindowComesBack) {
  form.reset();
  WriteTestSong(folder.path() / "sound" / "1.xm");
  Start();
  ASSERT_NE(form->CurrentSong, 0u);
  Press(vk::F12);
  platform::Event event;
  event.kind = platform::EventKind::Deactivate;  // what minimising brings
  machine.Push(event);
  form->ProcessMessages();
  EXPECT_EQ(machine.musicImpl.playing, 0u);
  machine.musicImpl.calls.clear();
  event.kind = platform::EventKind::Activate;
  machine.Push(event);
  form->ProcessMessages();
  ASSERT_EQ(machine.musicImpl.calls.size(), 2u);
  EXPECT_EQ(machine.musicImpl.calls[1].kind, platform::headless::HeadlessMusic::Call::Play);
  EXPECT_EQ(screen().MenuScreen, msMainMenu);
}

TEST_F(MenuInputTest, PAsTheBossKeyPausesAGameAndMinimisesTheMenu) {
  config().BossKey = vk::Letter('P');
  Press(vk::Letter('P'));
  EXPECT_EQ(machine.windowImpl.minimiseCount, 1);
  EXPECT_EQ(screen().GameState, gsMenu);

  StartPlaying();
  machine.windowImpl.cursorCounter = -1;
  Press(vk::Letter('P'));
  EXPECT_EQ(screen().GameState, gsPaused);
  EXPECT_EQ(screen().ResumeState, gsPlaying);
  EXPECT_GE(machine.windowImpl.cursorCounter, 0);
  EXPECT_EQ(machine.windowImpl.minimiseCount, 1);  // P pauses before it could be the boss key
  Press(vk::Letter('P'));
  EXPECT_EQ(screen().GameState, gsPlaying);
  EXPECT_LT(machine.windowImpl.cursorCounter, 0);
  EXPECT_EQ(machine.windowImpl.warps.back(), std::make_pair(400, 300));
}

TEST_F(MenuInputTest, TheBossKeyInAGameStopsTheMusicPausesAndMinimises) {
  Press(vk::Return);
  config().MusicOn = 1;
  form->CurrentSong = 9;
  machine.musicImpl.calls.clear();
  screen().GameState = gsLevelBanner;
  Press(vk::F12);
  EXPECT_EQ(screen().GameState, gsPaused);
  EXPECT_EQ(screen().ResumeState, gsLevelBanner);
  EXPECT_EQ(machine.windowImpl.minimiseCount, 1);
  ASSERT_FALSE(machine.musicImpl.calls.empty());
  EXPECT_EQ(machine.musicImpl.calls[0].kind, platform::headless::HeadlessMusic::Call::Stop);
  EXPECT_EQ(machine.musicImpl.calls[0].song, 9u);
  // Again while paused: minimised again, the state to resume kept.
  Press(vk::F12);
  EXPECT_EQ(screen().ResumeState, gsLevelBanner);
  EXPECT_EQ(machine.windowImpl.minimiseCount, 2);
  // P resumes the banner.
  Press(vk::Letter('P'));
  EXPECT_EQ(screen().GameState, gsLevelBanner);
}

TEST_F(MenuInputTest, ClickingAHoveredMainItemOverOptionsLeavesOptionsAndActsInOneStep) {
  ChooseMainItem(miOptions);
  config().PlayerCountry.SetText("Faroe");
  const auto [x, y] = Centre(msMainMenu, miScores);
  const int before = Plays("menu");
  MoveTo(x, y);
  // The main menu's highlight moves; the Options focus stays.
  EXPECT_TRUE(input().PointerOnMainMenu);
  EXPECT_EQ(screen().MainFocus, miScores);
  EXPECT_EQ(screen().MenuFocus, 1);
  EXPECT_EQ(ShownSlots(menu().MainItems), 0b000100);
  EXPECT_EQ(Plays("menu"), before + 1);

  Click(x, y);
  EXPECT_EQ(screen().MenuScreen, msScores);
  EXPECT_EQ(screen().MainFocus, miScores);
  EXPECT_EQ(ReadConfigFile("config.dat")->PlayerCountry.Text(), "Faroe");  // Options' Back
  EXPECT_EQ(Plays("menu"), before + 3);  // the leaving and the activation
  Step(16);
  EXPECT_FALSE(menu().Switches.Window);
  EXPECT_EQ(Pixel(700, 480), test_data::PictureColor("scoreback"));
}

TEST_F(MenuInputTest, TheEdgesOfAnItemBelongToIt) {
  const ItemRect rect = menu().ItemRects.At(msMainMenu, miHelp);
  MoveTo(rect.Left + rect.Width, rect.Top + rect.Height);
  EXPECT_EQ(screen().MenuFocus, miHelp);
  EXPECT_TRUE(input().PointerOverItem);
  MoveTo(rect.Left + rect.Width + 1, rect.Top + rect.Height);
  EXPECT_FALSE(input().PointerOverItem);
  EXPECT_EQ(screen().MenuFocus, miHelp);  // leaving an item keeps its focus
  MoveTo(rect.Left, rect.Top);
  Click(rect.Left, rect.Top);
  EXPECT_EQ(screen().MenuScreen, msHelp);
  // A press off the surface released on it is no click.
  platform::Event up;
  up.kind = platform::EventKind::PointerUp;
  const auto [bx, by] = Centre(msHelp, hiBack);
  MoveTo(bx, by);
  up.x = bx;
  up.y = by;
  machine.Push(up);
  form->ProcessMessages();
  EXPECT_EQ(screen().MenuScreen, msHelp);
}

TEST_F(MenuInputTest, AMainItemDoesNotAnswerADialogOverASubScreen) {
  // The clear-scores question over Scores.
  ChooseMainItem(miScores);
  Press(vk::Return);
  ASSERT_EQ(screen().MenuScreen, msClearScoresDialog);
  config().ScoreTable[0].Score = 5555;
  ClickItem(msMainMenu, miNewGame);
  EXPECT_EQ(screen().GameState, gsMenu);
  EXPECT_EQ(screen().MenuScreen, msClearScoresDialog);
  EXPECT_EQ(config().ScoreTable[0].Score, 5555);
  EXPECT_FALSE(input().PointerOnMainMenu);
  Press(vk::Escape);
  Press(vk::Escape);

  // The boss-key prompt over Options.
  ChooseMainItem(miOptions);
  for (int i = 0; i < 4; ++i) Press(vk::Down);
  Press(vk::Return);
  ASSERT_EQ(screen().MenuScreen, msBossKeyPrompt);
  ClickItem(msMainMenu, miScores);
  EXPECT_EQ(screen().MenuScreen, msBossKeyPrompt);
  Press(vk::Letter('J'));
  EXPECT_EQ(screen().MenuScreen, msOptions);

  // The exit question over Options: the main item neither cancels into Options' items nor acts.
  form->Close();
  ASSERT_EQ(screen().MenuScreen, msExitDialog);
  ClickItem(msMainMenu, miExit);
  EXPECT_EQ(screen().MenuScreen, msExitDialog);
  EXPECT_FALSE(form->Closed());
  ClickItem(msExitDialog, diCancel);
  EXPECT_EQ(screen().MenuScreen, msOptions);
  EXPECT_EQ(screen().MenuFocus, oiBossKey);
}

TEST_F(MenuInputTest, AClickActsOnWhatIsUnderThePointerNowNotOnWhatWasThere) {
  ChooseMainItem(miScores);
  const auto [x, y] = Centre(msScores, siClearScores);
  MoveTo(x, y);
  Click(x, y);  // the question opens; the pointer rests where "clear scores" was
  ASSERT_EQ(screen().MenuScreen, msClearScoresDialog);
  config().ScoreTable[0].Score = 5555;
  Click(x, y);  // a second click there is on no answer
  EXPECT_EQ(screen().MenuScreen, msClearScoresDialog);
  EXPECT_EQ(config().ScoreTable[0].Score, 5555);
  ClickItem(msClearScoresDialog, diCancel);
  EXPECT_EQ(screen().MenuScreen, msScores);
  EXPECT_EQ(config().ScoreTable[0].Score, 5555);
}

TEST_F(MenuInputTest, TheArrowsToggleTheFocusedSwitchWhereverThePointerRests) {
  ChooseMainItem(miOptions);
  Press(vk::Down);
  Press(vk::Down);
  MoveTo(Centre(msMainMenu, miHelp).first, Centre(msMainMenu, miHelp).second);
  ASSERT_TRUE(input().PointerOnMainMenu);
  Press(vk::Right);
  EXPECT_EQ(screen().MenuScreen, msOptions);
  EXPECT_FALSE(config().SoundOn);
  // Enter, by contrast, takes the pointed main item.
  MoveTo(Centre(msMainMenu, miHelp).first + 1, Centre(msMainMenu, miHelp).second);
  Press(vk::Return);
  EXPECT_EQ(screen().MenuScreen, msHelp);
}

TEST_F(MenuInputTest, SteeringStepsAreHalfTheDistanceAndNeverWrap) {
  StartPlaying();
  struct Case {
    int x, y;
    uint8_t left, right, up, down;
  };
  const Case cases[] = {{410, 300, 0, 5, 0, 0},
                        {400, 291, 0, 0, 4, 0},
                        {1400, 300, 0, 255, 0, 0},
                        {-700, 1500, 255, 0, 0, 255}};
  for (const Case& c : cases) {
    input().PointerStepLeft = input().PointerStepRight = 0;
    input().PointerStepUp = input().PointerStepDown = 0;
    machine.windowImpl.cursorX = c.x;
    machine.windowImpl.cursorY = c.y;
    MoveTo(c.x, c.y);
    EXPECT_EQ(input().PointerStepLeft, c.left) << c.x;
    EXPECT_EQ(input().PointerStepRight, c.right) << c.x;
    EXPECT_EQ(input().PointerStepUp, c.up) << c.y;
    EXPECT_EQ(input().PointerStepDown, c.down) << c.y;
  }
}

}  // namespace
