// SPDX-License-Identifier: GPL-3.0-or-later
#include "language/map_texts.h"

#include "language/text_join.h"

#include <cmath>
#include <cstdint>

namespace kelmora::map_texts {
namespace {

// Typed text and file names in quotes as the language sets them.
std::string quoted(Language language, std::string_view text) {
    return german(language) ? concat({"„", text, "“"}) : concat({"\"", text, "\""});
}

std::string callAndLocator(std::string_view call, std::string_view locator) {
    return concat({call, "  ", locator});
}

} // namespace

std::string kilometres(Language language, double km) {
    const auto whole = static_cast<std::uint64_t>(std::llround(std::fabs(km)));
    return groupedNumber(language, whole) + " km";
}

std::string degrees(double heading) {
    long whole = std::lround(heading) % 360;
    if (whole < 0) {
        whole += 360;
    }
    return std::to_string(whole) + "°";
}

std::string windowTitle(Language language) {
    return german(language) ? "Karte der Stationen" : "Map of the stations";
}

std::string locatorDialogTitle(Language language) {
    return german(language) ? "Eigener Locator" : "Own locator";
}

std::string locatorPrompt(Language language) {
    return german(language) ? "Ihr Maidenhead-Locator (4, 6 oder 8 Zeichen, z. B. JO62QM):"
                            : "Your Maidenhead locator (4, 6 or 8 characters, e.g. JO62QM):";
}

MessageText notALocator(Language language, std::string_view typed) {
    if (german(language)) {
        return {locatorDialogTitle(language),
                joinLines({typed.empty() ? "Es wurde kein Locator eingegeben."
                                         : concat({quoted(language, typed), " ist kein Locator."}),
                           "Ein Locator hat 4, 6 oder 8 Zeichen: zwei Buchstaben von A bis R,",
                           "zwei Ziffern, dann wahlweise zwei Buchstaben von A bis X und",
                           "wieder zwei Ziffern, etwa JO62 oder JO62QM.",
                           "Der Locator wurde nicht gespeichert."})};
    }
    return {
        locatorDialogTitle(language),
        joinLines({concat({quoted(language, typed), " is not a locator."}),
                   "A locator has 4, 6 or 8 characters: two letters from A to R,",
                   "two digits, then if wanted two letters from A to X and",
                   "two digits again, such as JO62 or JO62QM.", "The locator was not stored."})};
}

std::string noOwnLocator(Language language) {
    return german(language)
               ? "Die Karte braucht Ihren eigenen Locator: er ist ihre Mitte, und von ihm aus "
                 "gelten Entfernung und Richtung zu jeder Station."
               : "The map needs your own locator: it is the map's centre, and distances and "
                 "headings to every station are measured from it.";
}

std::string enterOwnLocator(Language language) {
    return german(language) ? "Eigenen &Locator eingeben..." : "Enter own &locator...";
}

std::string stationPath(Language language, std::string_view call, std::string_view locator,
                        const PathFigures& path) {
    const std::string distance = kilometres(language, path.distanceKm);
    const std::string heading = degrees(path.headingDegrees);
    const std::string longHeading = degrees(path.longPathHeadingDegrees);
    const std::string longDistance = kilometres(language, path.longPathKm);
    if (german(language)) {
        return concat({callAndLocator(call, locator), ":  ", distance, ", Richtung ", heading,
                       "   (langer Weg: ", longHeading, ", ", longDistance, ")"});
    }
    return concat({callAndLocator(call, locator), ":  ", distance, ", heading ", heading,
                   "   (long path: ", longHeading, ", ", longDistance, ")"});
}

std::string stationAtOwnLocator(Language language, std::string_view call,
                                std::string_view locator) {
    return concat({callAndLocator(call, locator),
                   german(language) ? ":  am eigenen Locator" : ":  at your own locator"});
}

std::string stationWithoutOwnLocator(Language language, std::string_view call,
                                     std::string_view locator) {
    return concat({callAndLocator(call, locator),
                   german(language) ? ":  Entfernung und Richtung erst mit eigenem Locator"
                                    : ":  distance and heading need your own locator"});
}

std::string notAValidLocator(Language language, std::string_view call, std::string_view field) {
    if (field.find_first_not_of(' ') == std::string_view::npos) {
        return concat({call, german(language)
                                 ? ":  kein Locator angegeben, also keine Entfernung und Richtung"
                                 : ":  no locator given, so no distance and heading"});
    }
    return concat({call, ":  ", quoted(language, field),
                   german(language) ? " ist kein gültiger Locator, also keine Entfernung und "
                                      "Richtung"
                                    : " is not a valid locator, so no distance and heading"});
}

std::string noLocatorColumn(Language language, std::string_view call) {
    return concat({call, german(language)
                             ? ":  die Datenbank hat keine Spalte LOCATOR, also keine Entfernung "
                               "und Richtung"
                             : ":  the database has no LOCATOR column, so no distance and "
                               "heading"});
}

std::string headingLine(Language language) {
    return german(language) ? "Das ist die Überschriftenzeile der Datenbank, keine Station."
                            : "This is the heading line of the database, not a station.";
}

std::string noStation(Language language) {
    return german(language) ? "Keine Station angezeigt." : "No station shown.";
}

std::string dotToolTip(Language language, std::string_view locator, double distanceKm,
                       double headingDegrees, std::span<const std::string> calls,
                       std::size_t notShown) {
    std::string text =
        concat({locator, "  ", kilometres(language, distanceKm), "  ", degrees(headingDegrees)});
    for (const std::string& call : calls) {
        text += '\n';
        text += call;
    }
    if (notShown > 0) {
        text += concat({"\n", german(language) ? "und " : "and ", std::to_string(notShown),
                        german(language) ? " weitere" : " more"});
    }
    return text;
}

std::string savePicture(Language language) {
    return german(language) ? "Bild &speichern..." : "&Save picture...";
}

std::string saveDialogTitle(Language language) {
    return german(language) ? "Karte als Bild speichern" : "Save the map as a picture";
}

std::string pictureFilters(Language language) {
    return german(language) ? "PNG-Bilder (*.png)" : "PNG pictures (*.png)";
}

std::string pictureTitle(Language language, std::string_view ownLocator,
                         std::string_view database) {
    return german(language) ? concat({"Eigener Locator ", ownLocator, "  –  Datenbank ", database})
                            : concat({"Own locator ", ownLocator, "  –  database ", database});
}

MessageText pictureNotSaved(Language language, std::string_view file) {
    if (german(language)) {
        return {map_texts::windowTitle(language),
                joinLines({"Das Bild kann nicht gespeichert werden:", file})};
    }
    return {map_texts::windowTitle(language), joinLines({"The picture cannot be saved:", file})};
}

} // namespace kelmora::map_texts
