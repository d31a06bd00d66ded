// The colour identifiers an archive may store in place of a colour number ("clRed", "clBtnFace"),
// and the desktop colours this game gives the system colour identifiers.
#pragma once

#include <optional>
#include <string_view>

#include "engine/colors.h"

namespace archive {

// The colour (0x00BBGGRR) an identifier names, compared ignoring case; none for an unknown name.
std::optional<TColor> ColorFromIdentifier(std::string_view identifier);

}  // namespace archive
