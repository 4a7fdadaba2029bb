#pragma once

#include <array>
#include <string_view>

namespace kelmora {

// The window as designed, in twips (1/1440 inch; 15 twips make one pixel at
// 96 dots per inch), measured from the top-left corner of the client area.
struct ControlPlacement {
    std::string_view name;
    int left;
    int top;
    int width;
    int height;
};

inline constexpr int kClientWidthTwips = 8220;
inline constexpr int kClientHeightTwips = 4530;
// The outer height (title bar, menu bar and borders included) is held here.
inline constexpr int kOuterHeightTwips = 5220;

// The controls in tab order: the search line first, then the database
// selection, then the record fields in screen order.
inline constexpr std::array<ControlPlacement, 21> kControlPlacements = {{
    {"Label10", 60, 1020, 1215, 255},  {"Text10", 1380, 900, 5295, 315},
    {"Command1", 7200, 780, 915, 435}, {"Label1", 60, 300, 1215, 255},
    {"Combo1", 1380, 180, 5535, 315},  {"Label2", 60, 1680, 1215, 255},
    {"Text2", 1380, 1560, 4095, 315},  {"Label4", 5580, 1680, 1155, 195},
    {"Text4", 6900, 1560, 1215, 315},  {"Label3", 60, 2100, 1215, 315},
    {"Text3", 1380, 1980, 6735, 315},  {"Label5", 60, 2520, 1215, 255},
    {"Text5", 1380, 2400, 6735, 315},  {"Label6", 60, 2940, 1215, 255},
    {"Text6", 1380, 2820, 6735, 315},  {"Label7", 60, 3360, 1215, 255},
    {"Text7", 1380, 3240, 6735, 315},  {"Label8", 60, 3780, 1215, 255},
    {"Text8", 1380, 3660, 6735, 315},  {"Label9", 60, 4200, 1155, 255},
    {"Text9", 1380, 4080, 6735, 315},
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
