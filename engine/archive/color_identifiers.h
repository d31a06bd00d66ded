// The colour identifiers an archive may store in place of a colour number ("clRed", "clBtnFace"),
// and the desktop colours this game gives the system colour identifiers.
#pragma once

#include <optional>
#include <string_view>

#include "engine/base/colors.h"

namespace archive {

// The colour (0x00BBGGRR) an identifier names, compared ignoring case; none for an unknown name.
std::optional<TColor> ColorFromIdentifier(std::string_view identifier);

// The identifier of one of the twenty named colours (clBlack ... clMedGray), or none; the writer
// stores these colours by name.
std::optional<std::string_view> IdentifierFromColor(TColor color);

}  // namespace archive
