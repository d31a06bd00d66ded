// Fuzz target: "config.dat", any bytes of any length. Fewer than 158 bytes read as no settings;
// otherwise the first 158 give a record whose flags are 0 or 1 and whose texts hold at most ten
// characters, which stores back as the same bytes (flags and lengths aside, which reading makes
// plain), and which the file reader and writer agree on.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>

#include "settings/config_file.h"

namespace {

// A folder of its own for the file the target reads and writes, removed at exit.
class Scratch {
 public:
  Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "skarvel-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    folder_ = pattern;
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  const std::filesystem::path& Folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
};

const std::filesystem::path& Folder() {
  static const Scratch scratch;
  return scratch.Folder();
}

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  const std::optional<ConfigRecord> record = ConfigFromFileBytes(bytes);
  Check(record.has_value() == (size >= ConfigRecordSize));

  // The file reader sees what the bytes say.
  const std::filesystem::path file = Folder() / "config.dat";
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  Check(ReadConfigFile(file) == record);
  if (!record) return 0;

  Check(record->WindowedMode <= 1 && record->MusicOn <= 1 && record->SoundOn <= 1);
  Check(record->PlayerCountry.Length <= MaxTextLength);
  for (const ScoreEntry& entry : record->ScoreTable) Check(entry.Name.Length <= MaxTextLength);

  ConfigBytes stored = PackConfig(*record);
  EncodeConfig(stored);
  for (size_t i = 0; i < ConfigRecordSize; ++i) {
    uint8_t expected = data[i];
    if (i <= 2) expected = (data[i] ^ 1) != 0 ? 0 : 1;  // on is stored as 0, off as 1
    const bool lengthByte = i == 6 || (i >= 18 && (i - 18) % 14 == 0);
    if (lengthByte && expected > MaxTextLength) expected = MaxTextLength;
    Check(stored[i] == expected);
  }

  // Written and read again, the record is the same.
  Check(WriteConfigFile(file, *record).empty());
  Check(ReadConfigFile(file) == record);
  return 0;
}
