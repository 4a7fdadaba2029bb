// SPDX-License-Identifier: GPL-3.0-or-later
#include "language/info_text.h"

#include "kelmora/version.h"

namespace kelmora {
namespace {

std::string firstInfoLine(std::string_view programName) {
    return std::string(programName) + versionText() + " " + version::kCopyright + "  ";
}

} // namespace

std::string versionText() {
    return std::to_string(version::kMajor) + "." + std::to_string(version::kMinor) + "." +
           std::to_string(version::kRevision);
}

std::string infoText(Language language, std::string_view currentFolder) {
    std::string text;
    const auto line = [&text](std::string_view content) {
        if (!text.empty()) {
            text += kLineBreak;
        }
        text += content;
    };
    if (language == Language::German) {
        text = firstInfoLine("Kelmora-Datenbank-Viewer V ");
        line("für die  Kelmora-Datenbank  von Harvend  (User-Version) .   ");
        line("");
        line("Die  Datenbank  muß sich im gleichen  Ordner  befinden    ");
        line("wie  dieses  Programm.  ");
        line("");
        line("Es kann nach dem Rufzeichen, Locator, Band o.ä.");
        line("gesucht werden.");
    } else {
        text = firstInfoLine("Kelmora-Database-Viewer V ");
        line("for the  Kelmora-Database  by Harvend  (User-Version) .   ");
        line("");
        line("Please select database in this directory:               ");
        line(currentFolder);
        line("");
        line("Search : Call, Locator, QRG .....");
    }
    return text;
}

} // namespace kelmora
