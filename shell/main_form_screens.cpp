// The sub-screens over the main menu: Options, Scores and Help, what their items do, and the way
// back to the main menu.
#include "engine/pictures/picture_collection.h"
#include "shell/main_form.h"

namespace {

constexpr int32_t ScreenItemZ = 2;
constexpr uint8_t HelpPages = 10;

// Where the Options screen's switch pictures stand.
struct SwitchPlace {
  const char* picture;
  int32_t x;
  int32_t y;
};
constexpr SwitchPlace WindowSwitch{"window", 460, 183};
constexpr SwitchPlace FullSwitch{"full", 584, 187};
constexpr SwitchPlace MusicOnSwitch{"muson", 465, 244};
constexpr SwitchPlace MusicOffSwitch{"musoff", 529, 245};
constexpr SwitchPlace SoundOnSwitch{"soundon", 468, 299};
constexpr SwitchPlace SoundOffSwitch{"soundoff", 531, 300};

void Toggle(uint8_t& flag) {
  flag = flag != 0 ? 0 : 1;
}

void ShowEither(const TSpriteRef<TMenuItem>& on, const TSpriteRef<TMenuItem>& off, bool isOn) {
  if (TMenuItem* sprite = on.Get()) sprite->Visible = isOn;
  if (TMenuItem* sprite = off.Get()) sprite->Visible = !isOn;
}

}  // namespace

TMenuItem& TmainForm::AddScreenItem(TMenuScreen screen, int item, const char* picture, bool visible,
                                    int32_t z) {
  TPictureCollectionItem& image = ImageList1.Items.Find(picture);
  const ItemRect& rect = Menu.ItemRects.At(screen, item);
  TMenuItem& sprite =
      NewSprite<TMenuItem>(SpriteEngine1.Root(), image, rect.Left, rect.Top, z, visible);
  Menu.ItemRects.SetSize(screen, item, sprite.Width, sprite.Height);
  Menu.CurrentItems[item] = sprite;
  return sprite;
}

void TmainForm::OpenSubScreen(TMenuScreen screen, const char* panel) {
  DestroyMenu();
  Screen.MenuScreen = screen;
  Screen.MainFocus = MainMenuItemOf(screen);
  Screen.MenuFocus = 1;
  CreateSubMenu(panel);
}

void TmainForm::CreateOptions() {
  OpenSubScreen(msOptions, "optionsback");
  const auto addSwitch = [this](const SwitchPlace& place) {
    TPictureCollectionItem& image = ImageList1.Items.Find(place.picture);
    return TSpriteRef<TMenuItem>(
        NewSprite<TMenuItem>(SpriteEngine1.Root(), image, place.x, place.y, ScreenItemZ, false));
  };
  OptionSwitches& switches = Menu.Switches;
  switches.Window = addSwitch(WindowSwitch);
  switches.Full = addSwitch(FullSwitch);
  switches.MusicOn = addSwitch(MusicOnSwitch);
  switches.MusicOff = addSwitch(MusicOffSwitch);
  switches.SoundOn = addSwitch(SoundOnSwitch);
  switches.SoundOff = addSwitch(SoundOffSwitch);
  // Items 1 to 5 have no picture: the focus frame marks them.
  AddScreenItem(msOptions, oiBack, "backactive", false, ScreenItemZ);
  ShowOptionSwitches();
}

void TmainForm::ShowOptionSwitches() {
  const OptionSwitches& switches = Menu.Switches;
  ShowEither(switches.Window, switches.Full, Config.WindowedMode != 0);
  ShowEither(switches.MusicOn, switches.MusicOff, Config.MusicOn != 0);
  ShowEither(switches.SoundOn, switches.SoundOff, Config.SoundOn != 0);
}

