// A digest of a game's state: the play variables, the generator and every sprite of the field in
// creation order. Two runs that agree in it after the same ticks have played the same game; it
// locates where two runs of one game part ways.
#pragma once

#include <cstdint>

struct TGameWorld;

uint64_t GameStateHash(const TGameWorld& world);
