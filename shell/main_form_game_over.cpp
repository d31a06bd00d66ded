// The end of a game as the game frame shows it over the frozen field: "GAME OVER", the result
// dialog with its name and country fields, the send question, and the captions while a result
// is sent and when it could not be.
#include <string>

#include "shell/display_text.h"
#include "shell/main_form.h"

namespace {
constexpr int GameOverFontSize = 38;
constexpr int DialogFontSize = 16;
// The name and country lines are centred on this column.
constexpr int FieldCentreX = 400;
constexpr int NameLineY = 260;
constexpr int CountryLineY = 320;
// The text cursor shows in the first half of every 32 frames.
constexpr uint8_t BlinkPeriod = 32;
}  // namespace

void TmainForm::EndOfGameFrame(TCanvas& canvas) {
  const TGameState state = Screen.GameState;
  // The exit question can stand over the result and send dialogs: its own words go with its
  // answers, so OK is never read as an answer to the dialog beneath.
  const bool exitQuestion = Screen.MenuScreen == msExitDialog && state != gsGameOver;
  switch (state) {
    case gsGameOver:
      DrawGameOver(canvas);
      return;
    case gsNameEntry:
      if (exitQuestion) {
        DrawExitQuestion(canvas);
      } else {
        DrawResultDialog(canvas);
      }
      return;
    case gsSendQuestion:
      if (exitQuestion) {
        DrawExitQuestion(canvas);
      } else {
        DrawSendQuestion(canvas);
      }
      return;
    case gsSending:
      DrawSending(canvas);
      return;
    case gsSendFailed:
      DrawSendFailed(canvas);
      return;
    default:
      return;
  }
}

void TmainForm::DrawGameOver(TCanvas& canvas) {
  canvas.Font.Size = GameOverFontSize;
  canvas.Font.Color = clRed;
  canvas.TextOut(250, 280, "GAME OVER");
}

void TmainForm::LeaveGameOver() {
  Play.ScorePlace = FindScorePlace(Config, Play.Score);
  SetCursorVisible(true);
  NotePlayLeft();
  if (Play.ScorePlace == NoScorePlace) {
    BackToMenu();
  } else {
    OpenResultDialog();
  }
}

void TmainForm::OpenResultDialog() {
  EnterState(gsNameEntry);
  SetDialogFrameVisible(true);
  Screen.MenuScreen = msResultDialog;
  CreateExit();
  // The name field takes the first keys; OK shows no highlight until it has the focus.
  Screen.MenuFocus = riName;
  Input.TextEntryActive = true;
  if (TMenuItem* ok = Menu.CurrentItems[diOk].Get()) ok->Visible = false;
}

void TmainForm::DrawResultDialog(TCanvas& canvas) {
  canvas.Font.Size = DialogFontSize;
  canvas.Font.Color = clBlack;
  canvas.TextOut(230, 190, "YOUR SCORE IS " + std::to_string(Play.Score));
  canvas.TextOut(240, 230, "PLEASE, ENTER YOUR NAME:");
  const std::string countryTitle = "YOUR COUNTRY:";
  canvas.TextOut(FieldCentreX - canvas.TextWidth(countryTitle) / 2, 290, countryTitle);

  ++Input.BlinkCounter;
  const bool caret = Input.TextEntryActive && Input.BlinkCounter % BlinkPeriod < BlinkPeriod / 2;
  // A field is centred by its text alone, so the blinking caret does not make it jump.
  const auto field = [&](int y, const std::string& text, bool focused) {
    canvas.Font.Color = focused ? clRed : clBlack;
    const int left = FieldCentreX - canvas.TextWidth(text) / 2;
    canvas.TextOut(left, y, focused && caret ? text + "|" : text);
  };
  field(NameLineY, Latin1ToUtf8(PlayerName), Screen.MenuFocus == riName);
  field(CountryLineY, Latin1ToUtf8(UpperCase(Config.PlayerCountry.Text())),
        Screen.MenuFocus == riCountry);
}

void TmainForm::DrawSendQuestion(TCanvas& canvas) {
  canvas.Font.Size = DialogFontSize;
  canvas.Font.Color = clBlack;
  canvas.TextOut(230, 195, "SENDING RESULTS");
  canvas.TextOut(270, 240, "SEND THE RESULT TO");
  canvas.TextOut(240, 280, "WORLD'S HIGHSCORE PAGE?");
}

void TmainForm::DrawSending(TCanvas& canvas) {
  canvas.Font.Size = DialogFontSize;
  canvas.Font.Color = clBlack;
  canvas.TextOut(230, 195, "SENDING RESULTS");
  canvas.Font.Color = clRed;
  canvas.TextOut(320, 240, "PLEASE WAIT...");
}

void TmainForm::DrawSendFailed(TCanvas& canvas) {
  canvas.Font.Size = DialogFontSize;
  canvas.Font.Color = clBlack;
  canvas.TextOut(230, 195, "SENDING RESULTS");
  canvas.Font.Color = clRed;
  canvas.TextOut(240, 240, "CAN'T CONNECT TO SERVER!");
}

void TmainForm::AdvanceShellTick() {
  if (Screen.GameState != gsSendFailed) return;
  Play.BannerTimer -= FrameInterval;
  // The notice has stood its time: the question is asked again.
  if (Play.BannerTimer <= 0) EnterState(gsSendQuestion);
}

void TmainForm::BackToMenu() {
  EnterState(gsMenu);
  // Nothing of the game's dialogs takes typing in the menu.
  Input.TextEntryActive = false;
  SpriteEngine1.Root().RemoveAll();
  FrameTimer2.SetEnabled(false);
  CreateMenuField();
  FrameTimer1.SetEnabled(true);
  GiveMemoryBack();
}
