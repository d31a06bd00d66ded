// Brings an archive's bytes into memory: from a stream, read to its end in steps so that nothing
// is allocated for bytes the stream does not have, or from a file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <vector>

namespace archive {

// Everything left in the stream; EReadError "Stream read error" when reading fails.
std::vector<uint8_t> ReadStreamBytes(std::istream& stream);

// The whole file; EFOpenError "Cannot open file "<path>"" when it cannot be opened.
std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);

}  // namespace archive
