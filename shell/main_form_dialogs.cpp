// The questions asked in the dialog frame (leaving the game, clearing the scores) with their
// answers, and the boss-key prompt that takes the next key pressed.
#include "shell/main_form.h"

namespace {
constexpr int32_t DialogItemZ = 11;
constexpr const char* DialogFramePictureName = "console";
constexpr const char* KeyPromptPictureName = "keyprompt";
}  // namespace

void TmainForm::CreateExit() {
  const TMenuScreen dialog = Screen.MenuScreen;
  AddScreenItem(dialog, diOk, "ok", true, DialogItemZ);
  AddScreenItem(dialog, diCancel, "cancel", false, DialogItemZ);
  Menu.CurrentItems.Empty(3, MaxMenuItems);
}

void TmainForm::SetDialogFrameVisible(bool visible) {
  // During a game the frame is the game field's; until it has one there is none to show.
  TClosingWindow* frame = Menu.ClosingWindow.Get();
  if (frame == nullptr) return;
  // The boss-key prompt takes a key, not an answer: its frame shows no OK and Cancel. It only
  // opens from Options, so the menu's pictures are loaded.
  if (visible) {
    SetPicture(*frame, ImageList1.Items.Find(Screen.MenuScreen == msBossKeyPrompt
                                                 ? KeyPromptPictureName
                                                 : DialogFramePictureName));
  }
  frame->Visible = visible;
}

bool TmainForm::DialogFrameVisible() const {
  const TClosingWindow* frame = Menu.ClosingWindow.Get();
  return frame != nullptr && frame->Visible;
}

void TmainForm::OpenMenuDialog(TMenuScreen dialog) {
  Screen.ReturnScreen = Screen.MenuScreen;
  Screen.MenuScreen = dialog;
  Menu.DialogSavedFocus = Screen.MenuFocus;
  Screen.MenuFocus = diOk;
  SetDialogFrameVisible(true);
  Menu.DialogSavedItems = Menu.CurrentItems;
  CreateExit();
}

void TmainForm::CloseMenuDialog() {
  DestroyMenu();
  Menu.CurrentItems = Menu.DialogSavedItems;
  Screen.MenuScreen = Screen.ReturnScreen;
  // The screen beneath gets its focus back, which is the item its highlight still shows.
  Screen.MenuFocus = Menu.DialogSavedFocus;
  SetDialogFrameVisible(false);
}

void TmainForm::ActivateClearScoresItem() {
  switch (Screen.MenuFocus) {
    case diOk:
      CloseMenuDialog();
      ResetScoreTable(Config);
      SaveConfig();
      break;
    case diCancel:
      CloseMenuDialog();
      break;
    default:
      break;
  }
}

void TmainForm::CloseInnerDialog() {
  if (Screen.MenuScreen == msClearScoresDialog) {
    CloseMenuDialog();
  } else if (Screen.MenuScreen == msBossKeyPrompt) {
    Screen.MenuScreen = Screen.ReturnScreen;
    SetDialogFrameVisible(false);
  }
}

void TmainForm::ActivateExitItem() {
  ScreenState& s = Screen;
  switch (s.MenuFocus) {
    case diOk:
      s.ExitConfirmed = true;
      s.MenuScreen = s.ReturnScreen;
      Close();
      break;
    case diCancel:
      CloseExitQuestion();
      break;
    default:
      break;
  }
}

void TmainForm::TakeBossKey(uint16_t key) {
  Config.BossKey = key;
  SetDialogFrameVisible(false);
  Screen.MenuScreen = Screen.ReturnScreen;
  UpdateBossKeyName();
}
