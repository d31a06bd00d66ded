// The menu field: building it and the main menu, taking a screen's items down, the highlight that
// follows the focus, and what activating an item does.
#include "engine/base/paths.h"
#include "engine/pictures/picture_collection.h"
#include "shell/main_form.h"

namespace {

constexpr const char* MenuArchiveName = "data\\menu.dxg";
constexpr int32_t MainItemZ = 1;
constexpr int32_t MenuFrameZ = 5;

// The item that leaves a screen: its back or cancel item; 0 for a screen left otherwise.
uint8_t LeavingItem(TMenuScreen screen) {
  switch (screen) {
    case msOptions:
      return oiBack;
    case msScores:
      return siBack;
    case msHelp:
      return hiBack;
    case msExitDialog:
      return diCancel;
    default:
      return 0;
  }
}

}  // namespace

void TmainForm::CreateMenuField(bool withMusic) {
  ImageList1.LoadFromFile(ResolvePath(MenuArchiveName, folders_.data));
  Input.PointerOnMainMenu = false;
  TSpriteEngine& engine = SpriteEngine1.Root();
  TPictureCollection& pictures = ImageList1.Items;
  Menu.Background = NewSprite<TMenuBackground>(engine, pictures[0]);
  Menu.ClosingWindow = NewSprite<TClosingWindow>(engine, pictures.Find("console"), MenuFrameZ);
  Screen.MenuScreen = msMainMenu;
  Screen.MenuFocus = 1;
  CreateMainMenu();
  if (withMusic && Screen.GameState == gsMenu && Config.MusicOn) StartMusic(MenuSongName);
}

void TmainForm::CreateMainMenu() {
  TSpriteEngine& engine = SpriteEngine1.Root();
  for (int i = 1; i <= MaxMenuItems; ++i) {
    TPictureCollectionItem& picture = ImageList1.Items[i];
    const ItemRect& rect = Menu.ItemRects.At(msMainMenu, i);
    TMenuItem& item = NewSprite<TMenuItem>(engine, picture, rect.Left, rect.Top, MainItemZ,
                                           i == Screen.MenuFocus);
    Menu.ItemRects.SetSize(msMainMenu, i, item.Width, item.Height);
    Menu.CurrentItems[i] = item;
  }
  Menu.MainItems = Menu.CurrentItems;
}

void TmainForm::CreateSubMenu(const std::string& name) {
  Menu.SubBackground = NewSprite<TSubBackground>(SpriteEngine1.Root(), ImageList1.Items.Find(name));
}

void TmainForm::DestroyMenu() {
  const int count = Menu.ItemRects.ItemCount(Screen.MenuScreen);
  if (Screen.MenuScreen == msMainMenu && Screen.GameState == gsMenu) {
    // A sub-screen opens over the main menu: its items stay on the screen, held by MainItems.
    Menu.CurrentItems.Empty(1, count);
    return;
  }
  for (int i = 1; i <= count; ++i) KillSprite(Menu.CurrentItems[i]);
  Menu.CurrentItems = Menu.MainItems;
}

void TmainForm::UpdateHighlight() {
  const ScreenState& s = Screen;
  const bool resultDialog = s.GameState == gsNameEntry && s.MenuScreen == msResultDialog;
  if ((s.MenuScreen == msOptions && s.MenuFocus != oiCountry) ||
      (resultDialog && (s.MenuFocus == diOk || s.MenuFocus == diCancel))) {
    Input.TextEntryActive = false;
  }
  if (resultDialog && (s.MenuFocus == riName || s.MenuFocus == riCountry)) {
    Input.TextEntryActive = true;
  }
  ShowFocusedItem();
  PlaySound("menu");
}

void TmainForm::ShowFocusedItem() {
  if (Input.PointerOnMainMenu) {
    Menu.MainItems.HideFirst(MaxMenuItems);
    Menu.MainItems.Show(Screen.MainFocus);
    return;
  }
  Menu.CurrentItems.HideFirst(Menu.ItemRects.ItemCount(Screen.MenuScreen));
  Menu.CurrentItems.Show(Screen.MenuFocus);
}

bool TmainForm::MainMenuLive() const {
  if (Screen.GameState != gsMenu) return false;
  switch (Screen.MenuScreen) {
    case msOptions:
    case msScores:
    case msHelp:
      return true;
    case msExitDialog:
      // Only over the main menu itself: over a sub-screen the question would return there, and
      // the main menu's item would end up acting as one of that screen's.
      return Screen.ReturnScreen == msMainMenu;
    default:
      // The clear-scores question and the boss-key prompt wait for their own answer.
      return false;
  }
}

void TmainForm::ActivateItem() {
  if (Input.PointerOnMainMenu) {
    Input.PointerOnMainMenu = false;
    if (MainMenuLive()) {
      // The pointed main-menu item acts after the open screen is left by its own way out.
      Screen.MenuFocus = LeavingItem(Screen.MenuScreen);
      ActivateItem();
      Screen.MenuFocus = Screen.MainFocus;
    }
  }
  PlaySound("menu");
  switch (Screen.MenuScreen) {
    case msMainMenu:
      ActivateMainMenuItem();
      break;
    case msOptions:
      ActivateOptionsItem();
      break;
    case msScores:
      ActivateScoresItem();
      break;
    case msHelp:
      ActivateHelpItem();
      break;
    case msExitDialog:
      ActivateExitItem();
      break;
    case msClearScoresDialog:
      ActivateClearScoresItem();
      break;
    case msResultDialog:
      ActivateResultItem();
      break;
    case msSendDialog:
      ActivateSendItem();
      break;
    default:
      // The boss-key prompt has no items.
      break;
  }
}

void TmainForm::ActivateMainMenuItem() {
  switch (Screen.MenuFocus) {
    case miNewGame:
      StartGame();
      break;
    case miOptions:
      CreateOptions();
      break;
    case miScores:
      CreateScores();
      break;
    case miHelp:
      CreateHelp();
      break;
    case miHomePage:
      OpenHomePage();
      break;
    case miExit:
      Screen.MainFocus = miExit;
      Close();
      break;
    default:
      break;
  }
}
