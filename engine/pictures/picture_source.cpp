#include "engine/pictures/picture_source.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "engine/base/exception.h"
#include "engine/base/fresh_memory.h"

TFilePictureSource::TFilePictureSource(const std::filesystem::path& path)
    : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
  struct stat status {};
  if (fd_ >= 0 && (fstat(fd_, &status) != 0 || !S_ISREG(status.st_mode))) {
    close(fd_);
    fd_ = -1;
  }
  if (fd_ < 0) throw EFOpenError("Cannot open file \"" + path.string() + "\"");
}

TFilePictureSource::~TFilePictureSource() {
  close(fd_);
}

std::vector<uint8_t> TFilePictureSource::Read(uint64_t offset, uint64_t size) {
  // The size comes from the file as it was loaded: never allocate more than it holds now.
  struct stat status {};
  if (fstat(fd_, &status) != 0 || static_cast<uint64_t>(status.st_size) <= offset) return {};
  std::vector<uint8_t> bytes = FreshVector<uint8_t>(
      static_cast<size_t>(std::min(size, static_cast<uint64_t>(status.st_size) - offset)));
  bytes.resize(ReadInto(offset, bytes));
  return bytes;
}

size_t TFilePictureSource::ReadInto(uint64_t offset, std::span<uint8_t> into) {
  size_t done = 0;
  while (done < into.size() && offset + done <= static_cast<uint64_t>(INT64_MAX)) {
    const ssize_t got =
        pread(fd_, into.data() + done, into.size() - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

TFilePictureSource::Mapping::Mapping(TFilePictureSource& file) {
  struct stat status {};
  if (fstat(file.fd_, &status) == 0 && status.st_size > 0) {
    size_ = static_cast<size_t>(status.st_size);
    address_ = mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, file.fd_, 0);
    if (address_ == MAP_FAILED) {
      address_ = nullptr;
    } else {
      // The walk reads a few bytes here and there: no read-ahead around them.
      madvise(address_, size_, MADV_RANDOM);
      bytes_ = {static_cast<const uint8_t*>(address_), size_};
      return;
    }
  }
  copy_ = file.Read(0, UINT64_MAX);
  bytes_ = copy_;
}

void TFilePictureSource::Mapping::Walked(const uint8_t* end) {
  if (address_ == nullptr) return;
  const auto* base = static_cast<const uint8_t*>(address_);
  if (end < base || end > base + size_) return;
  static const auto page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  const size_t upTo = static_cast<size_t>(end - base) / page * page;
  if (upTo <= walked_) return;
  // The mapping is private and never written: dropped pages come back from the file unchanged.
  madvise(static_cast<uint8_t*>(address_) + walked_, upTo - walked_, MADV_DONTNEED);
  walked_ = upTo;
}

TFilePictureSource::Mapping::~Mapping() {
  if (address_ != nullptr) munmap(address_, size_);
}

size_t TMemoryPictureSource::ReadInto(uint64_t offset, std::span<uint8_t> into) {
  if (offset >= bytes_.size()) return 0;
  const size_t count = static_cast<size_t>(std::min<uint64_t>(into.size(), bytes_.size() - offset));
  std::copy_n(bytes_.begin() + static_cast<ptrdiff_t>(offset), count, into.begin());
  return count;
}

std::vector<uint8_t> TMemoryPictureSource::Read(uint64_t offset, uint64_t size) {
  if (offset >= bytes_.size()) return {};
  const uint64_t count = std::min<uint64_t>(size, bytes_.size() - offset);
  const auto first = bytes_.begin() + static_cast<ptrdiff_t>(offset);
  return {first, first + static_cast<ptrdiff_t>(count)};
}
