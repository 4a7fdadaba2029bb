// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/file_error.h"
#include "export/lookup_list.h"

#include <ostream>

// How GoogleTest prints the program's values and the tests' table rows, so
// that a failing row says which one it is.
namespace kelmora {

void PrintTo(FileFailure failure, std::ostream* os);
void PrintTo(const FileError& error, std::ostream* os);
void PrintTo(const LookupCounts& counts, std::ostream* os);

namespace testing {

// Every table row of the core tests carries a name; a test file brings this
// into its own namespace with `using testing::PrintTo;`.
template <typename Row>
requires requires(const Row& row) {
    row.name;
}
void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

} // namespace testing
} // namespace kelmora
