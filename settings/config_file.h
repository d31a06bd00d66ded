// Reading and writing "config.dat". Saving never loses the previous file: the record goes to a
// temporary file beside it, which is flushed and then renamed over the old one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "settings/config_record.h"

// The record in plain form from a file's bytes: nothing when there are fewer than 158, and only
// the first 158 of more are used.
std::optional<ConfigRecord> ConfigFromFileBytes(std::span<const uint8_t> bytes);

// The record in plain form, or nothing when the file is missing, unreadable or shorter than a
// record. Only the first 158 bytes of a longer file are used. When the file is there but cannot
// be opened or read, `failure` (if given) receives the system's description of why.
std::optional<ConfigRecord> ReadConfigFile(const std::filesystem::path& path,
                                           std::string* failure = nullptr);

// Where an unreadable settings file is kept: beside it, its name followed by ".bak".
std::filesystem::path ConfigBackupPath(const std::filesystem::path& path);

// Moves a settings file that cannot be used to its backup path, replacing an older backup, so
// that writing the defaults loses nothing. Returns the system's description of a failure, empty
// on success.
std::string KeepUnreadableConfig(const std::filesystem::path& path);

// Writes the record (encoded) to the file. Returns the system's description of a failure, empty
// on success; on failure the old file is as it was. A file the user made read-only is not
// replaced.
std::string WriteConfigFile(const std::filesystem::path& path, const ConfigRecord& record);
