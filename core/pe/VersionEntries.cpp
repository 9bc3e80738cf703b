#include "pe/VersionEntries.h"

#include <algorithm>

#include "io/ByteReader.h"

namespace quillon {

namespace {

constexpr std::size_t kHeaderSize = 6;
// Real resources nest three levels below the root; allow some slack.
constexpr int kMaxDepth = 8;

std::size_t Align4(std::size_t value) { return (value + 3) & ~std::size_t{3}; }

class VersionWalker {
public:
    VersionWalker(std::span<const std::uint8_t> blob, std::vector<std::string>* diagnostics)
        : m_blob(blob), m_diagnostics(diagnostics) {}

    // Reads the entry at `start`, which must end at or before `limit`.
    // Returns its length as stored (0 ends the level) or nothing on damage.
    std::optional<std::size_t> Read(std::size_t start, std::size_t limit, int depth, VersionEntry& entry) {
        auto length = ByteReader::U16At(m_blob, start);
        if (!length || *length == 0) return 0;
        if (*length < kHeaderSize || start + kHeaderSize > limit) {
            Diagnose("entry at " + std::to_string(start) + " is too short");
            return std::nullopt;
        }
        std::size_t end = start + *length;
        if (end > limit) {
            Diagnose("entry at " + std::to_string(start) + " runs past its parent (cut)");
            end = limit;
        }
        entry.valueLength = *ByteReader::U16At(m_blob, start + 2);
        entry.type = *ByteReader::U16At(m_blob, start + 4);

        ByteReader keyReader(m_blob.first(end));
        keyReader.Seek(start + kHeaderSize);
        auto key = keyReader.Utf16z();
        if (!key) {
            Diagnose("key of the entry at " + std::to_string(start) + " has no terminator");
            return std::nullopt;
        }
        entry.key = std::move(*key);

        std::size_t valueStart = std::min(Align4(keyReader.Position()), end);
        std::size_t valueSize = std::size_t{entry.valueLength} * (entry.IsText() ? 2 : 1);
        std::size_t valueEnd = std::min(valueStart + valueSize, end);
        entry.value = m_blob.subspan(valueStart, valueEnd - valueStart);

        std::size_t child = Align4(valueStart + valueSize);
        if (child < end && depth >= kMaxDepth) {
            Diagnose("entries nested too deeply (cut)");
            return *length;
        }
        while (child < end) {
            VersionEntry next;
            auto childLength = Read(child, end, depth + 1, next);
            if (!childLength || *childLength == 0) break;
            entry.children.push_back(std::move(next));
            child += Align4(*childLength);
        }
        return *length;
    }

private:
    void Diagnose(std::string message) {
        if (m_diagnostics) m_diagnostics->push_back("version resource: " + std::move(message));
    }

    std::span<const std::uint8_t> m_blob;
    std::vector<std::string>* m_diagnostics;
};

char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

bool SameKey(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return FoldAscii(x) == FoldAscii(y); });
}

} // namespace

std::u16string VersionEntry::Text() const {
    std::u16string out;
    for (std::size_t i = 0; i + 1 < value.size(); i += 2) {
        char16_t unit = static_cast<char16_t>(value[i] | (value[i + 1] << 8));
        if (unit == 0) break;
        out.push_back(unit);
    }
    return out;
}

std::optional<VersionEntry> ParseVersionEntries(std::span<const std::uint8_t> resource,
                                                std::vector<std::string>* diagnostics) {
    VersionEntry root;
    auto length = VersionWalker(resource, diagnostics).Read(0, resource.size(), 0, root);
    if (!length || *length == 0) return std::nullopt;
    return root;
}

const VersionEntry* FindVersionEntry(const VersionEntry& root, std::u16string_view path) {
    const VersionEntry* current = &root;
    std::size_t pos = 0;
    while (pos < path.size()) {
        if (path[pos] == u'\\') {
            ++pos;
            continue;
        }
        std::size_t end = path.find(u'\\', pos);
        if (end == std::u16string_view::npos) end = path.size();
        std::u16string_view component = path.substr(pos, end - pos);
        const VersionEntry* found = nullptr;
        for (const auto& child : current->children)
            if (SameKey(child.key, component)) {
                found = &child;
                break;
            }
        if (!found) return nullptr;
        current = found;
        pos = end;
    }
    return current;
}

} // namespace quillon
