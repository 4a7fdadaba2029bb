// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/callsign_list_formatter.h"

#include "database/ascii.h"
#include "database/latin_case.h"
#include "database/text_encoding.h"

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
    : columns_(hasHeadingLine), selection_(selection) {}

void CallsignListFormatter::addLine(std::string_view line, std::string& out) {
    if (!headingSeen_) {
        headingSeen_ = true;
        columns_.takeHeadingLine(line);
        return;
    }
    addStationLine(line, out);
}

bool CallsignListFormatter::isSelected(std::string_view line, std::string_view callsign) const {
    if (callsign.find('/') != std::string_view::npos) {
        return false;
    }
    return selection_ == StationSelection::All || mentionsDigitalMode(line);
}

void CallsignListFormatter::addStationLine(std::string_view line, std::string& out) {
    const StationColumns::Fields fields = columns_.fieldsOf(line);
    if (!isSelected(line, fields.callsign)) {
        return;
    }
    const auto lineEncoding = [line] { return encodingOfLine(line); };
    appendCallsign(out, fields.callsign, lineEncoding);
    appendLocator(out, fields.locator, lineEncoding);
    out.append(kListLineEnd);
    ++stationsWritten_;
}

} // namespace kelmora
