// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/locator.h"

#include <gtest/gtest.h>

namespace kelmora::geo {
namespace {

TEST(Locator, Placeholder) {
    EXPECT_TRUE(isLocator("JO62"));
}

} // namespace
} // namespace kelmora::geo
