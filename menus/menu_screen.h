// The menu's screens and dialogs (MenuScreen) with the number of selectable items each has.
#pragma once

#include <cstdint>

enum TMenuScreen : uint8_t {
  msMainMenu = 1,
  msOptions = 2,
  msScores = 3,
  msHelp = 4,
  msExitDialog = 5,
  msClearScoresDialog = 6,
  msBossKeyPrompt = 7,
  msResultDialog = 8,
  msSendDialog = 9,
};
constexpr TMenuScreen LastMenuScreen = msSendDialog;

// Selectable items of each menu screen (index = MenuScreen; 0 unused).
constexpr uint8_t MenuItemCount[LastMenuScreen + 1] = {0, 6, 6, 3, 3, 2, 2, 0, 4, 2};

// Items of one screen are numbered 1 to this.
constexpr int MaxMenuItems = 6;

// The items of the screens, by number: one type for each screen's items (the focus, MenuFocus,
// holds the number of an item of the active screen).
enum TMainMenuItem : uint8_t {
  miNewGame = 1,
  miOptions = 2,
  miScores = 3,
  miHelp = 4,
  miHomePage = 5,
  miExit = 6,
};
// Options: the three switches, the country field, the boss key, back.
enum TOptionsItem : uint8_t {
  oiDisplayMode = 1,
  oiMusic = 2,
  oiSound = 3,
  oiCountry = 4,
  oiBossKey = 5,
  oiBack = 6,
};
enum TScoresItem : uint8_t {
  siClearScores = 1,
  siOnlineScores = 2,
  siBack = 3,
};
enum THelpItem : uint8_t {
  hiPrevious = 1,
  hiNext = 2,
  hiBack = 3,
};
// The main menu's item that opens a sub-screen (Options, Scores, Help).
constexpr TMainMenuItem MainMenuItemOf(TMenuScreen screen) {
  switch (screen) {
    case msOptions:
      return miOptions;
    case msScores:
      return miScores;
    default:
      return miHelp;
  }
}
// Every dialog's two answers; the result dialog's two text fields.
enum TDialogItem : uint8_t {
  diOk = 1,
  diCancel = 2,
  riName = 3,
  riCountry = 4,
};
