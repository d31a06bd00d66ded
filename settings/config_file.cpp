#include "settings/config_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

std::string SystemError(int error) {
  return std::strerror(error);
}

// Writes all of `bytes`, retrying short writes and interruptions.
bool WriteAll(int fd, const uint8_t* bytes, size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, bytes, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

}  // namespace

std::optional<ConfigRecord> ReadConfigFile(const std::filesystem::path& path,
                                           std::string* failure) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    // A missing file is no failure: the defaults take its place.
    if (failure != nullptr && errno != ENOENT && errno != ENOTDIR) *failure = SystemError(errno);
    return std::nullopt;
  }
  ConfigBytes bytes{};
  size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    // A folder in the file's place is no settings file at all, not one that cannot be read.
    if (n < 0 && errno != EISDIR && failure != nullptr) *failure = SystemError(errno);
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  if (failure != nullptr && !failure->empty()) return std::nullopt;
  return ConfigFromFileBytes(std::span<const uint8_t>(bytes.data(), got));
}

std::optional<ConfigRecord> ConfigFromFileBytes(std::span<const uint8_t> bytes) {
  if (bytes.size() < ConfigRecordSize) return std::nullopt;
  ConfigBytes record{};
  std::copy_n(bytes.begin(), record.size(), record.begin());
  EncodeConfig(record);
  return UnpackConfig(record);
}

std::filesystem::path ConfigBackupPath(const std::filesystem::path& path) {
  std::filesystem::path backup = path;
  backup += ".bak";
  return backup;
}

std::string KeepUnreadableConfig(const std::filesystem::path& path) {
  if (::rename(path.c_str(), ConfigBackupPath(path).c_str()) != 0) return SystemError(errno);
  return {};
}

std::string WriteConfigFile(const std::filesystem::path& path, const ConfigRecord& record) {
  // Renaming would replace even a read-only file: respect the user's protection.
  if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0) {
    return SystemError(errno);
  }
  ConfigBytes bytes = PackConfig(record);
  EncodeConfig(bytes);

  std::string temporary = path.string() + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return SystemError(errno);
  int error = 0;
  if (!WriteAll(fd, bytes.data(), bytes.size()) || ::fsync(fd) != 0) error = errno;
  // mkstemp makes the file private; give it the mode a newly created file would have.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  if (::fchmod(fd, 0666 & ~mask) != 0 && error == 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    return SystemError(error);
  }
  return {};
}
