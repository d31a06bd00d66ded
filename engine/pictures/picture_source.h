// Where the pictures of an archive that are not decoded yet are read from when first needed: the
// archive file, kept open, or the archive's bytes in memory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

class TPictureSource {
 public:
  virtual ~TPictureSource() = default;
  // `size` bytes from `offset`; fewer when the source no longer holds them.
  virtual std::vector<uint8_t> Read(uint64_t offset, uint64_t size) = 0;
  // Fills `into` with the bytes from `offset` on; how many it could give, fewer when the source no
  // longer holds them.
  virtual size_t ReadInto(uint64_t offset, std::span<uint8_t> into) = 0;
};

// The archive file, opened once: a picture is read from it when first drawn, so the file's bytes
// are never all held at once.
class TFilePictureSource : public TPictureSource {
 public:
  // EFOpenError "Cannot open file "<path>"" when it cannot be opened.
  explicit TFilePictureSource(const std::filesystem::path& path);
  ~TFilePictureSource() override;
  TFilePictureSource(const TFilePictureSource&) = delete;
  TFilePictureSource& operator=(const TFilePictureSource&) = delete;

  std::vector<uint8_t> Read(uint64_t offset, uint64_t size) override;
  size_t ReadInto(uint64_t offset, std::span<uint8_t> into) override;

  // The whole file for one walk through it, mapped rather than copied: the walk skips over the
  // pictures' data. Valid while the mapping lives.
  class Mapping {
   public:
    explicit Mapping(TFilePictureSource& file);
    ~Mapping();
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    std::span<const uint8_t> Bytes() const { return bytes_; }
    // The walk is past `end` (a byte of Bytes(), or its end): the whole pages before it leave the
    // process. The kernel maps up to 64 kB of cached file around every page the walk reads, which
    // over a whole walk is most of the file at once; given back as the walk goes, only the pages
    // near it are held. Reading them again still gives the file's bytes.
    void Walked(const uint8_t* end);

   private:
    void* address_ = nullptr;
    size_t size_ = 0;
    size_t walked_ = 0;          // the pages before this offset have been given back
    std::vector<uint8_t> copy_;  // where the file cannot be mapped
    std::span<const uint8_t> bytes_;
  };

 private:
  int fd_ = -1;
};

// Bytes already in memory, shared by the pictures that have not been decoded.
class TMemoryPictureSource : public TPictureSource {
 public:
  explicit TMemoryPictureSource(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  std::vector<uint8_t> Read(uint64_t offset, uint64_t size) override;
  size_t ReadInto(uint64_t offset, std::span<uint8_t> into) override;
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};
