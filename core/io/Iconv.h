#pragma once
// The C library's code page converter (iconv), opened for one direction.
// Used where a code page has no table of its own (see SingleByteTable.h) and
// to read those tables when Quillon is built.

#include <iconv.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillon {

// The converter's name for a Windows code page.
std::string IconvName(std::uint32_t codePage);

class Iconv {
public:
    Iconv(const std::string& to, const std::string& from);
    ~Iconv();
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    void Reset();

    // Converts as much of the input as possible. Returns the bytes written
    // and advances `in`; stops on an invalid or unconvertible sequence.
    enum class Stop { Done, Invalid, Incomplete };
    Stop Convert(const char*& in, std::size_t& inLeft, std::string& out);

private:
    iconv_t m_cd;
};

} // namespace quillon
