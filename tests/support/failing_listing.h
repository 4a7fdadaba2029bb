// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kelmora::testing {

// While the object lives, every listing of a folder in the process fails
// part-way, as on a failing disk or a network folder that goes away: after the
// given number of further entries, the next one cannot be read (EIO). POSIX
// only; the C++ library's folder iterators are affected too.
class FailingListings {
public:
    explicit FailingListings(int entriesBeforeFailure);
    ~FailingListings();
    FailingListings(const FailingListings&) = delete;
    FailingListings& operator=(const FailingListings&) = delete;
};

} // namespace kelmora::testing
