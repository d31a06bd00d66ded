// A small sound archive with the game's sound names, for tests that start the whole program.
#pragma once

#include <filesystem>

// Writes "sound/gamesound.dxw" (or `path`) holding every sound the game plays, each a short tone.
void WriteTestSoundArchive(const std::filesystem::path& path);
