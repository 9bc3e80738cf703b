#include "Json.h"

#include <cstdio>

#include "io/Utf8.h"

namespace quillon::cli {

void JsonWriter::BeforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_hasValue.empty()) {
        if (m_hasValue.back()) m_out += ',';
        m_hasValue.back() = true;
    }
}

JsonWriter& JsonWriter::BeginObject() {
    BeforeValue();
    m_out += '{';
    m_hasValue.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    m_out += '}';
    m_hasValue.pop_back();
    return *this;
}

JsonWriter& JsonWriter::BeginArray() {
    BeforeValue();
    m_out += '[';
    m_hasValue.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    m_out += ']';
    m_hasValue.pop_back();
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
    BeforeValue();
    WriteQuoted(key);
    m_out += ':';
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view utf8) {
    BeforeValue();
    WriteQuoted(utf8);
    return *this;
}

void JsonWriter::WriteQuoted(std::string_view utf8) {
    // JSON is UTF-8 or nothing: a file name in another encoding shows U+FFFD
    // where its bytes are no UTF-8, rather than making the whole output unreadable.
    std::string repaired;
    if (!IsValidUtf8(utf8)) utf8 = repaired = ValidUtf8(std::string(utf8));
    m_out += '"';
    for (unsigned char c : utf8) {
        switch (c) {
        case '"': m_out += "\\\""; break;
        case '\\': m_out += "\\\\"; break;
        case '\n': m_out += "\\n"; break;
        case '\r': m_out += "\\r"; break;
        case '\t': m_out += "\\t"; break;
        default:
            if (c < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                m_out += buffer;
            } else {
                m_out += static_cast<char>(c);
            }
        }
    }
    m_out += '"';
}

JsonWriter& JsonWriter::Number(std::int64_t value) {
    BeforeValue();
    m_out += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    BeforeValue();
    m_out += value ? "true" : "false";
    return *this;
}

std::string HexBytes(const std::uint8_t* data, std::size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
    }
    return out;
}

} // namespace quillon::cli
