#include "model/Archive.h"

#include <algorithm>
#include <cstring>

#include "model/CountText.h"

namespace quillon {

void ArchiveWriter::Text(std::string_view text) {
    // Length prefix: a byte below 255, else 0xFF and a WORD below 0xFFFE,
    // else 0xFF, the WORD 0xFFFF and a DWORD.
    std::size_t length = text.size();
    if (length < 0xFF) {
        Byte(static_cast<std::uint8_t>(length));
    } else {
        Byte(0xFF);
        if (length < 0xFFFE) {
            Word(static_cast<std::uint16_t>(length));
        } else {
            Word(0xFFFF);
            Dword(static_cast<std::uint32_t>(length));
        }
    }
    m_out.Chars(text);
}

void ArchiveWriter::Count(std::size_t count) {
    if (count < 0xFFFF) {
        Word(static_cast<std::uint16_t>(count));
    } else {
        Word(0xFFFF);
        Dword(static_cast<std::uint32_t>(count));
    }
}

void ArchiveWriter::IndexTag(std::uint32_t index, bool isClass) {
    if (index < kBigObjectTag) {
        Word(static_cast<std::uint16_t>((isClass ? kClassTag : 0) | index));
    } else {
        Word(kBigObjectTag);
        Dword((isClass ? kBigClassTag : 0) | index);
    }
}

void ArchiveWriter::ObjectTag(std::string_view className) {
    auto known = std::find_if(m_classIndex.begin(), m_classIndex.end(),
                              [&](const auto& entry) { return entry.first == className; });
    if (known == m_classIndex.end()) {
        // Record: 0xFFFF, schema WORD, name length WORD, name bytes.
        Word(kNewClassTag);
        Word(kSchema);
        Word(static_cast<std::uint16_t>(className.size()));
        m_out.Chars(className);
        m_classIndex.emplace_back(std::string(className), m_nextIndex++);
    } else {
        IndexTag(known->second, true);
    }
    ++m_nextIndex; // the object itself
}

std::size_t BytesInput::Read(std::span<std::uint8_t> into) {
    std::size_t count = std::min(into.size(), m_bytes.size() - m_done);
    std::copy_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(m_done), count, into.begin());
    m_done += count;
    return count;
}

void ArchiveReader::Refill(std::size_t count) {
    const std::size_t unread = m_in.Remaining();
    const std::size_t consumed = m_in.Position();
    if (unread > 0) std::memmove(m_window.data(), m_window.data() + consumed, unread);
    m_window.resize(std::max({count, m_windowSize, m_window.size()}));
    std::size_t filled = unread;
    while (filled < m_window.size()) {
        std::size_t got = m_input->Read(std::span(m_window).subspan(filled));
        if (got == 0) break;
        filled += got;
    }
    m_windowStart += consumed;
    m_in = ByteReader(std::span<const std::uint8_t>(m_window).first(filled));
}

std::span<const std::uint8_t> ArchiveReader::Take(std::size_t count) {
    Need(count);
    auto span = m_in.Take(count);
    // The input ended before the size it gave: it shrank while being read.
    if (!span) Fail("unexpected end of file");
    return *span;
}

std::uint8_t ArchiveReader::Byte() {
    Need(1);
    auto v = m_in.U8();
    if (!v) Fail("unexpected end of file");
    return *v;
}

std::uint16_t ArchiveReader::Word() {
    Need(2);
    auto v = m_in.U16();
    if (!v) Fail("unexpected end of file");
    return *v;
}

std::uint32_t ArchiveReader::Dword() {
    Need(4);
    auto v = m_in.U32();
    if (!v) Fail("unexpected end of file");
    return *v;
}

std::vector<std::uint8_t> ArchiveReader::Bytes(std::size_t count) {
    if (count > Remaining()) Fail("data of " + CountOf(count, "byte") + " runs past the end of the file");
    auto span = Take(count);
    return {span.begin(), span.end()};
}

std::string ArchiveReader::Text() {
    std::uint64_t start = Offset();
    std::uint32_t length = Byte();
    if (length == 0xFF) {
        length = Word();
        if (length == 0xFFFE) FailAt(start, "wide-character text is not supported");
        if (length == 0xFFFF) length = Dword();
    }
    if (length > Remaining())
        FailAt(start, "text of " + CountOf(length, "byte") + " runs past the end of the file");
    auto span = Take(length);
    return {reinterpret_cast<const char*>(span.data()), span.size()};
}

std::uint32_t ArchiveReader::Count(std::size_t minRecordSize) {
    std::uint64_t start = Offset();
    std::uint32_t count = Word();
    if (count == 0xFFFF) count = Dword();
    if (minRecordSize > 0 && static_cast<std::uint64_t>(count) * minRecordSize > Remaining())
        FailAt(start, "count " + std::to_string(count) + " is larger than the rest of the file can hold");
    return count;
}

std::uint32_t ArchiveReader::NewIndex() {
    std::uint32_t index = static_cast<std::uint32_t>(m_indexes.size());
    m_indexes.push_back(0);
    return index;
}

std::uint32_t ArchiveReader::ClassIndexTag(std::uint16_t tag, std::uint64_t tagOffset) {
    std::uint32_t index = tag & ~kClassTag;
    if (index >= m_indexes.size() || m_indexes[index] == 0)
        FailAt(tagOffset, "reference to unknown class index " + std::to_string(index));
    return index;
}

ArchiveReader::Tag ArchiveReader::ObjectTag() {
    std::uint64_t tagOffset = Offset();
    std::uint16_t word = Word();
    Tag tag;
    if (word == kNullTag) return tag;

    std::uint32_t classIndex = 0;
    if (word == kNewClassTag) {
        Word(); // schema: any number is accepted
        std::uint16_t nameLength = Word();
        if (nameLength == 0 || nameLength > 64 || nameLength > Remaining())
            FailAt(tagOffset, "bad class name length " + std::to_string(nameLength));
        auto name = Take(nameLength);
        m_classNames.emplace_back(reinterpret_cast<const char*>(name.data()), name.size());
        classIndex = NewIndex();
        m_indexes[classIndex] = static_cast<std::uint32_t>(m_classNames.size());
    } else if (word == kBigObjectTag || (word & kClassTag) == 0) {
        std::uint32_t index = word;
        bool isClass = false;
        if (word == kBigObjectTag) {
            std::uint32_t big = Dword();
            isClass = (big & kBigClassTag) != 0;
            index = big & ~kBigClassTag;
        }
        if (index >= m_indexes.size())
            FailAt(tagOffset, "reference to index " + std::to_string(index) + " that has not been read yet");
        if (!isClass) {
            if (m_indexes[index] != 0)
                FailAt(tagOffset, "index " + std::to_string(index) + " names a class where an object was expected");
            tag.kind = Tag::Kind::Reference;
            tag.index = index;
            return tag;
        }
        if (m_indexes[index] == 0)
            FailAt(tagOffset, "index " + std::to_string(index) + " names an object where a class was expected");
        classIndex = index;
    } else {
        classIndex = ClassIndexTag(word, tagOffset);
    }
    tag.kind = Tag::Kind::NewObject;
    tag.className = m_classNames[m_indexes[classIndex] - 1];
    tag.index = NewIndex();
    return tag;
}

} // namespace quillon

