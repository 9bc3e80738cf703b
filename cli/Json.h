#pragma once
// A small streaming JSON writer for the CLI's machine-readable output.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::cli {

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(std::string_view key);
    JsonWriter& String(std::string_view utf8);
    JsonWriter& Number(std::int64_t value);
    JsonWriter& Bool(bool value);

    const std::string& Text() const { return m_out; }

private:
    void BeforeValue();
    void WriteQuoted(std::string_view utf8);
    std::string m_out;
    // Per open container: whether a value was already written in it.
    std::vector<bool> m_hasValue;
    bool m_afterKey = false;
};

std::string HexBytes(const std::uint8_t* data, std::size_t size);

} // namespace quillon::cli
