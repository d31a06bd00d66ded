// The game's texts as the canvas shows them: names and the country are single-byte characters,
// while the canvas draws UTF-8; the country is shown in capitals.
#pragma once

#include <string>
#include <string_view>

// Each byte as the character of the same number (ISO 8859-1), in UTF-8.
std::string Latin1ToUtf8(std::string_view text);
// The letters a to z as capitals; every other byte as it is.
std::string UpperCase(std::string text);
