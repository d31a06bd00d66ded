// The texts drawn over the menu's pictures each frame: the Options values with the country's text
// cursor and the focus frame, the score table, and the questions of the dialogs.
#include <string>

#include "shell/display_text.h"
#include "shell/main_form.h"

namespace {

constexpr int ScoresFontSize = 18;
constexpr int FocusFramePenWidth = 2;
// The text cursor shows for half of every 32 frames.
constexpr uint8_t BlinkPeriod = 32;

}  // namespace

void TmainForm::DrawMenuTexts(TCanvas& canvas) {
  switch (Screen.MenuScreen) {
    case msOptions:
      DrawOptionsTexts(canvas);
      break;
    case msScores:
      DrawScoresTexts(canvas);
      break;
    case msExitDialog:
      DrawExitQuestion(canvas);
      break;
    case msClearScoresDialog:
      canvas.TextOut(230, 195, "CLEAR SCORES");
      canvas.TextOut(260, 250, "DO YOU WANT TO CLEAR");
      canvas.TextOut(260, 290, "THE HIGH SCORE TABLE?");
      break;
    case msBossKeyPrompt:
      canvas.TextOut(265, 250, "PRESS ANY KEY TO SET");
      canvas.TextOut(300, 270, "NEW BOSS KEY");
      break;
    default:
      break;
  }
}

void TmainForm::DrawExitQuestion(TCanvas& canvas) {
  canvas.TextOut(230, 195, "EXIT");
  canvas.TextOut(300, 270, "EXIT THE GAME?");
}

void TmainForm::DrawOptionsTexts(TCanvas& canvas) {
  std::string country = " " + Latin1ToUtf8(UpperCase(Config.PlayerCountry.Text()));
  if (Input.TextEntryActive) {
    ++Input.BlinkCounter;
    if (Input.BlinkCounter % BlinkPeriod >= BlinkPeriod / 2) country += "|";
  }
  canvas.Font.Color = clRed;
  canvas.TextOut(535, 350, country);
  canvas.Font.Color = clBlack;
  canvas.TextOut(470, 405, Latin1ToUtf8(BossKeyName));
  // Items 1 to 5 have no picture of their own: a red frame marks the focused one.
  if (Screen.MenuFocus >= oiDisplayMode && Screen.MenuFocus <= oiBossKey) {
    const ItemRect& rect = Menu.ItemRects.At(msOptions, Screen.MenuFocus);
    canvas.Pen.Color = clRed;
    canvas.Pen.Width = FocusFramePenWidth;
    canvas.Rectangle(rect.Left, rect.Top, rect.Left + rect.Width, rect.Top + rect.Height);
  }
}

void TmainForm::DrawScoresTexts(TCanvas& canvas) {
  canvas.Font.Size = ScoresFontSize;
  canvas.Font.Color = clBlack;
  for (size_t place = 1; place <= ScoreTableSize; ++place) {
    const ScoreEntry& entry = Config.ScoreTable[place - 1];
    const int y = 190 + 23 * static_cast<int>(place);
    canvas.TextOut(340, y, std::to_string(place));
    canvas.TextOut(420, y, Latin1ToUtf8(entry.Name.Text()));
    canvas.TextOut(600, y, std::to_string(entry.Score));
  }
}
