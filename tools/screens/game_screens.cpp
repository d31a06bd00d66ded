// Stages scenes of the real program in the headless backend, with the generated pictures, and
// writes each presented frame as a PPM picture: the menu, a day and a night level, a level-5 field
// with its volcanoes, the dragon with its shield, and "GAME OVER". Run it in the game's folder;
// tools/screens/take_screenshots.sh turns the frames into the README's PNG screenshots.
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include "engine/platform/headless/headless_platform.h"
#include "engine/platform/virtual_keys.h"
#include "engine/sprites/sprite_engine.h"
#include "game/bonus_sprites.h"
#include "game/hero_sprite.h"
#include "game/scenery.h"
#include "shell/main_form.h"

namespace {

class Stage {
 public:
  explicit Stage(const std::string& out) : out_(out), form_(machine_) {
    form_.Config.SoundOn = 0;
    form_.Config.MusicOn = 0;
    form_.Rng.Randomize(20261210);
  }

  void Frames(int count, int heroX = -1, int heroY = -1) {
    for (int i = 0; i < count; ++i) {
      if (THeroSprite* hero = form_.World.Hero.Get(); hero && heroX >= 0) {
        // The staged dragon holds its place and lives through the scene.
        hero->X = heroX;
        hero->Y = heroY;
        hero->HitPoints = FreshHitPoints;
        form_.Play.DriftX = form_.Play.DriftY = 0;
      }
      machine_.Advance(16);
      form_.ProcessMessages();
    }
  }

  void Key(uint16_t key) {
    machine_.KeyDown(key);
    machine_.KeyUp(key);
    form_.ProcessMessages();
  }
  void Type(const std::string& text) {
    for (const char c : text) machine_.Type(static_cast<unsigned char>(c));
    form_.ProcessMessages();
  }
  void Hold(uint16_t key, bool down) {
    if (down) {
      machine_.KeyDown(key);
    } else {
      machine_.KeyUp(key);
    }
  }

  void Save(const std::string& name) {
    const std::string path = out_ + "/" + name + ".ppm";
    std::ofstream file(path, std::ios::binary);
    file << "P6\n800 600\n255\n";
    for (const uint32_t pixel : machine_.windowImpl.frame) {
      const char rgb[3] = {static_cast<char>(pixel >> 16), static_cast<char>(pixel >> 8),
                           static_cast<char>(pixel)};
      file.write(rgb, 3);
    }
    std::printf("%s\n", path.c_str());
  }

  // New game, past the level banner, with the sky asked for.
  void NewGame(bool day) {
    Key(vk::Return);
    if (TGameBack* back = form_.World.Back.Get()) back->SetDay(day);
    while (form_.Screen.GameState == gsLevelBanner) Frames(1);
  }

  TmainForm& Form() { return form_; }

 private:
  std::string out_;
  platform::headless::HeadlessPlatform machine_{"data/fonts"};
  TmainForm form_;
};

}  // namespace

int main(int argc, char** argv) {
  const std::string out = argc > 1 ? argv[1] : ".";
  try {
    {
      Stage stage(out);
      stage.Frames(30);
      stage.Save("menu");
      stage.NewGame(true);
      stage.Hold(vk::Control, true);
      stage.Frames(420, 260, 250);
      stage.Save("day");
    }
    {
      Stage stage(out);
      stage.NewGame(false);
      stage.Hold(vk::Control, true);
      stage.Frames(300, 300, 180);
      stage.Save("night");
    }
    {
      Stage stage(out);
      stage.NewGame(true);
      PlayState& play = stage.Form().Play;
      play.Level = 4;
      play.LevelElapsed = play.LevelLength;
      stage.Frames(1);
      stage.Frames(100);  // the banner of level 5
      stage.Hold(vk::Control, true);
      stage.Frames(1000, 240, 140);
      stage.Save("level5");
    }
    {
      Stage stage(out);
      stage.NewGame(false);
      TmainForm& form = stage.Form();
      stage.Frames(60, 330, 220);
      TBonusSprite& bonus = NewSprite<TBonusSprite>(form.SpriteEngine1.Root(), form.World);
      bonus.BonusKind = bkShield;
      bonus.X = 360;
      bonus.Y = 240;
      stage.Hold(vk::Control, true);
      stage.Frames(200, 330, 220);
      stage.Save("shield");
    }
    {
      Stage stage(out);
      stage.NewGame(true);
      stage.Frames(1);
      stage.Form().Play.Lives = 1;
      if (THeroSprite* hero = stage.Form().World.Hero.Get()) hero->Die();
      stage.Frames(240);
      stage.Save("gameover");
    }
    {
      // A placing score: the result dialog with the name being typed, then the send question.
      Stage stage(out);
      stage.NewGame(false);
      stage.Frames(200, 300, 200);
      stage.Form().Play.Lives = 1;
      stage.Form().Play.Score = 1234;
      if (THeroSprite* hero = stage.Form().World.Hero.Get()) hero->Die();
      stage.Frames(191 + 94);
      stage.Type("Sigrid");
      stage.Frames(3);
      stage.Save("result");
      stage.Key(vk::Return);
      stage.Frames(3);
      stage.Save("send");
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "game_screens: %s\n", error.what());
    return 1;
  }
  return 0;
}
