#pragma once
// Work started on a second thread while the caller does its own share; when
// no thread can be had, it runs when its result is asked for.

#include <future>
#include <system_error>
#include <type_traits>

namespace quillon {

template <typename Work>
std::future<std::invoke_result_t<Work>> RunBeside(Work work) {
    try {
        return std::async(std::launch::async, work);
    } catch (const std::system_error&) {
        return std::async(std::launch::deferred, work);
    }
}

} // namespace quillon
