// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/printing.h"

#include <array>
#include <string_view>

namespace kelmora {

void PrintTo(FileFailure failure, std::ostream* os) {
    static constexpr std::array<std::string_view, 11> kNames = {"None",
                                                                "NotFound",
                                                                "IsFolder",
                                                                "NotOrdinaryFile",
                                                                "PermissionDenied",
                                                                "ReadOnlyFileSystem",
                                                                "NoSpace",
                                                                "QuotaExceeded",
                                                                "InUse",
                                                                "IoError",
                                                                "Other"};
    *os << kNames.at(static_cast<std::size_t>(failure));
}

void PrintTo(const FileError& error, std::ostream* os) {
    PrintTo(error.failure, os);
    *os << " (system code " << error.systemCode << ": " << systemErrorText(error.systemCode) << ")";
}

void PrintTo(const LookupCounts& counts, std::ostream* os) {
    *os << "added " << counts.added << ", changed " << counts.changed << ", unchanged "
        << counts.unchanged << ", left out: \"/\" " << counts.slashInCall << ", call "
        << counts.invalidCall << ", locator " << counts.invalidLocator << ", duplicate "
        << counts.duplicate;
}

} // namespace kelmora
