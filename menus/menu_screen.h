// The menu's screens and dialogs (MenuScreen) with the number of selectable items each has.
#pragma once

#include <cstdint>

using MenuScreenValue = uint8_t;
constexpr MenuScreenValue msMainMenu = 1;
constexpr MenuScreenValue msOptions = 2;
constexpr MenuScreenValue msScores = 3;
constexpr MenuScreenValue msHelp = 4;
constexpr MenuScreenValue msExitDialog = 5;
constexpr MenuScreenValue msClearScoresDialog = 6;
constexpr MenuScreenValue msBossKeyPrompt = 7;
constexpr MenuScreenValue msResultDialog = 8;
constexpr MenuScreenValue msSendDialog = 9;
constexpr MenuScreenValue LastMenuScreen = msSendDialog;

// Selectable items of each menu screen (index = MenuScreen; 0 unused).
constexpr uint8_t MenuItemCount[LastMenuScreen + 1] = {0, 6, 6, 3, 3, 2, 2, 0, 4, 2};

// Items of one screen are numbered 1 to this.
constexpr int MaxMenuItems = 6;

// The items of the screens, by number.
// Main menu.
constexpr uint8_t miNewGame = 1;
constexpr uint8_t miOptions = 2;
constexpr uint8_t miScores = 3;
constexpr uint8_t miHelp = 4;
constexpr uint8_t miHomePage = 5;
constexpr uint8_t miExit = 6;
// Options: the three switches, the country field, the boss key, back.
constexpr uint8_t oiDisplayMode = 1;
constexpr uint8_t oiMusic = 2;
constexpr uint8_t oiSound = 3;
constexpr uint8_t oiCountry = 4;
constexpr uint8_t oiBossKey = 5;
constexpr uint8_t oiBack = 6;
// Scores.
constexpr uint8_t siClearScores = 1;
constexpr uint8_t siOnlineScores = 2;
constexpr uint8_t siBack = 3;
// Help.
constexpr uint8_t hiPrevious = 1;
constexpr uint8_t hiNext = 2;
constexpr uint8_t hiBack = 3;
// Every dialog's two answers; the result dialog's two text fields.
constexpr uint8_t diOk = 1;
constexpr uint8_t diCancel = 2;
constexpr uint8_t riName = 3;
constexpr uint8_t riCountry = 4;
