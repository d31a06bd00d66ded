// The game names its files the way its data were first laid out ("sound\1.xm", "Sound\1.xm"):
// backslashes and any letter case. These resolve such a name against a real folder.
#pragma once

#include <filesystem>
#include <string_view>

// Resolves a relative game file name against `base` (the current folder by default): "\" and "/"
// both separate components, and each component matches an existing entry without regard to
// ASCII letter case (an exact match wins). Components that match nothing are kept as written,
// so the result names the file that opening would miss.
std::filesystem::path ResolvePath(std::string_view name,
                                  const std::filesystem::path& base = std::filesystem::path("."));

// True when the resolved name is an existing regular file.
bool GameFileExists(std::string_view name,
                    const std::filesystem::path& base = std::filesystem::path("."));
