// Names and countries travel in the result as single bytes (ISO 8859-1); the game's canvas draws
// UTF-8 and the server keeps and shows UTF-8, so both ends turn them the same way.
#pragma once

#include <string>
#include <string_view>

// Each byte as the character of the same number (ISO 8859-1), in UTF-8.
std::string Latin1ToUtf8(std::string_view text);
