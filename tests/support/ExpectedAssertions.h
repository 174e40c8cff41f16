#pragma once

#include <gtest/gtest.h>

#include "platform/Expected.h"

namespace gaisan::testing {

/// Whether a call succeeded, with its failure's text when it did not: ASSERT_TRUE(succeeded(x)).
template <class T>
::testing::AssertionResult succeeded(const Expected<T>& outcome) {
    if (outcome) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << outcome.error().text();
}

}  // namespace gaisan::testing
