// The rules of the level loop that are not any one sprite's: building the field, the level's end
// and its scenery, the spawn schedules, day and night, emptying the field between lives and levels,
// and the heads-up texts.
#pragma once

#include <cstdint>

struct TGameWorld;
class TCanvas;

// The one clock of both loops: the menu and the game frame come every FrameInterval milliseconds,
// and each played frame adds as much game time to the level's clocks.
constexpr int32_t FrameInterval = 16;
// Levels stop counting here, so that the spawn divisors never reach zero.
constexpr uint8_t LastLevel = 255;
constexpr int32_t BannerTime = 1500;
// Frames between day and night, and the spans the spawn countdowns are drawn from.
constexpr uint16_t DayNightFrames = 5000;
constexpr int32_t EnemySpawnBase = 160;
constexpr int32_t EnemySpawnMinimum = 50;
constexpr int32_t BonusSpawnBase = 1000;
constexpr int32_t TreeSpawnSpan = 160;

// The sky, day or night at even chance.
void CreateGameBack(TGameWorld& world);
// The strips, the status bar and its indicators, the dragon with its tail, the shield and the
// grate, in their drawing and moving order (after the sky and the dialog frame).
void CreateFieldSprites(TGameWorld& world);
// The play variables of a new game, which begins with the banner of level 1.
void StartNewGame(TGameWorld& world);

// Ends the level when its clock has run out: the next level's banner, its middle strips on every
// fifth level and the one after, the field emptied. True when a level ended.
bool EndLevelWhenDue(TGameWorld& world);
// A played frame's clocks and spawns after the sprites have moved.
void AdvancePlayedFrame(TGameWorld& world);
// One enemy of a kind drawn from 1..8.
void CreateEnemy(TGameWorld& world);
// Kills enemies, bonuses, every shot and explosion, and puts the dragon back, hidden.
void ClearGameField(TGameWorld& world);
// The level number, the bonus clock, the score and the level clock, in font size 20, black.
void DrawHud(const TGameWorld& world, TCanvas& canvas);
