// Small stand-ins for the game's picture archives, made with the game's own writer, so
// whole-program tests run without the generated assets: a menu archive holding every picture the
// menu looks up (by position and by name), each one solid colour of its own, and a game archive
// with every picture the game looks up, in the sizes of the asset manifest. (The sounds:
// test_sounds.h.)
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "engine/platform/headless/headless_sound.h"
#include "engine/sound/wave_list.h"

namespace test_data {

// Test picture sizes that differ from the item rectangles' initial sizes, so that a test sees
// the pictures' sizes taken over.
constexpr int MainItemWidth = 200;
constexpr int MainItemHeight = 36;
constexpr int OkWidth = 80;
constexpr int OkHeight = 32;

// The surface pixel (0x00RRGGBB) a test picture is filled with; 0 for an unknown name.
uint32_t PictureColor(std::string_view name);
// The colour of Help page 1..10.
uint32_t HelpPageColor(int page);

// The colour of the game picture at `position` of the game archive (all but its dialog pictures).
uint32_t GameColor(int position);

// "data/menu.dxg" and "data/gamegraphic.dxg" under `folder`.
void WriteGameData(const std::filesystem::path& folder);

// How many times the named sound of the list was started on the recording output.
int SoundPlays(const platform::headless::HeadlessSound& output, TWaveList& sounds,
               std::string_view name);

}  // namespace test_data
