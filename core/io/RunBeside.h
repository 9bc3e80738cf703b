#pragma once
// Work started on a second thread while the caller does its own share; when
// no thread can be had, it runs when its result is asked for.

#include <future>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>

namespace quillon {

template <typename Work>
std::future<std::invoke_result_t<Work>> RunBeside(Work work) {
    try {
        return std::async(std::launch::async, work);
    } catch (const std::system_error&) {
        return std::async(std::launch::deferred, work);
    }
}

// Destroys `value` on a thread of its own, for a caller that should not
// wait while a large tree is freed block by block; where no thread can be
// had, it is destroyed here. Only for values that own nothing but memory.
template <typename Value>
void DisposeBeside(Value value) {
    try {
        std::thread([gone = std::move(value)] {}).detach();
    } catch (const std::system_error&) {
    }
}

} // namespace quillon
