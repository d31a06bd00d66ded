// The game field: what New game builds after the menu has handed over.
#include <cstdint>
#include <exception>

#include "engine/base/exception.h"
#include "engine/base/paths.h"
#include "engine/pictures/image_archive.h"
#include "game/field_layers.h"
#include "game/game_start.h"
#include "game/level_loop.h"
#include "menus/menu_widgets.h"
#include "protocol/replay_format.h"
#include "shell/main_form.h"

namespace {
constexpr const char* GameArchiveName = "data\\gamegraphic.dxg";
// The dialog frame of a game is picture number 1 of its archive, over the field.
constexpr int GameFramePicture = 1;
}  // namespace

void TmainForm::StartGame() {
  // The game's pictures are read and checked before anything changes: an archive that is missing
  // or damaged leaves the menu as it was, its pictures and timer included, with one message saying
  // why. A picture is decoded when it is first drawn, so the two sets are never held at once.
  TPictureCollection gamePictures;
  uint64_t archiveHash = 0;
  const std::filesystem::path archivePath = ResolvePath(GameArchiveName, folders_.data);
  try {
    ReadImageArchiveFile(archivePath, gamePictures);
    // Read in small pieces rather than through the load's mapping, so that the pictures never
    // drawn stay out of memory.
    archiveHash = replay::GameArchiveFileHash(archivePath);
  } catch (const EFOpenError& error) {
    ShowError(error.what());  // it names the file
    return;
  } catch (const std::exception& error) {
    ShowError(
        ("The game's pictures in \"" + archivePath.string() + "\" cannot be read:\n" + error.what())
            .c_str());
    return;
  }
  FrameTimer1.SetEnabled(false);
  FrameTimer2.SetEnabled(true);
  EnterState(gsPlaying);
  // What the game starts from, before building the field draws from the generator.
  // A recording being played back is not recorded again, nor does it ask for a start ticket.
  if (!Playback) {
    Recording.Begin(CaptureGameStart(World), archiveHash);
    AskForStartTicket();
  }
  try {
    CreateGameField(gamePictures);
  } catch (const std::exception& error) {
    // An archive that lacks a picture of the field: a game without its dragon is no game.
    Recording.Abandon();
    ShowError(error.what());
    LeaveFailedGame();
  }
  gamePictures.Clear();  // the menu's, after the exchange
  GiveMemoryBack();
}

void TmainForm::CreateGameField(TPictureCollection& gamePictures) {
  // The menu's sprites show the menu's pictures: they go before the game's pictures replace them.
  SpriteEngine1.Root().RemoveAll();
  ImageList1.Exchange(gamePictures);
  CreateGameBack(World);
  Menu.ClosingWindow = NewSprite<TClosingWindow>(SpriteEngine1.Root(),
                                                 ImageList1.Items[GameFramePicture], ZDialogFrame);
  CreateFieldSprites(World);
  StartNewGame(World);
  if (Config.MusicOn) StartMusic(GameSongName);
  platform_.window().SetCursorPos(SteeringCentreX, SteeringCentreY);
}

void TmainForm::ClearGameField() {
  ::ClearGameField(World);
}
