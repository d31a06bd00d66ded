// The program's start-up in a folder without settings or music.
#include <gtest/gtest.h>

#include "engine/base/exception.h"
#include "settings/config_file.h"
#include "tests/support/game_fixture.h"
#include "tests/support/test_song.h"

namespace {

TEST(StartUp, AFirstStartWithoutMusicOpensTheMenuInAWindowAndSaysOnceThatMusicIsMissing) {
  GameFixture game;
  TmainForm& form = game.Start();
  EXPECT_EQ(form.Screen.GameState, gsMenu);
  EXPECT_EQ(form.Screen.ResumeState, gsMenu);
  EXPECT_EQ(form.Screen.MenuScreen, msMainMenu);
  EXPECT_EQ(form.Screen.MenuFocus, 1);
  EXPECT_TRUE(form.Config.WindowedMode);
  EXPECT_FALSE(game.machine.windowImpl.fullScreen);
  EXPECT_TRUE(form.FrameTimer1.Enabled());
  EXPECT_FALSE(form.FrameTimer2.Enabled());
  EXPECT_EQ(form.GameInput1.Keyboard.Assigns[isButton(1)][0], vk::Control);

  EXPECT_EQ(game.machine.windowImpl.messages, std::vector<std::string>({"Can't load music."}));
  EXPECT_FALSE(form.Config.MusicOn);
  EXPECT_EQ(form.CurrentSong, 0u);

  // The menu is shown once at start-up, before the sounds and the song are read; then the menu
  // loop runs at its interval and presents the same menu.
  EXPECT_EQ(game.machine.windowImpl.presentCount, 1);
  EXPECT_EQ(game.machine.windowImpl.Pixel(400, 300), test_data::PictureColor("menu"));
  game.Step(15);
  EXPECT_EQ(game.machine.windowImpl.presentCount, 1);
  game.Step(1);
  EXPECT_EQ(game.machine.windowImpl.presentCount, 2);
  EXPECT_EQ(game.machine.windowImpl.Pixel(400, 300), test_data::PictureColor("menu"));

  // Losing and regaining the focus does not ask again: music is off now.
  platform::Event event;
  event.kind = platform::EventKind::Deactivate;
  game.machine.Push(event);
  event.kind = platform::EventKind::Activate;
  game.machine.Push(event);
  form.ProcessMessages();
  EXPECT_EQ(game.machine.windowImpl.messages.size(), 1u);
}

}  // namespace

namespace {

using Call = platform::headless::HeadlessMusic::Call;

TEST(StartUp, TheMenuMusicPlaysStopsWithTheFocusAndStartsAgainFromItsBeginning) {
  GameFixture game;
  std::filesystem::rename(game.folder.path() / "sound", game.folder.path() / "Sound");
  WriteTestSong(game.folder.path() / "Sound" / "1.XM");
  TmainForm& form = game.Start();
  auto& music = game.machine.musicImpl;
  EXPECT_TRUE(game.machine.windowImpl.messages.empty());
  ASSERT_NE(form.CurrentSong, 0u);
  EXPECT_EQ(music.playing, form.CurrentSong);

  platform::Event event;
  event.kind = platform::EventKind::Deactivate;
  game.machine.Push(event);
  form.ProcessMessages();
  EXPECT_EQ(music.playing, 0u);

  const uint32_t before = form.CurrentSong;
  music.calls.clear();
  event.kind = platform::EventKind::Activate;
  game.machine.Push(event);
  form.ProcessMessages();
  // Loaded anew and played from its beginning.
  ASSERT_EQ(music.calls.size(), 2u);
  EXPECT_EQ(music.calls[0].kind, Call::Load);
  EXPECT_EQ(music.calls[1].kind, Call::Play);
  EXPECT_NE(form.CurrentSong, before);
  EXPECT_EQ(music.playing, form.CurrentSong);
}

TEST(StartUp, WithMusicSwitchedOffNothingIsLoaded) {
  GameFixture game;
  WriteTestSong(game.folder.path() / "sound" / "1.xm");
  ConfigRecord record;
  SetDefaultConfig(record);
  record.MusicOn = 0;
  ASSERT_EQ(WriteConfigFile("config.dat", record), "");
  TmainForm& form = game.Start();
  EXPECT_EQ(form.CurrentSong, 0u);
  EXPECT_TRUE(game.machine.musicImpl.calls.empty());
}

}  // namespace

namespace {

TEST(StartUp, WithoutItsSoundArchiveTheGameSaysSoOnceAndGoesOnSilently) {
  GameFixture game;
  std::filesystem::remove(game.folder.path() / "sound" / "gamesound.dxw");
  WriteTestSong(game.folder.path() / "sound" / "1.xm");
  TmainForm& form = game.Start();
  ASSERT_EQ(game.machine.windowImpl.messages.size(), 1u);
  EXPECT_NE(game.machine.windowImpl.messages[0].find("gamesound.dxw"), std::string::npos);
  form.PlaySound("menu");  // nothing to play, nothing more to say
  game.Step();
  EXPECT_EQ(game.machine.windowImpl.messages.size(), 1u);
  EXPECT_EQ(form.Screen.GameState, gsMenu);
}

TEST(StartUp, TheSoundArchiveIsLoadedAndEffectsPlayOnlyWithSoundsOn) {
  GameFixture game;
  TmainForm& form = game.Start();
  EXPECT_EQ(form.WaveList1.Items().Count(), 10);
  form.Config.SoundOn = 0;
  form.PlaySound("menu");
  EXPECT_TRUE(form.WaveList1.Items().Find("menu").PlayingCopies().empty());
  form.Config.SoundOn = 1;
  form.PlaySound("menu");
  EXPECT_EQ(form.WaveList1.Items().Find("menu").PlayingCopies().size(), 1u);
  EXPECT_THROW(form.PlaySound("nosuchsound"), EWaveCollectionError);
}

}  // namespace

namespace {

// The menu's opaque background is drawn over what the window's memory held, uncleared: the first
// frame shows the same picture whatever that was.
TEST(StartUp, TheFirstMenuFrameShowsTheSamePictureWhateverTheWindowsMemoryHeld) {
  std::vector<uint32_t> shown[2];
  for (int i = 0; i < 2; ++i) {
    GameFixture game;
    game.machine.windowImpl.lent.assign(800 * 600, i == 0 ? 0u : 0xABCDEFu);
    TmainForm& form = game.Start();
    ASSERT_NE(form.Menu.Background.Get(), nullptr);
    EXPECT_TRUE(form.Menu.Background->SolidDrawnRect().has_value());
    ASSERT_EQ(game.machine.windowImpl.presentCount, 1);
    shown[i] = game.machine.windowImpl.frame;
  }
  ASSERT_EQ(shown[0].size(), 800u * 600u);
  EXPECT_EQ(shown[0], shown[1]);
}

}  // namespace
