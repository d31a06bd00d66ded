// The game field: what New game builds after the menu has handed over.
#include "engine/paths.h"
#include "menus/menu_widgets.h"
#include "shell/main_form.h"

namespace {
constexpr const char* GameArchiveName = "data\\gamegraphic.dxg";
// The dialog frame of a game is picture number 1 of its archive, over the field.
constexpr int GameFramePicture = 1;
constexpr int32_t GameFrameZ = 10;
}  // namespace

void TmainForm::CreateGameField() {
  // The menu's sprites show the menu's pictures: they go before the game's pictures replace them.
  SpriteEngine1.Root().RemoveAll();
  ImageList1.LoadFromFile(ResolvePath(GameArchiveName));
  Menu.ClosingWindow = NewSprite<TClosingWindow>(SpriteEngine1.Root(),
                                                 ImageList1.Items[GameFramePicture], GameFrameZ);
}