void TmainForm::ActivateOptionsItem() {
  switch (Screen.MenuFocus) {
    case oiDisplayMode:
      Toggle(Config.WindowedMode);
      ChangeMode();
      SaveConfig();
      break;
    case oiMusic:
      if (Config.MusicOn) {
        Config.MusicOn = 0;
        platform_.music().SongStop(CurrentSong);
      } else {
        Config.MusicOn = 1;
        StartMusic(MenuSongName);  // switches music off again when the song cannot be loaded
      }
      ShowOptionSwitches();
      SaveConfig();
      break;
    case oiSound:
      Toggle(Config.SoundOn);
      ShowOptionSwitches();
      SaveConfig();
      break;
    case oiCountry:
      Input.TextEntryActive = !Input.TextEntryActive;
      break;
    case oiBossKey:
      Screen.ReturnScreen = msOptions;
      Screen.MenuScreen = msBossKeyPrompt;
      SetDialogFrameVisible(true);
      break;
    case oiBack:
      SaveConfig();
      // Typing ends with the screen, so the country field is not found editing next time.
      Input.TextEntryActive = false;
      KillSprite(Menu.SubBackground);
      DestroyMenu();
      for (TSpriteRef<TMenuItem>* sprite :
           {&Menu.Switches.Window, &Menu.Switches.Full, &Menu.Switches.MusicOn,
            &Menu.Switches.MusicOff, &Menu.Switches.SoundOn, &Menu.Switches.SoundOff}) {
        KillSprite(*sprite);
      }
      ReturnToMainMenu();
      break;
    default:
      break;
  }
}

void TmainForm::CreateScores() {
  OpenSubScreen(msScores, "scoreback");
  AddScreenItem(msScores, siClearScores, "clearscore", true, ScreenItemZ);
  AddScreenItem(msScores, siOnlineScores, "viewscore", false, ScreenItemZ);
  AddScreenItem(msScores, siBack, "backactive", false, ScreenItemZ);
}

void TmainForm::ActivateScoresItem() {
  switch (Screen.MenuFocus) {
    case siClearScores:
      OpenMenuDialog(msClearScoresDialog);
      break;
    case siOnlineScores:
      OpenOnlineScores();
      break;
    case siBack:
      LeaveSubScreen();
      break;
    default:
      break;
  }
}

void TmainForm::CreateHelp() {
  OpenSubScreen(msHelp, "helpback");
  Menu.HelpPageSprite = NewSprite<THelpImageSprite>(SpriteEngine1.Root(), ImageList1.Items);
  AddScreenItem(msHelp, hiPrevious, "prev", true, ScreenItemZ);
  AddScreenItem(msHelp, hiNext, "next", false, ScreenItemZ);
  AddScreenItem(msHelp, hiBack, "backactive", false, ScreenItemZ);
}

void TmainForm::ActivateHelpItem() {
  switch (Screen.MenuFocus) {
    case hiPrevious:
      if (Menu.HelpPage > 1) --Menu.HelpPage;
      ShowHelpPage();
      break;
    case hiNext:
      if (Menu.HelpPage < HelpPages) ++Menu.HelpPage;
      ShowHelpPage();
      break;
    case hiBack:
      Menu.HelpPage = 1;
      KillSprite(Menu.HelpPageSprite);
      LeaveSubScreen();
      break;
    default:
      break;
  }
}

void TmainForm::ShowHelpPage() {
  TPictureCollectionItem& page =
      ImageList1.Items[THelpImageSprite::FirstHelpPicture + Menu.HelpPage - 1];
  if (THelpImageSprite* sprite = Menu.HelpPageSprite.Get()) SetPicture(*sprite, page);
}

void TmainForm::LeaveSubScreen() {
  KillSprite(Menu.SubBackground);
  DestroyMenu();
  ReturnToMainMenu();
}

void TmainForm::ReturnToMainMenu() {
  Screen.MenuScreen = msMainMenu;
  Screen.MenuFocus = Screen.MainFocus;
  Menu.CurrentItems = Menu.MainItems;
}
