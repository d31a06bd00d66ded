// Close requests, activation and the display mode of the main window.
#include <gtest/gtest.h>

#include <fstream>

#include "settings/config_file.h"
#include "tests/support/game_fixture.h"

namespace {

using platform::EventKind;
using Call = platform::headless::HeadlessMusic::Call;

class WindowEventsTest : public ::testing::Test, public GameFixture {
 protected:
  WindowEventsTest() { Start(); }
  void Send(EventKind kind) {
    platform::Event event;
    event.kind = kind;
    machine.Push(event);
    form->ProcessMessages();
  }
  ScreenState& screen() { return form->Screen; }
};

TEST_F(WindowEventsTest, ACloseRequestOpensTheExitQuestionInsteadOfClosing) {
  struct Case {
    TGameState state;
    TGameState after;   // GameState after the request
    TGameState resume;  // ResumeState after the request
    bool cursorShown;
  };
  const Case cases[] = {
      {gsMenu, gsMenu, gsMenu, false},
      {gsPlaying, gsExitQuestion, gsPlaying, true},
      {gsDying, gsExitQuestion, gsDying, true},
      {gsLevelBanner, gsExitQuestion, gsLevelBanner, true},
      {gsNameEntry, gsNameEntry, gsNameEntry, false},
      {gsSendQuestion, gsSendQuestion, gsSendQuestion, false},
      {gsSendFailed, gsSendFailed, gsSendFailed, false},
  };
  for (const Case& c : cases) {
    screen() = ScreenState{};
    screen().GameState = c.state;
    screen().MenuScreen = msOptions;
    machine.windowImpl.cursorCounter = -1;
    Send(EventKind::CloseRequest);
    EXPECT_FALSE(form->Closed());
    EXPECT_EQ(screen().GameState, c.after) << int(c.state);
    EXPECT_EQ(screen().ResumeState, c.resume) << int(c.state);
    EXPECT_EQ(screen().ExitReturnState, c.state);
    EXPECT_EQ(screen().ReturnScreen, msOptions);
    EXPECT_EQ(screen().MenuScreen, msExitDialog);
    EXPECT_EQ(screen().MenuFocus, 1);
    EXPECT_EQ(machine.windowImpl.cursorCounter >= 0, c.cursorShown) << int(c.state);
  }
}

TEST_F(WindowEventsTest, ACloseRequestWhilePausedKeepsTheStateThePauseReturnsTo) {
  screen().GameState = gsPaused;
  screen().ResumeState = gsLevelBanner;
  Send(EventKind::CloseRequest);
  EXPECT_EQ(screen().GameState, gsExitQuestion);
  EXPECT_EQ(screen().ExitReturnState, gsPaused);
  EXPECT_EQ(screen().ResumeState, gsLevelBanner);
}

TEST_F(WindowEventsTest, ACloseRequestDuringGameOverOrOverTheOpenQuestionDoesNothing) {
  for (const TGameState state : {gsGameOver, gsExitQuestion}) {
    screen() = ScreenState{};
    screen().GameState = state;
    screen().MenuScreen = state == gsExitQuestion ? msExitDialog : msMainMenu;
    screen().ReturnScreen = msScores;
    screen().ExitReturnState = gsPlaying;
    const ScreenState before = screen();
    Send(EventKind::CloseRequest);
    EXPECT_FALSE(form->Closed());
    EXPECT_EQ(screen().GameState, before.GameState);
    EXPECT_EQ(screen().MenuScreen, before.MenuScreen);
    EXPECT_EQ(screen().ReturnScreen, msScores);
    EXPECT_EQ(screen().ExitReturnState, gsPlaying);
  }
}

TEST_F(WindowEventsTest, ConfirmedExitDuringAGameEndsTheGameAndTheProgramGoesOn) {
  screen().GameState = gsPlaying;
  Send(EventKind::CloseRequest);
  screen().ExitConfirmed = true;  // the question's OK
  TCloseAction action = TCloseAction::caFree;
  form->FormClose(action);
  EXPECT_EQ(action, TCloseAction::caNone);
  EXPECT_EQ(screen().GameState, gsGameOver);
  EXPECT_EQ(form->Play.BannerTimer, 1500);
  EXPECT_FALSE(screen().ExitConfirmed);
}

TEST_F(WindowEventsTest, ConfirmedExitOutsideAGameClosesTheWindowAndOpensPlayUrl) {
  Send(EventKind::CloseRequest);
  screen().ExitConfirmed = true;
  form->Close();
  EXPECT_TRUE(form->Closed());
  EXPECT_FALSE(form->ProcessMessages());
  form->ExitStep();
  EXPECT_TRUE(machine.shellImpl.opened.empty());  // no "play.url" here
  std::ofstream(folder.path() / "Play.URL") << "[InternetShortcut]\n";
  form->ExitStep();
  ASSERT_EQ(machine.shellImpl.opened.size(), 1u);
  EXPECT_EQ(std::filesystem::path(machine.shellImpl.opened[0]).filename(), "Play.URL");
}

TEST_F(WindowEventsTest, LosingTheFocusStopsTheMusicAndPausesARunningGame) {
  struct Case {
    TGameState state;
    TGameState after;
    TGameState resume;
  };
  const Case cases[] = {
      {gsMenu, gsMenu, gsLevelBanner},
      {gsPlaying, gsPaused, gsPlaying},
      {gsDying, gsPaused, gsDying},
      {gsLevelBanner, gsPaused, gsLevelBanner},
      {gsGameOver, gsPaused, gsGameOver},
      {gsPaused, gsPaused, gsLevelBanner},
      {gsExitQuestion, gsExitQuestion, gsLevelBanner},
      {gsNameEntry, gsNameEntry, gsLevelBanner},
  };
  for (const Case& c : cases) {
    screen().GameState = c.state;
    screen().ResumeState = gsLevelBanner;
    form->CurrentSong = 7;
    machine.musicImpl.calls.clear();
    Send(EventKind::Deactivate);
    EXPECT_EQ(screen().GameState, c.after) << int(c.state);
    EXPECT_EQ(screen().ResumeState, c.resume) << int(c.state);
    // Both timers' handlers stop the song, whichever runs.
    ASSERT_EQ(machine.musicImpl.calls.size(), 2u);
    EXPECT_EQ(machine.musicImpl.calls[0].kind, Call::Stop);
    EXPECT_EQ(machine.musicImpl.calls[0].song, 7u);
    Send(EventKind::Activate);
  }
}

TEST_F(WindowEventsTest, RegainingTheFocusRestartsTheMusicOfTheStateAndHidesThePointerInPlay) {
  form->Config.MusicOn = true;
  machine.windowImpl.messages.clear();
  screen().GameState = gsPlaying;
  machine.windowImpl.cursorCounter = 0;
  Send(EventKind::Deactivate);
  screen().GameState = gsPlaying;  // as if P had been pressed meanwhile
  Send(EventKind::Activate);
  EXPECT_LT(machine.windowImpl.cursorCounter, 0);
  EXPECT_EQ(machine.windowImpl.warps.back(), std::make_pair(400, 300));
  // The game music is asked for; it is missing here, so music goes off with one message.
  ASSERT_FALSE(machine.musicImpl.calls.empty());
  EXPECT_EQ(machine.musicImpl.calls.back().kind, Call::Load);
  EXPECT_EQ(std::filesystem::path(machine.musicImpl.calls.back().path).filename(), "2.xm");
  EXPECT_EQ(machine.windowImpl.messages, std::vector<std::string>({"Can't load music."}));
  EXPECT_FALSE(form->Config.MusicOn);
}

TEST_F(WindowEventsTest, TheMenuTimerStopsWhileInactiveAndTheGameTimerDoesNot) {
  Step();
  const int presented = machine.windowImpl.presentCount;
  EXPECT_GT(presented, 0);
  Send(EventKind::Deactivate);
  Step();
  Step();
  EXPECT_EQ(machine.windowImpl.presentCount, presented);
  form->FrameTimer1.SetEnabled(false);
  form->FrameTimer2.SetEnabled(true);
  Step();
  EXPECT_EQ(machine.windowImpl.presentCount, presented + 1);
}

// A request to end from outside (SIGTERM as the desktop logs the player out, Ctrl+C): whatever
// the screen, no question is asked; the settings as they stand are written, the music stops, and
// the program ends as after a confirmed close, without a message and without opening the
// publisher's page on a desktop that is going away.
TEST_F(WindowEventsTest, AnEndRequestEndsTheProgramWithTheSettingsWrittenAndTheMusicStopped) {
  std::ofstream(folder.path() / "play.url") << "[InternetShortcut]\n";
  for (const TGameState state : {gsMenu, gsPlaying, gsExitQuestion, gsNameEntry}) {
    form.reset();
    Start();
    screen().GameState = state;
    form->CurrentSong = 7;
    form->Config.PlayerCountry.SetText("Iceland");  // typed in Options, not yet saved
    machine.musicImpl.calls.clear();
    const size_t messages = machine.windowImpl.messages.size();
    Send(EventKind::EndRequest);
    EXPECT_TRUE(form->Closed()) << int(state);
    EXPECT_FALSE(form->ProcessMessages()) << int(state);
    EXPECT_TRUE(form->FatalError().empty()) << int(state);
    EXPECT_NE(screen().MenuScreen, msExitDialog) << int(state);
    EXPECT_EQ(machine.windowImpl.messages.size(), messages) << int(state);
    ASSERT_FALSE(machine.musicImpl.calls.empty()) << int(state);
    EXPECT_EQ(machine.musicImpl.calls.back().kind, Call::Stop) << int(state);
    EXPECT_EQ(machine.musicImpl.calls.back().song, 7u) << int(state);
    const std::optional<ConfigRecord> saved = ReadConfigFile(folder.path() / "config.dat");
    ASSERT_TRUE(saved) << int(state);
    EXPECT_EQ(saved->PlayerCountry.Text(), "Iceland") << int(state);
    form->ExitStep();
    EXPECT_TRUE(machine.shellImpl.opened.empty()) << int(state);
  }
}

class DisplayModeTest : public WindowEventsTest {};

TEST_F(DisplayModeTest, FullScreenSavesThePlacementAndTheWindowGetsItBackOnce) {
  auto& window = machine.windowImpl;
  const platform::WindowPlacement original{300, 200, 800, 600, false, false};
  window.placement = original;
  Send(EventKind::SysCommandMaximise);
  EXPECT_FALSE(form->Config.WindowedMode);
  EXPECT_TRUE(window.fullScreen);
  window.placement = {0, 0, 1920, 1080, false, false};  // what full screen looks like

  machine.KeyDown(vk::Return, platform::ssAlt);
  form->ProcessMessages();
  EXPECT_TRUE(window.fullScreen);  // Alt+Enter acts on release
  machine.KeyUp(vk::Return, platform::ssAlt);
  form->ProcessMessages();
  EXPECT_TRUE(form->Config.WindowedMode);
  EXPECT_FALSE(window.fullScreen);
  EXPECT_EQ(window.placementsSet, std::vector<platform::WindowPlacement>({original}));

  // Without a saved placement the window stays where it is.
  form->ChangeMode();
  EXPECT_EQ(window.placementsSet.size(), 1u);
  EXPECT_TRUE(form->DrawSurface.ReadyToDraw());
}

TEST_F(DisplayModeTest, ACaptionDoubleClickSwitchesToFullScreenAndEnterWithoutAltDoesNot) {
  machine.KeyDown(vk::Return);
  machine.KeyUp(vk::Return);
  form->ProcessMessages();
  EXPECT_FALSE(machine.windowImpl.fullScreen);
  Send(EventKind::CaptionDoubleClick);
  EXPECT_TRUE(machine.windowImpl.fullScreen);
  EXPECT_FALSE(form->Config.WindowedMode);
}

TEST_F(DisplayModeTest, ARefusedFullScreenIsReportedAndTheGameStaysInItsWindow) {
  machine.windowImpl.refuseFullScreen = true;
  machine.windowImpl.messages.clear();
  Send(EventKind::SysCommandMaximise);
  EXPECT_EQ(machine.windowImpl.messages,
            std::vector<std::string>({"Display mode cannot be changed (800x600 32bit)"}));
  EXPECT_TRUE(form->Config.WindowedMode);
  EXPECT_FALSE(machine.windowImpl.fullScreen);
  EXPECT_TRUE(form->DrawSurface.ReadyToDraw());
}

TEST(SetCursorVisible, StepsTheDisplayCounterUntilThePointerIsAsAsked) {
  GameFixture game;
  TmainForm& form = game.Start();
  auto& window = game.machine.windowImpl;
  struct Case {
    int counter;
    bool visible;
    int after;
  };
  const Case cases[] = {
      {-3, true, 0},  {-1, true, 0},  {0, true, 1},    {2, true, 3},
      {2, false, -1}, {0, false, -1}, {-1, false, -1}, {-5, false, -4},
  };
  for (const Case& c : cases) {
    window.cursorCounter = c.counter;
    form.SetCursorVisible(c.visible);
    EXPECT_EQ(window.cursorCounter, c.after) << c.counter << " " << c.visible;
  }
}

}  // namespace
