// The resource directory's records as the reader and the serializer share
// them: each is written to the bytes the format lays down, read back, and
// refused where it would run past the directory.

#include <gtest/gtest.h>

#include "pe/ResourceRecords.h"

using namespace quillon;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr std::size_t kAt = 2; // records need not be aligned
// Names keep unpaired surrogates as they are.
const std::u16string kUnpaired{u'A', u'B', static_cast<char16_t>(0xD800)};

Bytes Written(std::size_t size, const auto& write) {
    Bytes out(kAt + size, 0);
    write(std::span(out));
    return Bytes(out.begin() + kAt, out.end());
}

} // namespace

TEST(ResourceRecords, EachRecordHasItsFieldsWhereTheFormatPutsThem) {
    ResourceTableRecord table{{0x11223344, 0x55667788, 4, 2}, 1, 0x0203};
    ResourceEntryRecord entry{ResourceEntryRecord::NameField(0x40), ResourceEntryRecord::TableField(0x18)};
    ResourceDataRecord data{0x3000, 0x1234, 1252};
    struct Case {
        const char* name;
        Bytes written;
        Bytes expected;
    } cases[] = {
        {"Table", Written(16, [&](auto out) { table.Write(out, kAt); }),
         {0x44, 0x33, 0x22, 0x11, 0x88, 0x77, 0x66, 0x55, 4, 0, 2, 0, 1, 0, 3, 2}},
        {"Entry", Written(8, [&](auto out) { entry.Write(out, kAt); }), {0x40, 0, 0, 0x80, 0x18, 0, 0, 0x80}},
        {"Data", Written(16, [&](auto out) { data.Write(out, kAt); }),
         {0, 0x30, 0, 0, 0x34, 0x12, 0, 0, 0xE4, 0x04, 0, 0, 0, 0, 0, 0}},
        {"Name", Written(8, [&](auto out) { ResourceNameString::Write(out, kAt, kUnpaired); }),
         {3, 0, 'A', 0, 'B', 0, 0x00, 0xD8}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.written, c.expected) << c.name;

    // Each reads back (a record that does not throws bad_optional_access, which fails the test).
    auto readTable = ResourceTableRecord::Read(cases[0].expected, 0).value();
    EXPECT_EQ(std::tuple(readTable.header.timeDateStamp, readTable.EntryCount()), std::tuple(0x55667788u, 0x0204u));
    EXPECT_FALSE(ResourceTableRecord::Read(cases[0].expected, 1)); // a byte short
    auto readEntry = ResourceEntryRecord::Read(cases[1].expected, 0).value();
    EXPECT_EQ(std::tuple(readEntry.IsNamed(), readEntry.LeadsToTable(), readEntry.NameOffset(), readEntry.TargetOffset()),
              std::tuple(true, true, 0x40u, 0x18u));
    EXPECT_EQ(ResourceDataRecord::Read(cases[2].expected, 0).value().codePage, 1252u);
    EXPECT_EQ(ResourceNameString::Read(cases[3].expected, 0).value().size(), 6u);
    // A length whose units run past the directory.
    EXPECT_FALSE(ResourceNameString::Read(Bytes(cases[3].expected.begin(), cases[3].expected.end() - 1), 0));
}
