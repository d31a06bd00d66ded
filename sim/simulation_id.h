// The version of the game's rules that a recording was played under. A recording is judged only
// by the rules it was made with, so any change to what a tick does (the game's logic, the start of
// a game, how the recorded input is applied) takes the next number, by hand; the golden recording
// test fails until it does.
#pragma once

#include <cstdint>

constexpr uint32_t SimulationId = 1;
