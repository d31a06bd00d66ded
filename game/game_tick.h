// One tick of a game: everything that changes the game's state in one frame, from the frame's
// input. Drawing (the sprites' Render, DrawHud) only reads what the tick left, so a game can be
// advanced without a picture and reach the same state.
#pragma once

#include <cstdint>

#include "game/game_state.h"

struct TGameWorld;

// Advances one tick. The keys are read from world.Input and the pointer's steps from
// world.Pointer, both set by the caller before; lagCount is the frame's count of elapsed timer
// intervals. `beneath` is the screen state under a pause or the exit question (the screen state
// itself when neither stands over the game): it tells whether the level may end. State changes are
// reported through world.Report; the caller enters the states that follow.
void AdvanceGameTick(TGameWorld& world, int32_t lagCount, TGameState beneath);
