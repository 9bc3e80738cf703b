#include "io/Iconv.h"

#include <cerrno>

#include "io/CodePage.h"

namespace quillon {

std::string IconvName(std::uint32_t codePage) {
    if (codePage == kCodePageUtf8) return "UTF-8";
    return "CP" + std::to_string(codePage);
}

Iconv::Iconv(const std::string& to, const std::string& from) : m_cd(iconv_open(to.c_str(), from.c_str())) {}

Iconv::~Iconv() {
    if (Valid()) iconv_close(m_cd);
}

void Iconv::Reset() { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

Iconv::Stop Iconv::Convert(const char*& in, std::size_t& inLeft, std::string& out) {
    char buffer[1024];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t rc = iconv(m_cd, const_cast<char**>(&in), &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (rc != static_cast<std::size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        return errno == EINVAL ? Stop::Incomplete : Stop::Invalid;
    }
    // Flush any shift state (stateful code pages such as 1258).
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(m_cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    return Stop::Done;
}

} // namespace quillon
