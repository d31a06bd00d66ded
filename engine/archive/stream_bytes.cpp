#include "engine/archive/stream_bytes.h"

#include <array>
#include <fstream>

#include "engine/exception.h"

namespace archive {

std::vector<uint8_t> ReadStreamBytes(std::istream& stream) {
  std::vector<uint8_t> bytes;
  std::array<char, 64 * 1024> chunk;
  while (stream) {
    stream.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    const auto got = static_cast<size_t>(stream.gcount());
    bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + static_cast<ptrdiff_t>(got));
  }
  if (stream.bad()) throw EReadError("Stream read error");
  return bytes;
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw EFOpenError("Cannot open file \"" + path.string() + "\"");
  return ReadStreamBytes(file);
}

}  // namespace archive
