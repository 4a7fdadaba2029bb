// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "language/captions.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

// The texts of the map window and of the own locator's dialog. Calls,
// locators and file names come in as UTF-8, already decoded for display.
namespace kelmora::map_texts {

// A whole number of kilometres with its thousands grouped as the language
// writes them: "1.234 km" in German, "1,234 km" in English.
std::string kilometres(Language language, double km);
// A heading in whole degrees, 0 to 359: "123°".
std::string degrees(double heading);

std::string windowTitle(Language language);

// The own locator's dialog.
std::string locatorDialogTitle(Language language);
std::string locatorPrompt(Language language);
MessageText notALocator(Language language, std::string_view typed);

// What the window shows while there is no own locator, and its button.
std::string noOwnLocator(Language language);
std::string enterOwnLocator(Language language);

// Where a station lies, seen from the own locator.
struct PathFigures {
    double distanceKm = 0;
    double headingDegrees = 0;
    double longPathKm = 0;
    double longPathHeadingDegrees = 0;
};

// The line of text above the map, one for each case of the shown record.
std::string stationPath(Language language, std::string_view call, std::string_view locator,
                        const PathFigures& path);
// A station at the own locator's very centre: no heading to speak of.
std::string stationAtOwnLocator(Language language, std::string_view call, std::string_view locator);
std::string stationWithoutOwnLocator(Language language, std::string_view call,
                                     std::string_view locator);
// field is the locator field as it stands; blank when it holds nothing.
std::string notAValidLocator(Language language, std::string_view call, std::string_view field);
std::string noLocatorColumn(Language language, std::string_view call);
std::string headingLine(Language language);
std::string noStation(Language language);

// The tool tip of a dot: its locator, distance and heading, then the calls of
// the stations there; more than shown are counted.
std::string dotToolTip(Language language, std::string_view locator, double distanceKm,
                       double headingDegrees, std::span<const std::string> calls,
                       std::size_t notShown);

// Saving the picture.
std::string savePicture(Language language); // the context menu's item
std::string saveDialogTitle(Language language);
std::string pictureFilters(Language language);
std::string pictureTitle(Language language, std::string_view ownLocator, std::string_view database);
MessageText pictureNotSaved(Language language, std::string_view file);

} // namespace kelmora::map_texts
