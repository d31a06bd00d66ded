// Writes a module description as an Extended Module file (FastTracker II's XM 1.04), the format
// the game's music player reads.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "tools/xm/xm_module.h"

namespace xm {

// The file's bytes. Throws XmError, naming the part, when the module breaks a limit of the
// format (counts, names, notes, loops, envelopes, orders that name no pattern).
std::vector<uint8_t> EncodeModule(const Module& module);

// Encodes the module and writes it to `path`, replacing the file. Throws XmError as EncodeModule,
// and std::runtime_error when the file cannot be written.
void WriteModule(const Module& module, const std::filesystem::path& path);

}  // namespace xm
