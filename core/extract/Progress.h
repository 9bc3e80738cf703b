#pragma once
// The please-wait window of long operations, as the core sees it. The GUI
// shows a window; the CLI may draw a line on a terminal; tests count calls.

#include <cstdint>
#include <string_view>

namespace quillon {

class IProgress {
public:
    virtual ~IProgress() = default;
    virtual void Show(std::string_view message, std::uint32_t range) = 0;
    virtual void Step() = 0;
    virtual void Hide() = 0;
    // Whether the user asked to stop. Operations that can stop cleanly ask
    // between steps and end with Error::Code::Cancelled.
    virtual bool StopRequested() const { return false; }
};

} // namespace quillon
