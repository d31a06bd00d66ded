#include "engine/archive/color_identifiers.h"

#include <array>

#include "engine/archive/archive_value.h"

namespace archive {
namespace {

struct NamedColor {
  std::string_view name;
  TColor color;
};

// The named colours, then the system colours. There is no desktop behind this game, so the
// system colours are those of the classic grey desktop scheme.
constexpr std::array<NamedColor, 48> kColors{{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clScrollBar", 0xC0C0C0},
    {"clBackground", 0x808000},
    {"clActiveCaption", 0x800000},
    {"clInactiveCaption", 0x808080},
    {"clMenu", 0xC0C0C0},
    {"clWindow", 0xFFFFFF},
    {"clWindowFrame", 0x000000},
    {"clMenuText", 0x000000},
    {"clWindowText", 0x000000},
    {"clCaptionText", 0xFFFFFF},
    {"clActiveBorder", 0xC0C0C0},
    {"clInactiveBorder", 0xC0C0C0},
    {"clAppWorkSpace", 0x808080},
    {"clHighlight", 0x800000},
    {"clHighlightText", 0xFFFFFF},
    {"clBtnFace", 0xC0C0C0},
    {"clBtnShadow", 0x808080},
    {"clGrayText", 0x808080},
    {"clBtnText", 0x000000},
    {"clInactiveCaptionText", 0xC0C0C0},
    {"clBtnHighlight", 0xFFFFFF},
    {"cl3DDkShadow", 0x000000},
    {"cl3DLight", 0xE0E0E0},
    {"clInfoText", 0x000000},
    {"clInfoBk", 0xE1FFFF},
    {"clHotLight", 0xFF0000},
    {"clGradientActiveCaption", 0xF0CAA6},
    {"clGradientInactiveCaption", 0xC0C0C0},
}};

}  // namespace

std::optional<TColor> ColorFromIdentifier(std::string_view identifier) {
  for (const NamedColor& entry : kColors) {
    if (SameName(entry.name, identifier)) return entry.color;
  }
  return std::nullopt;
}

std::optional<std::string_view> IdentifierFromColor(TColor color) {
  constexpr size_t kNamedColors = 20;
  for (size_t i = 0; i < kNamedColors; ++i) {
    if (kColors[i].color == color) return kColors[i].name;
  }
  return std::nullopt;
}

}  // namespace archive
