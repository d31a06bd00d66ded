// The Options screen: its switches, the country field, the boss key and the way back.
#include "settings/config_file.h"
#include "tests/support/menu_fixture.h"
#include "tests/support/test_song.h"

namespace {

using test_data::PictureColor;

class OptionsTest : public MenuTest {
 protected:
  void OpenOptions() {
    ChooseMainItem(miOptions);
    ASSERT_EQ(screen().MenuScreen, msOptions);
  }
  void Restart(const ConfigRecord& settings) {
    form.reset();
    ASSERT_EQ(WriteConfigFile("config.dat", settings), "");
    Start();
  }
  ConfigRecord Saved() { return ReadConfigFile("config.dat").value(); }
  // Which of each pair of switch pictures is shown: window, music on, sound on.
  std::array<bool, 3> Switches() {
    const OptionSwitches& s = menu().Switches;
    EXPECT_NE(Shown(s.Window), Shown(s.Full));
    EXPECT_NE(Shown(s.MusicOn), Shown(s.MusicOff));
    EXPECT_NE(Shown(s.SoundOn), Shown(s.SoundOff));
    return {Shown(s.Window), Shown(s.MusicOn), Shown(s.SoundOn)};
  }
  // The presented pixels of a rectangle, row by row.
  std::vector<uint32_t> Region(int left, int top, int width, int height) {
    Step(16);
    std::vector<uint32_t> pixels;
    for (int y = top; y < top + height; ++y) {
      for (int x = left; x < left + width; ++x) pixels.push_back(Pixel(x, y));
    }
    return pixels;
  }
};

TEST_F(OptionsTest, OpensOverTheMainMenuWithTheSwitchesOfTheSettingsAndAFocusFrame) {
  OpenOptions();
  EXPECT_EQ(screen().MainFocus, miOptions);
  EXPECT_EQ(screen().MenuFocus, 1);
  // The main menu stays behind with its Options item lit; only Back has a picture of its own.
  EXPECT_EQ(ShownSlots(menu().MainItems), 0b000010);
  for (int i = 1; i <= 5; ++i) EXPECT_FALSE(menu().CurrentItems[i]) << i;
  ASSERT_TRUE(menu().CurrentItems[oiBack]);
  EXPECT_FALSE(menu().CurrentItems[oiBack]->Visible);
  EXPECT_EQ(menu().ItemRects.At(msOptions, oiBack).Width, 96);
  // Music could not be loaded at start (no song here), sounds are on, the game is in a window.
  EXPECT_EQ(Switches(), (std::array<bool, 3>{true, false, true}));

  EXPECT_EQ(PixelAfterFrame(700, 480), PictureColor("optionsback"));
  EXPECT_EQ(Pixel(60, 250), PictureColor("options"));
  EXPECT_EQ(Pixel(470, 190), PictureColor("window"));
  EXPECT_EQ(Pixel(600, 185), 0xFF0000u);                    // the red frame around item 1
  EXPECT_EQ(Pixel(600, 200), PictureColor("optionsback"));  // the full-screen switch is hidden

  // The frame follows the focus; on Back the picture shows instead.
  Press(vk::Down);
  EXPECT_EQ(PixelAfterFrame(500, 240), 0xFF0000u);
  EXPECT_NE(Pixel(600, 185), 0xFF0000u);
  Press(vk::Up);
  Press(vk::Up);
  EXPECT_EQ(screen().MenuFocus, oiBack);
  EXPECT_TRUE(Shown(menu().CurrentItems[oiBack]));
  EXPECT_EQ(PixelAfterFrame(320, 506), PictureColor("backactive"));
}

TEST_F(OptionsTest, InFullScreenItShowsFullAndTheArrowsSwitchTheModeAndSaveIt) {
  ConfigRecord settings = Saved();
  settings.WindowedMode = 0;
  Restart(settings);
  OpenOptions();
  EXPECT_FALSE(Switches()[0]);
  Press(vk::Right);
  EXPECT_TRUE(config().WindowedMode);
  EXPECT_FALSE(machine.windowImpl.fullScreen);
  EXPECT_TRUE(Switches()[0]);
  EXPECT_EQ(Saved().WindowedMode, 1);
  Press(vk::Left);
  EXPECT_TRUE(machine.windowImpl.fullScreen);
  EXPECT_FALSE(Switches()[0]);
  EXPECT_EQ(Saved().WindowedMode, 0);
  // Alt+Enter on Options swaps the pictures as well.
  Press(vk::Return, platform::ssAlt);
  EXPECT_TRUE(Switches()[0]);
}

TEST_F(OptionsTest, MusicThatCannotBeLoadedStaysOffAndASongThatCanPlaysAndStops) {
  OpenOptions();
  Messages().clear();
  Press(vk::Down);
  Press(vk::Return);
  EXPECT_EQ(Messages(), std::vector<std::string>({"Can't load music."}));
  EXPECT_FALSE(config().MusicOn);
  EXPECT_FALSE(Switches()[1]);
  EXPECT_EQ(Saved().MusicOn, 0);

  WriteTestSong(folder.path() / "sound" / "1.xm");
  Press(vk::Return);
  EXPECT_TRUE(config().MusicOn);
  EXPECT_TRUE(Switches()[1]);
  EXPECT_NE(form->CurrentSong, 0u);
  EXPECT_EQ(machine.musicImpl.playing, form->CurrentSong);
  EXPECT_EQ(Saved().MusicOn, 1);
  Press(vk::Right);
  EXPECT_FALSE(config().MusicOn);
  EXPECT_EQ(machine.musicImpl.playing, 0u);
  EXPECT_FALSE(Switches()[1]);
  EXPECT_EQ(Saved().MusicOn, 0);
}

TEST_F(OptionsTest, SwitchingSoundsOffSilencesTheMenuAndIsSaved) {
  OpenOptions();
  Press(vk::Down);
  Press(vk::Down);
  const int plays = Plays("menu");
  Press(vk::Return);
  EXPECT_EQ(Plays("menu"), plays + 1);  // heard before it goes off
  EXPECT_FALSE(config().SoundOn);
  EXPECT_FALSE(Switches()[2]);
  EXPECT_EQ(Saved().SoundOn, 0);
  Press(vk::Down);
  Press(vk::Up);
  EXPECT_EQ(Plays("menu"), plays + 1);
}

TEST_F(OptionsTest, TheCountryFieldTakesTenLettersDigitsAndBlanksAndShowsThemInCapitals) {
  OpenOptions();
  for (int i = 0; i < 3; ++i) Press(vk::Down);
  Type("no");  // not editing yet
  EXPECT_EQ(config().PlayerCountry.Text(), "");
  Press(vk::Return);
  EXPECT_TRUE(input().TextEntryActive);
  Type("Nor-way 7!\xE9_");
  EXPECT_EQ(config().PlayerCountry.Text(), "Norway 7");
  Type("abc");
  EXPECT_EQ(config().PlayerCountry.Text(), "Norway 7ab");  // the eleventh character is dropped
  // Backspace deletes on every press and repeat, even while the latch holds; empty stays empty.
  Hold(vk::Back);
  for (int i = 0; i < 12; ++i) Hold(vk::Back, true);
  Release(vk::Back);
  EXPECT_EQ(config().PlayerCountry.Text(), "");
  Press(vk::Back);
  EXPECT_EQ(config().PlayerCountry.Text(), "");

  // Drawn in capitals, whatever was typed.
  Type("abc");
  Press(vk::Return);  // editing ends: no cursor
  EXPECT_FALSE(input().TextEntryActive);
  const std::vector<uint32_t> typedSmall = Region(535, 350, 210, 30);
  config().PlayerCountry.SetText("ABC");
  EXPECT_EQ(Region(535, 350, 210, 30), typedSmall);
  config().PlayerCountry.SetText("ABD");
  EXPECT_NE(Region(535, 350, 210, 30), typedSmall);

  // Moving away from the field ends editing; Escape leaves and saves what was typed.
  Press(vk::Return);
  Press(vk::Up);
  EXPECT_FALSE(input().TextEntryActive);
  Type("x");
  EXPECT_EQ(config().PlayerCountry.Text(), "ABD");
  Press(vk::Down);
  Press(vk::Return);
  Type("E");
  Press(vk::Escape);
  EXPECT_FALSE(input().TextEntryActive);
  EXPECT_EQ(screen().MenuScreen, msMainMenu);
  EXPECT_EQ(Saved().PlayerCountry.Text(), "ABDE");
}

TEST_F(OptionsTest, TheCursorBlinksWhileTheCountryIsEdited) {
  OpenOptions();
  for (int i = 0; i < 3; ++i) Press(vk::Down);
  Press(vk::Return);
  // Half of every 32 frames the text carries a cursor; the other half it does not.
  std::vector<std::vector<uint32_t>> frames;
  for (int frame = 0; frame < 32; ++frame) frames.push_back(Region(535, 350, 210, 30));
  EXPECT_EQ(frames[0], frames[14]);
  EXPECT_NE(frames[14], frames[15]);
  EXPECT_EQ(frames[15], frames[30]);
  EXPECT_NE(frames[30], frames[31]);
}

TEST_F(OptionsTest, TheBossKeyPromptTakesTheNextOrdinaryKeyAndOptionsSavesItOnTheWayOut) {
  OpenOptions();
  for (int i = 0; i < 4; ++i) Press(vk::Down);
  Press(vk::Return);
  EXPECT_EQ(screen().MenuScreen, msBossKeyPrompt);
  EXPECT_EQ(screen().ReturnScreen, msOptions);
  EXPECT_TRUE(Shown(menu().ClosingWindow));
  // The prompt's own frame, without the OK and Cancel of the questions: it waits for a key.
  EXPECT_EQ(PixelAfterFrame(225, 420), PictureColor("keyprompt"));

  // Arrows, Escape, Enter and the modifiers keep their meaning (Enter only sounds).
  const int plays = Plays("menu");
  for (uint16_t key : {vk::Up, vk::Down, vk::Left, vk::Right, vk::Escape, vk::Return, vk::Shift,
                       vk::Control, vk::Menu}) {
    Press(key);
    EXPECT_EQ(screen().MenuScreen, msBossKeyPrompt) << key;
    EXPECT_EQ(config().BossKey, vk::F12) << key;
  }
  EXPECT_EQ(Plays("menu"), plays + 1);

  Press(vk::Letter('K'));
  EXPECT_EQ(config().BossKey, vk::Letter('K'));
  EXPECT_EQ(form->BossKeyName, "K");
  EXPECT_EQ(screen().MenuScreen, msOptions);
  EXPECT_EQ(screen().MenuFocus, oiBossKey);
  EXPECT_FALSE(Shown(menu().ClosingWindow));
  EXPECT_EQ(Saved().BossKey, vk::F12);  // not yet
  // Any other key is taken and shows its own name, also after a restart.
  Press(vk::Return);
  Press(vk::Tab);
  EXPECT_EQ(config().BossKey, vk::Tab);
  EXPECT_EQ(form->BossKeyName, "Tab");
  Press(vk::Escape);
  EXPECT_EQ(Saved().BossKey, vk::Tab);
  Restart(Saved());
  EXPECT_EQ(form->BossKeyName, "Tab");
  OpenOptions();
  for (int i = 0; i < 4; ++i) Press(vk::Down);
  Press(vk::Return);
  Press(vk::Letter('B'));
  EXPECT_EQ(form->BossKeyName, "B");
  Press(vk::Escape);
  EXPECT_EQ(Saved().BossKey, vk::Letter('B'));
  // The questions' frame is the one with answers again.
  Press(vk::Escape);
  ASSERT_EQ(screen().MenuScreen, msExitDialog);
  EXPECT_EQ(PixelAfterFrame(225, 420), PictureColor("console"));
}

TEST_F(OptionsTest, ALetterTypedIntoTheCountryIsTypedEvenWhenItIsTheBossKey) {
  config().BossKey = vk::Letter('B');
  OpenOptions();
  for (int i = 0; i < 3; ++i) Press(vk::Down);
  Press(vk::Return);
  ASSERT_TRUE(input().TextEntryActive);
  // A letter key goes down, types its character and comes up, as a keyboard does it.
  const auto typeKey = [&](uint16_t key, char character) {
    Hold(key);
    Type(std::string(1, character));
    Release(key);
  };
  typeKey(vk::Letter('N'), 'n');
  typeKey(vk::Letter('B'), 'b');
  typeKey(vk::Letter('B'), 'B');
  EXPECT_EQ(config().PlayerCountry.Text(), "nbB");
  EXPECT_EQ(machine.windowImpl.minimiseCount, 0);
  // Out of the field the key is the boss key again.
  Press(vk::Down);
  ASSERT_FALSE(input().TextEntryActive);
  Press(vk::Letter('B'));
  EXPECT_EQ(machine.windowImpl.minimiseCount, 1);
  // A boss key that types nothing acts while the field is being typed into.
  config().BossKey = vk::F12;
  Press(vk::Up);
  Press(vk::Return);
  ASSERT_TRUE(input().TextEntryActive);
  Press(vk::F12);
  EXPECT_EQ(machine.windowImpl.minimiseCount, 2);
  EXPECT_EQ(config().PlayerCountry.Text(), "nbB");
}

TEST_F(OptionsTest, BackSavesTakesTheScreenDownAndReturnsToTheItemThatOpenedIt) {
  OpenOptions();
  const TSpriteRef<TMenuItem> window = menu().Switches.Window;
  config().PlayerCountry.SetText("Sapmi");
  Press(vk::Up);
  Press(vk::Return);
  EXPECT_EQ(screen().MenuScreen, msMainMenu);
  EXPECT_EQ(screen().MenuFocus, miOptions);
  EXPECT_EQ(Saved().PlayerCountry.Text(), "Sapmi");
  Step(16);  // the killed sprites are freed by the next frame
  EXPECT_FALSE(window);
  EXPECT_FALSE(menu().SubBackground);
  EXPECT_EQ(Pixel(700, 480), PictureColor("menu"));
  for (int i = 1; i <= MaxMenuItems; ++i) {
    EXPECT_EQ(menu().CurrentItems[i].Get(), menu().MainItems[i].Get());
  }
  EXPECT_EQ(ShownSlots(menu().CurrentItems), 0b000010);
  Press(vk::Down);
  EXPECT_EQ(screen().MenuFocus, miScores);
}

}  // namespace
