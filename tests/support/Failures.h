#pragma once
// The error of a call that should have failed, for tests that check what it
// says: one line where an assertion and a look at the error took two or three.

#include <gtest/gtest.h>

#include <string>

#include "io/Result.h"

namespace quillon::testing {

// A result that holds a value fails the test, naming `what`, and gives a blank error.
template <typename T>
Error FailureOf(const Result<T>& result, const std::string& what = "") {
    EXPECT_FALSE(result) << what << " succeeded where it should have failed";
    return result ? Error{} : result.GetError();
}

} // namespace quillon::testing
