// The texts of the ten help pages, as the help pictures print them.
#pragma once

#include <string>

namespace assets {

// The text of help page `page` (1 to 10), its paragraphs separated by '\n'; throws
// std::out_of_range for another number.
std::string HelpPageText(int page);

}  // namespace assets
