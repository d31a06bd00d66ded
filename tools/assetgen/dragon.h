// The player's dragon as vector art, for every picture that shows it at its own size.
#pragma once

#include <cairo.h>

namespace assets {

// The dragon's body and both wings (not the tail) in wing-beat pose 0..3 (up, half down, down,
// half up), in a 112 x 96 box at the origin of the current transform.
void PaintDragon(cairo_t* cr, int pose);
constexpr double DragonWidth = 112;
constexpr double DragonHeight = 96;

}  // namespace assets
