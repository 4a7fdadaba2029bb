// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string_view>

namespace kelmora {

// The window as designed. Positions and sizes are in twips (1/1440 inch; 15
// twips make one pixel at 96 dots per inch), measured from the top-left
// corner of the client area.

enum class ControlKind { Label, TextBox, ComboBox, Button };

// One control: its name, where it stands, and the text and tool tip it has
// until the captions of a language replace them.
struct ControlDesign {
    std::string_view name;
    ControlKind kind;
    int left;
    int top;
    int width;
    int height;
    std::string_view text;
    std::string_view toolTip;
};

inline constexpr int kClientWidthTwips = 8220;
inline constexpr int kClientHeightTwips = 4530;
// The outer height (title bar, menu bar and borders included) is held here.
inline constexpr int kOuterHeightTwips = 5220;

// Every control of the window, in tab order: the search line first, then the
// database selection, then the record fields in screen order. Field n of a
// record goes to Text(n+1) under its heading Label(n+1).
inline constexpr std::array<ControlDesign, 21> kControls = {{
    {"Label10", ControlKind::Label, 60, 1020, 1215, 255, "Label10", ""},
    {"Text10", ControlKind::TextBox, 1380, 900, 5295, 315, "Text10", "Searchtext"},
    {"Command1", ControlKind::Button, 7200, 780, 915, 435, "Command1", "Search"},
    {"Label1", ControlKind::Label, 60, 300, 1215, 255, "Label1", ""},
    {"Combo1", ControlKind::ComboBox, 1380, 180, 5535, 315, "Combo1", "Kelmora-Database"},
    {"Label2", ControlKind::Label, 60, 1680, 1215, 255, "Label2", ""},
    {"Text2", ControlKind::TextBox, 1380, 1560, 4095, 315, "Text2", ""},
    {"Label4", ControlKind::Label, 5580, 1680, 1155, 195, "Label4", ""},
    {"Text4", ControlKind::TextBox, 6900, 1560, 1215, 315, "Text4", ""},
    {"Label3", ControlKind::Label, 60, 2100, 1215, 315, "Label3", ""},
    {"Text3", ControlKind::TextBox, 1380, 1980, 6735, 315, "Text3", ""},
    {"Label5", ControlKind::Label, 60, 2520, 1215, 255, "Label5", ""},
    {"Text5", ControlKind::TextBox, 1380, 2400, 6735, 315, "Text5", ""},
    {"Label6", ControlKind::Label, 60, 2940, 1215, 255, "Label6", ""},
    {"Text6", ControlKind::TextBox, 1380, 2820, 6735, 315, "Text6", ""},
    {"Label7", ControlKind::Label, 60, 3360, 1215, 255, "Label7", ""},
    {"Text7", ControlKind::TextBox, 1380, 3240, 6735, 315, "Text7", ""},
    {"Label8", ControlKind::Label, 60, 3780, 1215, 255, "Label8", ""},
    {"Text8", ControlKind::TextBox, 1380, 3660, 6735, 315, "Text8", ""},
    {"Label9", ControlKind::Label, 60, 4200, 1155, 255, "Label9", ""},
    {"Text9", ControlKind::TextBox, 1380, 4080, 6735, 315, "Text9", ""},
}};

// The etched separator: a light line directly above a dark one.
inline constexpr int kLightLineTopTwips = 1365; // Line2
inline constexpr int kDarkLineTopTwips = 1380;  // Line1

// Design font size; the face is "MS Sans Serif" where the system has it.
inline constexpr double kDesignFontPointSize = 8.25;

// Twips to pixels for a screen of the given logical resolution.
constexpr int twipsToPixels(int twips, double dotsPerInch) {
    const double pixels = twips * dotsPerInch / 1440.0;
    return static_cast<int>(pixels + 0.5);
}

} // namespace kelmora
