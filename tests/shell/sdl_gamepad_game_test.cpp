// The whole program on SDL (its dummy drivers) with a virtual gamepad: SDL's game controller layer
// all the way to the menus and the dragon.
#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>

#include "engine/platform/sdl/sdl_platform.h"
#include "game/hero_sprite.h"
#include "game/hero_weapon_sprite.h"
#include "shell/main_form.h"
#include "tests/engine/platform/virtual_stick.h"
#include "tests/support/game_fixture.h"
#include "tests/support/test_song.h"

namespace {

class SdlGamepadGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReadSticksInTheBackground();
    WriteTestSoundArchive(folder.path() / "sound" / "gamesound.dxw");
    test_data::WriteGameData(folder.path());
    WriteTestSong(folder.path() / "sound" / "1.xm");
    WriteTestSong(folder.path() / "sound" / "2.xm");
    machine = platform::sdl::CreateSdlPlatform(SKARVEL_FONT_DIR);
  }
  void TearDown() override {
    form.reset();
    pad.reset();
    machine.reset();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
  }

  void Start() {
    form = std::make_unique<TmainForm>(*machine);
    // The dummy driver's window never has the keyboard focus, which the input states otherwise
    // wait for.
    form->GameInput1.ActiveOnly = false;
    Pump();
  }
  // Lets the program take what SDL has for it now.
  void Pump() {
    form->ProcessMessages();
    form->ProcessMessages();
  }
  void Push(int button) {
    pad->Button(button, true);
    Pump();
    pad->Button(button, false);
    Pump();
  }
  // Runs the program's loop in real time until `done`; false after twenty seconds without (a
  // machine busy with other tests draws frames slowly).
  bool RunUntil(const std::function<bool()>& done) {
    const Uint32 start = SDL_GetTicks();
    while (!done()) {
      if (SDL_GetTicks() - start > 20000) return false;
      form->ProcessMessages();
      SDL_Delay(1);
    }
    return true;
  }
  // Runs `n` game frames.
  void Frames(int n) {
    const auto until = form->Play.LevelElapsed + n * FrameInterval;
    ASSERT_TRUE(RunUntil([&] { return form->Play.LevelElapsed >= until; }));
  }
  THeroSprite& Hero() { return *form->World.Hero; }
  int Shots() {
    int shots = 0;
    TSpriteEngine& engine = form->SpriteEngine1.Root();
    for (int32_t i = 0; i < engine.ChildCount(); ++i) {
      const auto* shot = dynamic_cast<THeroWeaponSprite*>(engine.Child(i));
      if (shot != nullptr && !shot->Killed()) ++shots;
    }
    return shots;
  }

  InGameFolder folder;
  std::unique_ptr<platform::sdl::SdlPlatform> machine;
  std::unique_ptr<VirtualPad> pad;
  std::unique_ptr<TmainForm> form;
};

TEST_F(SdlGamepadGameTest, DpadDownTwiceAndAOpenScoresAndBComesBack) {
  pad = std::make_unique<VirtualPad>();  // plugged in before the game starts
  Start();
  ASSERT_EQ(form->Screen.MenuFocus, miNewGame);
  Push(VirtualPad::Down);
  Push(VirtualPad::Down);
  EXPECT_EQ(form->Screen.MenuFocus, miScores);
  Push(VirtualPad::A);
  EXPECT_EQ(form->Screen.MenuScreen, msScores);
  Push(VirtualPad::B);
  EXPECT_EQ(form->Screen.MenuScreen, msMainMenu);
  EXPECT_EQ(form->Screen.MenuFocus, miScores);

  // The left stick: one push, one step, however long it is held.
  pad->Axis(VirtualPad::LeftY, 32767);
  Pump();
  Pump();
  pad->Axis(VirtualPad::LeftY, 0);
  Pump();
  EXPECT_EQ(form->Screen.MenuFocus, miHelp);
}

TEST_F(SdlGamepadGameTest, PadsPluggedInAndOutDuringAGameSteerFireAndPause) {
  Start();
  pad = std::make_unique<VirtualPad>();  // plugged in at the menu
  Pump();
  Push(VirtualPad::Start);  // chooses New game
  ASSERT_EQ(form->Screen.GameState, gsLevelBanner);
  form->Play.EnemyDelay = std::numeric_limits<uint16_t>::max();
  form->Play.BonusDelay = std::numeric_limits<uint16_t>::max();
  ASSERT_TRUE(RunUntil([&] { return form->Screen.GameState == gsPlaying; }));

  // The stick steers and A fires: joystick 0's rules, read through the pad's mapping.
  const int x = Hero().X;
  pad->Axis(VirtualPad::LeftX, 32767);
  pad->Button(VirtualPad::A, true);
  Frames(5);
  EXPECT_GT(Hero().X, x + 5 * 7);
  EXPECT_GE(Shots(), 1);
  EXPECT_EQ(form->Screen.GameState, gsPlaying);

  // Pulled out while steering and firing: the game goes on, no longer steered or firing.
  pad.reset();
  Frames(2);
  const int shots = Shots();
  const int glide = Hero().X;
  Frames(10);
  EXPECT_EQ(form->Screen.GameState, gsPlaying);
  EXPECT_LE(Shots(), shots);
  EXPECT_LE(Hero().X, glide);
  EXPECT_FALSE(form->GameInput1.Held(isRight));

  // Another pad plugged in steers at once, with its D-pad too, and Start pauses.
  pad = std::make_unique<VirtualPad>();
  Pump();
  const int before = Hero().X;
  pad->Button(VirtualPad::Left, true);
  Frames(3);
  EXPECT_LT(Hero().X, before - 3 * 8);
  pad->Button(VirtualPad::Left, false);
  Push(VirtualPad::Start);
  EXPECT_EQ(form->Screen.GameState, gsPaused);
  Push(VirtualPad::Start);
  EXPECT_EQ(form->Screen.GameState, gsPlaying);
}

}  // namespace
