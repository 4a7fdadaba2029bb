// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/failing_listing.h"

#include <cerrno>
#include <dirent.h>
#include <dlfcn.h>

namespace {

// Entries still to be read before listings fail; negative while they do not.
int entriesLeft = -1;

using ReadEntry = dirent* (*)(DIR*);

ReadEntry systemReadEntry() {
    static const auto system = reinterpret_cast<ReadEntry>(::dlsym(RTLD_NEXT, "readdir"));
    return system;
}

} // namespace

// The program's own readdir comes before the C library's, so every listing
// of the process reads its entries through here.
extern "C" dirent* readdir(DIR* folder) {
    if (entriesLeft == 0) {
        errno = EIO;
        return nullptr;
    }
    if (entriesLeft > 0) {
        --entriesLeft;
    }
    return systemReadEntry()(folder);
}

namespace kelmora::testing {

FailingListings::FailingListings(int entriesBeforeFailure) {
    entriesLeft = entriesBeforeFailure;
}

FailingListings::~FailingListings() {
    entriesLeft = -1;
}

} // namespace kelmora::testing
