// The game field: what New game builds after the menu has handed over.
#include "engine/paths.h"
#include "shell/main_form.h"

namespace {
constexpr const char* GameArchiveName = "data\\gamegraphic.dxg";
}  // namespace

void TmainForm::CreateGameField() {
  // The menu's sprites show the menu's pictures: they go before the game's pictures replace them.
  SpriteEngine1.Root().RemoveAll();
  ImageList1.LoadFromFile(ResolvePath(GameArchiveName));
}
