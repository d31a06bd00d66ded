// What the answers of the end-of-game dialogs do: the result dialog's OK and Cancel, and the send
// question's Yes and No.
#include "shell/main_form.h"

void TmainForm::ActivateResultItem() {
  switch (Screen.MenuFocus) {
    case diOk:
      TakeResult();
      break;
    case diCancel:
      // The score is not entered: the table and "config.dat" stay as they were.
      BackToMenu();
      break;
    default:
      // The name and country fields only take the focus.
      break;
  }
}

void TmainForm::TakeResult() {
  ScoreEntry entry;
  entry.Name.SetText(PlayerName);
  entry.Score = Play.Score;
  InsertScore(Config, entry);
  SaveConfig();
  Input.TextEntryActive = false;
  EnterState(gsSendQuestion);
  Screen.MenuScreen = msSendDialog;
  Screen.MenuFocus = diOk;
  // The question's answers are the result dialog's pictures, still on the screen: the pointer
  // finds them where they are seen.
  for (const int item : {diOk, diCancel}) {
    const ItemRect& shown = Menu.ItemRects.At(msResultDialog, item);
    Menu.ItemRects.SetSize(msSendDialog, item, shown.Width, shown.Height);
  }
  UpdateHighlight();
}

void TmainForm::ActivateSendItem() {
  switch (Screen.MenuFocus) {
    case diOk:
      SubmitResult();
      break;
    case diCancel:
      ShowScoresAfterGame();
      break;
    default:
      break;
  }
}

void TmainForm::ShowScoresAfterGame() {
  DestroyMenu();
  BackToMenu();
  // The main menu's Scores item, activated as if chosen.
  Screen.MenuFocus = miScores;
  UpdateHighlight();
  ActivateItem();
}
