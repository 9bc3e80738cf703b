#include "model/HashedFileInput.h"

#include <algorithm>

namespace quillon {

std::size_t HashedFileInput::Read(std::span<std::uint8_t> into) {
    std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(into.size(), Size() - m_done));
    auto got = m_file.ReadInto(m_done, into.first(wanted));
    if (!got) {
        m_error = got.GetError();
        return 0;
    }
    m_hasher.Add(into.first(got.Value()));
    m_done += got.Value();
    return got.Value();
}

} // namespace quillon
