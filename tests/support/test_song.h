// A small song written with the project's own XM writer, for tests that need a real module such
// as "sound/1.xm" in a temporary folder.
#pragma once

#include <filesystem>
#include <string>

#include "tools/xm/xm_module.h"

// Four channels, three instruments (a looped 8-bit lead, a looped 16-bit bass, an unlooped noise
// hat) and two patterns of 16 rows that loop in about four seconds; every channel sounds from the
// first row on.
xm::Module MakeTestSong(const std::string& name = "Skarvel test song");

// Writes MakeTestSong(name) to `path`, creating its folder.
void WriteTestSong(const std::filesystem::path& path,
                   const std::string& name = "Skarvel test song");
