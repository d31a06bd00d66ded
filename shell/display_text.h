// The game's texts as the canvas shows them: names and the country are single-byte characters,
// while the canvas draws UTF-8 (protocol/latin1_text.h); the country is shown in capitals.
#pragma once

#include <string>

#include "protocol/latin1_text.h"

// The letters a to z as capitals; every other byte as it is.
std::string UpperCase(std::string text);
