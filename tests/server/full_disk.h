// A tiny tmpfs filled to the last byte, standing for a full disk; mounting needs root (or a user
// namespace), so a test without it is skipped with the reason.
#pragma once

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

class FullDisk {
 public:
  // Mounts at `where` (made if missing); Mounted() tells whether that worked, WhyNot() why not.
  explicit FullDisk(const std::filesystem::path& where) : where_(where) {
    std::filesystem::create_directories(where_);
    if (::mount("tmpfs", where_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0755") !=
        0) {
      whyNot_ = std::string("cannot mount a small tmpfs here: ") + std::strerror(errno);
      return;
    }
    mounted_ = true;
    // Fill it: the writes stop at the size.
    std::ofstream filler(where_ / "filler", std::ios::binary);
    const std::string block(4096, 'x');
    for (int i = 0; i < 64 && filler.write(block.data(), block.size()); ++i) {
    }
  }
  ~FullDisk() {
    if (mounted_) ::umount2(where_.c_str(), MNT_DETACH);
  }
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;

  bool Mounted() const { return mounted_; }
  const std::string& WhyNot() const { return whyNot_; }

 private:
  std::filesystem::path where_;
  bool mounted_ = false;
  std::string whyNot_;
};
