// The secret the tokens are signed with, kept in a private file that instances behind one proxy
// share.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

// The shortest secret a file may hold: 256 bits even if it were text of only random letters.
inline constexpr size_t MinSecretBytes = 32;

// The secret in `path`, or a new one made there when the file does not exist (32 random bytes as
// hex digits, mode 0600, written whole to a new file and then linked into place, so a full disk
// or a crash never leaves a short one, and an existing file is never replaced). Throws
// std::runtime_error with advice for the operator when the file can be read by group or others,
// holds fewer than MinSecretBytes bytes, or cannot be read or made. `log` (may be empty) hears of
// a new secret.
std::string LoadOrCreateSecret(const std::filesystem::path& path,
                               const std::function<void(const std::string&)>& log = {});
