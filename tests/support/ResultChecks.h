#pragma once
// What a test needs from a Result: the value of a call that must succeed, or
// the error of one that must fail, in one line where an assertion and a look
// at the result took two or three.

#include <gtest/gtest.h>

#include <string>

#include "io/Result.h"

namespace quillon::testing {

// An error fails the test with its description and gives an empty value, so
// the test goes on to report what else differs.
template <typename T>
T ValueOf(Result<T> result) {
    EXPECT_TRUE(result) << result.GetError().Describe();
    return result ? std::move(result).Value() : T{};
}

// A result that holds a value fails the test, naming `what`, and gives a blank error.
template <typename T>
Error FailureOf(const Result<T>& result, const std::string& what = "") {
    EXPECT_FALSE(result) << what << " succeeded where it should have failed";
    return result ? Error{} : result.GetError();
}

} // namespace quillon::testing
