#pragma once
// The value of a Result, for a test that needs it to be there.

#include <gtest/gtest.h>

#include "io/Result.h"

namespace quillon::testing {

// An error fails the test with its description and gives an empty value, so
// the test goes on to report what else differs.
template <typename T>
T ValueOf(Result<T> result) {
    EXPECT_TRUE(result) << result.GetError().Describe();
    return result ? std::move(result).Value() : T{};
}

} // namespace quillon::testing
