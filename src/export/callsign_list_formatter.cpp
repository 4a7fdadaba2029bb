// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/callsign_list_formatter.h"

#include "database/ascii.h"
#include "database/latin_case.h"
#include "database/station_record.h"
#include "database/text_encoding.h"

#include <algorithm>
#include <array>
#include <span>

namespace kelmora {
namespace {

constexpr std::size_t kCallsignWidth = 7;
constexpr std::size_t kLocatorWidth = 6;
constexpr std::string_view kListLineEnd = "\r\n";

bool mentionsDigitalMode(std::string_view line) {
    return ascii::containsIgnoringCase(line, "FSK441") ||
           ascii::containsIgnoringCase(line, "JT44") || ascii::containsIgnoringCase(line, "WSJT");
}

// The callsign as its field holds it: its first 7 characters, byte for byte,
// padded with blanks. encodingOf is asked only for non-ASCII text.
template <typename EncodingOf>
void appendCallsign(std::string& out, std::string_view callsign, EncodingOf encodingOf) {
    const std::string_view head = callsign.substr(0, kCallsignWidth);
    if (ascii::isAscii(head)) {
        out.append(head);
        out.append(kCallsignWidth - head.size(), ' ');
        return;
    }
    const LineEncoding encoding = encodingOf();
    std::size_t characters = 0;
    std::size_t bytes = 0;
    while (characters < kCallsignWidth && bytes < callsign.size()) {
        bytes += decodeCharacter(callsign.substr(bytes), encoding).length;
        ++characters;
    }
    out.append(callsign.substr(0, bytes));
    out.append(kCallsignWidth - characters, ' ');
}

// The locator with blanks trimmed, the first two characters in upper case and
// the rest in lower case, in 6 characters.
template <typename EncodingOf>
void appendLocator(std::string& out, std::string_view locator, EncodingOf encodingOf) {
    const std::string_view trimmed = ascii::trimBlanks(locator);
    const std::string_view head = trimmed.substr(0, kLocatorWidth);
    if (ascii::isAscii(head)) {
        for (std::size_t i = 0; i < head.size(); ++i) {
            out.push_back(i < 2 ? ascii::toUpper(head[i]) : ascii::toLower(head[i]));
        }
        out.append(kLocatorWidth - head.size(), ' ');
        return;
    }
    const LineEncoding encoding = encodingOf();
    std::size_t characters = 0;
    std::size_t bytes = 0;
    while (characters < kLocatorWidth && bytes < trimmed.size()) {
        const DecodedCharacter character = decodeCharacter(trimmed.substr(bytes), encoding);
        char32_t c = toLowerLatin(character.codePoint);
        if (characters < 2) {
            c = toUpperLatin(c);
        }
        appendCharacter(out, c, encoding);
        bytes += character.length;
        ++characters;
    }
    out.append(kLocatorWidth - characters, ' ');
}

} // namespace

CallsignListFormatter::CallsignListFormatter(bool hasHeadingLine, StationSelection selection)
    : hasHeadingLine_(hasHeadingLine), selection_(selection) {}

void CallsignListFormatter::addLine(std::string_view line, std::string& out) {
    if (!headingSeen_) {
        headingSeen_ = true;
        takeHeadingLine(line);
        return;
    }
    addStationLine(line, out);
}

void CallsignListFormatter::takeHeadingLine(std::string_view line) {
    if (!hasHeadingLine_) {
        return; // the first line is skipped all the same; the fields stay 1 and 3
    }
    std::array<std::string_view, kStationFieldCount> headings;
    splitFields(line, headings, QuoteRemoval::Keep);
    callsignField_.reset();
    locatorField_.reset();
    for (std::size_t field = 0; field < headings.size(); ++field) {
        // Later matches overwrite earlier ones: the rightmost heading wins.
        if (ascii::equalsIgnoringCase(headings[field], "CALL")) {
            callsignField_ = field;
        }
        if (ascii::equalsIgnoringCase(headings[field], "LOCATOR")) {
            locatorField_ = field;
        }
    }
}

bool CallsignListFormatter::isSelected(std::string_view line, std::string_view callsign) const {
    if (callsign.find('/') != std::string_view::npos) {
        return false;
    }
    return selection_ == StationSelection::All || mentionsDigitalMode(line);
}

void CallsignListFormatter::addStationLine(std::string_view line, std::string& out) {
    // The line is split as far as the farther of the two columns, so that both
    // come from the line itself whichever of them stands first.
    std::array<std::string_view, kStationFieldCount> fields{};
    const std::size_t fieldsNeeded =
        std::max(callsignField_.value_or(0) + 1, locatorField_.value_or(0) + 1);
    splitFields(line, std::span(fields).first(fieldsNeeded), QuoteRemoval::Remove);
    const auto fieldOf = [&fields](std::optional<std::size_t> index) {
        return index ? fields[*index] : std::string_view();
    };
    const std::string_view callsign = fieldOf(callsignField_);
    if (!isSelected(line, callsign)) {
        return;
    }
    const auto lineEncoding = [line] { return encodingOfLine(line); };
    appendCallsign(out, callsign, lineEncoding);
    appendLocator(out, fieldOf(locatorField_), lineEncoding);
    out.append(kListLineEnd);
    ++stationsWritten_;
}

} // namespace kelmora
