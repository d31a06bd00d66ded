// The drawing layers (Z) of the game field and the field's fixed measures.
#pragma once

#include <cstdint>

constexpr int32_t ZBackground = 0;
constexpr int32_t ZFarStrip = 2;
constexpr int32_t ZMiddleStrip = 3;
constexpr int32_t ZVolcanoes = 4;
constexpr int32_t ZNearStrip = 5;
constexpr int32_t ZTrees = 6;
// The dragon, its tail and shield, enemies, every shot and the grate.
constexpr int32_t ZActors = 7;
constexpr int32_t ZExplosions = 8;
constexpr int32_t ZBonuses = 8;
constexpr int32_t ZStatusBar = 10;
constexpr int32_t ZDialogFrame = 10;
constexpr int32_t ZIndicators = 11;

constexpr int32_t FieldWidth = 800;
constexpr int32_t FieldHeight = 600;
// The top of the play area, under the status bar.
constexpr int32_t FieldTop = 68;
