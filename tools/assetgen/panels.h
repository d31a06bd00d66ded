// The parchment-and-wood look shared by the menu's panels, dialogs and help pages.
#pragma once

#include <cstdint>
#include <string>

#include "tools/assetgen/image.h"

namespace assets {

class Studio;

void PaintParchment(Image& image, double x, double y, double w, double h, uint32_t seed);
void PaintFrame(Image& image, double x, double y, double w, double h, double border);
// A heading in dark red lettering, centred on centreX.
void DrawTitle(cairo_t* cr, const std::string& text, double centreX, double baseline,
               double pixels);
// A label in the panels' red ink.
void DrawLabel(cairo_t* cr, const std::string& text, double x, double baseline, double pixels);
// A word lit in fire colours with a warm glow, painted onto what is there.
void DrawLitWord(Image& image, const std::string& text, double x, double baseline, double pixels);
// The panel named `panel` ("optionsback", "scoreback", "helpback", "console" or "keyprompt")
// before its own decorations: parchment, frame and the quiet words of its items.
Image PanelBase(Studio& studio, const std::string& panel);

}  // namespace assets
