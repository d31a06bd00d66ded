// The game field: what New game builds after the menu has handed over.
#include "engine/paths.h"
#include "game/field_layers.h"
#include "game/level_loop.h"
#include "menus/menu_widgets.h"
#include "shell/main_form.h"

namespace {
constexpr const char* GameArchiveName = "data\\gamegraphic.dxg";
constexpr const char* GameSongName = "sound\\2.xm";
// The dialog frame of a game is picture number 1 of its archive, over the field.
constexpr int GameFramePicture = 1;
}  // namespace

void TmainForm::CreateGameField() {
  // The menu's sprites show the menu's pictures: they go before the game's pictures replace them.
  SpriteEngine1.Root().RemoveAll();
  ImageList1.LoadFromFile(ResolvePath(GameArchiveName, folders_.data));
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
