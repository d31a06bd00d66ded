// Reading and making the token secret file.
#include "server/token_secret.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "server/score_token.h"

namespace {

constexpr size_t MaxSecretBytes = 4096;

std::string Hex(const std::string& bytes) {
  static constexpr char Digits[] = "0123456789abcdef";
  std::string text;
  for (const char c : bytes) {
    text += Digits[static_cast<unsigned char>(c) >> 4];
    text += Digits[static_cast<unsigned char>(c) & 0x0F];
  }
  return text;
}

std::string SystemError(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

// Closes the descriptor on every way out.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  // Closes now, reporting the error a delayed write may only show here.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

std::string ReadSecret(const std::filesystem::path& path) {
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0)
    throw std::runtime_error(SystemError("cannot read the secret file " + path.string()));
  struct stat status {};
  if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
    throw std::runtime_error("the secret file " + path.string() + " is not a regular file");
  }
  if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(status.st_mode & 07777));
    throw std::runtime_error("the secret file " + path.string() +
                             " can be used by group or others (mode " + mode +
                             "): anyone who reads it can sign scores; make it private with "
                             "chmod 600 " +
                             path.string());
  }
  std::string secret(MaxSecretBytes, '\0');
  size_t length = 0;
  for (;;) {
    const ssize_t got = ::read(file.get(), secret.data() + length, secret.size() - length);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0)
      throw std::runtime_error(SystemError("cannot read the secret file " + path.string()));
    if (got == 0 || (length += static_cast<size_t>(got)) == secret.size()) break;
  }
  secret.resize(length);
  while (!secret.empty() &&
         (secret.back() == '\n' || secret.back() == '\r' || secret.back() == ' ')) {
    secret.pop_back();
  }
  if (secret.size() < MinSecretBytes) {
    throw std::runtime_error(
        "the secret file " + path.string() + " holds " + std::to_string(secret.size()) +
        " bytes, fewer than the " + std::to_string(MinSecretBytes) +
        " a secret needs; remove it and the server makes a new one at its next start (instances "
        "that share it must then all get the new file)");
  }
  return secret;
}

void WriteWhole(int fd, const std::string& text) {
  size_t written = 0;
  while (written < text.size()) {
    const ssize_t put = ::write(fd, text.data() + written, text.size() - written);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) throw std::runtime_error(SystemError("cannot write"));
    written += static_cast<size_t>(put);
  }
}

std::string CreateSecret(const std::filesystem::path& path,
                         const std::function<void(const std::string&)>& log) {
  const std::string secret = Hex(NewTokenSecret());
  std::string temporary = path.string() + ".new-XXXXXX";
  // mkstemp makes the file with mode 0600.
  FileDescriptor file(::mkstemp(temporary.data()));
  if (file.get() < 0) {
    throw std::runtime_error(SystemError("cannot create the secret file " + path.string()));
  }
  try {
    WriteWhole(file.get(), secret + "\n");
    if (::fsync(file.get()) != 0 || !file.Close()) {
      throw std::runtime_error(SystemError("cannot write"));
    }
    // link, unlike rename, never replaces: of two instances starting at once on one file, one
    // puts its secret in place and the other reads it.
    if (::link(temporary.c_str(), path.c_str()) != 0) {
      if (errno != EEXIST) throw std::runtime_error(SystemError("cannot put in place"));
      ::unlink(temporary.c_str());
      return ReadSecret(path);
    }
  } catch (const std::runtime_error& error) {
    ::unlink(temporary.c_str());
    throw std::runtime_error("cannot make the secret file " + path.string() + ": " + error.what());
  }
  ::unlink(temporary.c_str());
  // The new name must outlive a power cut as the contents do.
  const auto folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  const FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.get() >= 0) ::fsync(directory.get());
  if (log) log("made a new token secret at " + path.string());
  return secret;
}

}  // namespace

std::string LoadOrCreateSecret(const std::filesystem::path& path,
                               const std::function<void(const std::string&)>& log) {
  struct stat status {};
  if (::stat(path.c_str(), &status) == 0) return ReadSecret(path);
  if (errno != ENOENT) {
    throw std::runtime_error(SystemError("cannot look at the secret file " + path.string()));
  }
  return CreateSecret(path, log);
}
