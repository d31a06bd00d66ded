// The gamepad in the menus and the game, on the headless machine: its controls arrive as the SDL
// backend reports them (tests/engine/platform/sdl_gamepad_test.cpp shows that side).
#include <gtest/gtest.h>

#include "tests/game/gameplay_fixture.h"

namespace {

using platform::PadButton;

class GamepadTest : public GameplayTest {
 protected:
  void Push(PadButton button) {
    machine.PadDown(button);
    machine.PadUp(button);
    form->ProcessMessages();
  }
  void HoldPad(PadButton button) {
    machine.PadDown(button);
    form->ProcessMessages();
  }
  void LetGoPad(PadButton button) {
    machine.PadUp(button);
    form->ProcessMessages();
  }
  // A game in play with the pointer and keyboard left alone.
  void StartGameWithThePad() {
    ASSERT_EQ(screen().MenuFocus, miNewGame);
    Push(PadButton::A);
    ASSERT_EQ(State(), gsLevelBanner);
    PassLevelBanner();
  }
};

TEST_F(GamepadTest, DownTwiceAndAOpenScoresAndBComesBack) {
  Push(PadButton::Down);
  Push(PadButton::Down);
  EXPECT_EQ(screen().MenuFocus, miScores);
  EXPECT_EQ(ShownSlots(menu().MainItems), 1 << (miScores - 1));
  Push(PadButton::A);
  EXPECT_EQ(screen().MenuScreen, msScores);
  Push(PadButton::B);
  EXPECT_EQ(screen().MenuScreen, msMainMenu);
  EXPECT_EQ(screen().MenuFocus, miScores);
  // Back goes back as B does; Start chooses as A does.
  Push(PadButton::Start);
  EXPECT_EQ(screen().MenuScreen, msScores);
  Push(PadButton::Back);
  EXPECT_EQ(screen().MenuScreen, msMainMenu);
}

TEST_F(GamepadTest, TheDirectionsMoveTheFocusRoundAndSwitchOptions) {
  Push(PadButton::Up);  // from the first item round to the last
  EXPECT_EQ(screen().MenuFocus, miExit);
  Push(PadButton::Down);
  EXPECT_EQ(screen().MenuFocus, miNewGame);
  Push(PadButton::Down);
  Push(PadButton::A);
  ASSERT_EQ(screen().MenuScreen, msOptions);
  const uint8_t windowed = config().WindowedMode;
  Push(PadButton::Right);  // the focused switch: the display mode
  EXPECT_NE(config().WindowedMode, windowed);
  Push(PadButton::Left);
  EXPECT_EQ(config().WindowedMode, windowed);
  Push(PadButton::B);  // leaves Options the way its Back item does
  EXPECT_EQ(screen().MenuScreen, msMainMenu);
  EXPECT_EQ(screen().MenuFocus, miOptions);
}

TEST_F(GamepadTest, AHeldControlActsOnceAndHoldsBackOtherPressesAsAHeldKeyDoes) {
  HoldPad(PadButton::Down);
  EXPECT_EQ(screen().MenuFocus, miOptions);
  HoldPad(PadButton::A);  // while Down is held: nothing
  Press(vk::Down);        // nor a key
  EXPECT_EQ(screen().MenuScreen, msMainMenu);
  EXPECT_EQ(screen().MenuFocus, miOptions);
  LetGoPad(PadButton::Down);
  LetGoPad(PadButton::A);
  Push(PadButton::Down);
  EXPECT_EQ(screen().MenuFocus, miScores);
  // A control let go that was never taken as a key (it went down unheard) changes nothing.
  LetGoPad(PadButton::Right);
  EXPECT_FALSE(input().KeyLatch);
}

TEST_F(GamepadTest, BOnTheMainMenuAsksToLeaveAndThePadAnswersTheQuestion) {
  Push(PadButton::B);
  EXPECT_EQ(screen().MenuScreen, msExitDialog);
  EXPECT_FALSE(form->Closed());
  Push(PadButton::Back);  // the question's Cancel
  EXPECT_EQ(screen().MenuScreen, msMainMenu);
  Push(PadButton::Back);
  Push(PadButton::Right);  // to OK's neighbour and back
  Push(PadButton::Left);
  EXPECT_EQ(screen().MenuFocus, diOk);
  Push(PadButton::A);
  EXPECT_TRUE(form->Closed());
}

TEST_F(GamepadTest, BLeavesTheBossKeyPromptWhichOnlyTheKeyboardCanAnswer) {
  config().BossKey = vk::F12;
  ChooseMainItem(miOptions);
  for (int i = 0; i < 4; ++i) Push(PadButton::Down);
  Push(PadButton::A);
  ASSERT_EQ(screen().MenuScreen, msBossKeyPrompt);
  Push(PadButton::A);  // as Enter: the prompt stays
  Push(PadButton::Start);
  Push(PadButton::Up);
  EXPECT_EQ(screen().MenuScreen, msBossKeyPrompt);
  Push(PadButton::B);
  EXPECT_EQ(screen().MenuScreen, msOptions);
  EXPECT_EQ(screen().MenuFocus, oiBossKey);
  EXPECT_EQ(config().BossKey, vk::F12);
  EXPECT_FALSE(Shown(menu().ClosingWindow));
  // Esc on the keyboard keeps its meaning there: nothing.
  Push(PadButton::A);
  Press(vk::Escape);
  EXPECT_EQ(screen().MenuScreen, msBossKeyPrompt);
}

TEST_F(GamepadTest, StartPausesAndResumesAndBackAsksToLeaveTheGame) {
  StartGameWithThePad();
  Push(PadButton::Start);
  EXPECT_EQ(State(), gsPaused);
  Push(PadButton::Start);
  EXPECT_EQ(State(), gsPlaying);
  // The controls that steer and fire are no commands in the game.
  for (const PadButton button : {PadButton::A, PadButton::B, PadButton::Up, PadButton::Down,
                                 PadButton::Left, PadButton::Right}) {
    Push(button);
    EXPECT_EQ(State(), gsPlaying) << static_cast<int>(button);
  }
  Push(PadButton::Back);
  EXPECT_EQ(State(), gsExitQuestion);
  EXPECT_EQ(screen().MenuScreen, msExitDialog);
  // The question is answered with the pad as in the menus.
  Push(PadButton::B);
  EXPECT_EQ(State(), gsPlaying);
}

// A is the fire button in the game: a player still firing as the game ends must not answer the
// exit question or the result dialog with it. A press that began during play never answers, nor
// one within half a second of the question or dialog being shown; a deliberate press after that
// does.
TEST_F(GamepadTest, FireHeldOrPressedAsTheGameEndsAnswersNoQuestionOrDialog) {
  StartGameWithThePad();
  Play().Score = 900;
  HoldPad(PadButton::A);  // firing
  Push(PadButton::Back);
  ASSERT_EQ(State(), gsExitQuestion);
  Frames(40);
  LetGoPad(PadButton::A);
  EXPECT_EQ(State(), gsExitQuestion);
  // Cancelled with B, asked again at once, and A pressed anew at once.
  Push(PadButton::B);
  ASSERT_EQ(State(), gsPlaying);
  Push(PadButton::Back);
  ASSERT_EQ(State(), gsExitQuestion);
  Frames(30);  // 480 ms
  Push(PadButton::A);
  EXPECT_EQ(State(), gsExitQuestion);
  Frames(2);
  Push(PadButton::A);  // OK: the game ends
  ASSERT_EQ(State(), gsGameOver);

  for (int frame = 0; frame < 200 && State() == gsGameOver; ++frame) Step(16);
  ASSERT_EQ(State(), gsNameEntry);
  ASSERT_EQ(screen().MenuFocus, riName);
  Push(PadButton::A);
  Frames(30);
  Push(PadButton::A);
  EXPECT_EQ(State(), gsNameEntry);
  Frames(2);
  Push(PadButton::A);  // takes the result, as Enter in the name field does
  EXPECT_EQ(State(), gsSendQuestion);
}

TEST_F(GamepadTest, FiringWithAHeldLeavesTheKeyboardFree) {
  StartGameWithThePad();
  HoldPad(PadButton::A);  // as joystick button 1 it fires; as a command it is nothing
  Press(vk::Letter('P'));
  EXPECT_EQ(State(), gsPaused);
  Press(vk::Letter('P'));
  EXPECT_EQ(State(), gsPlaying);
  LetGoPad(PadButton::A);
}

TEST_F(GamepadTest, AControlHeldIntoTheGameIsLetGoAsTheKeyItWentDownAs) {
  HoldPad(PadButton::A);  // Enter on New game
  ASSERT_EQ(State(), gsLevelBanner);
  EXPECT_TRUE(input().KeyLatch);
  LetGoPad(PadButton::A);  // released in the game: Enter's release ends the latch
  EXPECT_FALSE(input().KeyLatch);
  Press(vk::Letter('P'));
  EXPECT_EQ(State(), gsPaused);
}

// The joystick rules of the game hold for a pad: the stick steers and button 1 (A) fires.
TEST_F(GamepadTest, InTheGameTheStickSteersAndButtonOneFires) {
  StartQuietGame();
  platform::headless::HeadlessJoystick& stick = machine.joystickImpl;
  stick.attached = true;
  stick.reading.x = {32768, 0, 65535};
  stick.reading.y = {32768, 0, 65535};
  stick.reading.z = {32768, 0, 65535};
  const int x = Hero().X;
  const int y = Hero().Y;
  stick.reading.x.position = 65535;
  stick.reading.y.position = 0;
  Frames(5);
  EXPECT_GT(Hero().X, x + 5 * 7);  // 8 a frame, less the 1 of the drift, and gaining
  EXPECT_LT(Hero().Y, y - 5 * 7);
  stick.reading.x.position = 32768 + 16000;  // inside the joystick's dead zone of half the travel
  stick.reading.y.position = 32768;
  const int restX = Hero().X;
  Frames(1);
  EXPECT_LT(Hero().X, restX + 8);
  EXPECT_EQ(CountLive<THeroWeaponSprite>(), 0);
  stick.reading.buttons = 1;  // button 1
  Frames(9);
  EXPECT_EQ(CountLive<THeroWeaponSprite>(), 2);  // a shot every 8 frames
  // Plugged out while firing: the dragon goes on, no longer steered or firing.
  stick.attached = false;
  Frames(1);
  const int shots = CountLive<THeroWeaponSprite>();
  Frames(9);
  EXPECT_EQ(State(), gsPlaying);
  EXPECT_LE(CountLive<THeroWeaponSprite>(), shots);
}

}  // namespace
