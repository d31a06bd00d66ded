#include "engine/archive/stream_bytes.h"

#include <fstream>
#include <system_error>

#include "engine/base/exception.h"

namespace archive {
namespace {

constexpr size_t kChunk = 256 * 1024;

// Reads to the end of the stream straight into `bytes`, one chunk at a time.
void AppendStream(std::istream& stream, std::vector<uint8_t>& bytes) {
  while (stream) {
    const size_t start = bytes.size();
    bytes.resize(start + kChunk);
    stream.read(reinterpret_cast<char*>(bytes.data() + start),
                static_cast<std::streamsize>(kChunk));
    bytes.resize(start + static_cast<size_t>(stream.gcount()));
  }
  if (stream.bad()) throw EReadError("Stream read error");
}

}  // namespace

std::vector<uint8_t> ReadStreamBytes(std::istream& stream) {
  std::vector<uint8_t> bytes;
  AppendStream(stream, bytes);
  return bytes;
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw EFOpenError("Cannot open file \"" + path.string() + "\"");
  std::vector<uint8_t> bytes;
  // The file's real size, to read it without regrowing; the read still stops where the file does.
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (!error) bytes.reserve(static_cast<size_t>(size) + kChunk);
  AppendStream(file, bytes);
  return bytes;
}

}  // namespace archive
