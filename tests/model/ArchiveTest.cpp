#include <gtest/gtest.h>

#include "model/Archive.h"

using namespace quillon;
using Bytes = std::vector<std::uint8_t>;

// A text's length is a byte below 255, else a WORD after 0xFF below 0xFFFE,
// else a DWORD after 0xFF 0xFFFF; a count is a WORD below 0xFFFF, else a
// DWORD after 0xFFFF.
TEST(ArchiveLengths, TextPrefixAndCountWidenAtTheirEscapes) {
    const std::pair<std::size_t, Bytes> prefixes[] = {
        {0, {0x00}}, {1, {0x01}}, {254, {0xFE}}, {255, {0xFF, 0xFF, 0x00}}, {0xFFFD, {0xFF, 0xFD, 0xFF}},
        {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}}, {0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}}};
    for (const auto& [length, prefix] : prefixes) {
        ArchiveWriter out;
        out.Text(std::string(length, 'a'));
        EXPECT_EQ(Bytes(out.Data().begin(), out.Data().begin() + prefix.size()), prefix) << length;
        ArchiveReader in(out.Data());
        EXPECT_EQ(in.Text().size(), length);
        EXPECT_TRUE(in.AtEnd());
    }
    ArchiveWriter out;
    out.Count(0xFFFE);
    out.Count(0xFFFF);
    EXPECT_EQ(out.Data(), (Bytes{0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}));
}

TEST(ArchiveObjects, NewClassThenClassIndexCountingClassesAndObjectsTogether) {
    ArchiveWriter out;
    out.ObjectTag("CStringEntry"); // class 1, object 2
    out.ObjectTag("CStringEntry"); // object 3
    out.ObjectTag("CMenuItem");    // class 4, object 5
    out.ObjectTag("CStringEntry"); // object 6
    out.NullObject();
    // A new class is 0xFFFF, its schema and its name; a later object of it 0x8000 | the class's index.
    EXPECT_EQ(out.Data(), (Bytes{0xFF, 0xFF, 0x01, 0x00, 0x0C, 0x00, 'C', 'S', 't', 'r', 'i', 'n', 'g', 'E', 'n', 't',
                                 'r', 'y', 0x01, 0x80, 0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00, 'C', 'M', 'e', 'n', 'u',
                                 'I', 't', 'e', 'm', 0x01, 0x80, 0x00, 0x00}));

    ArchiveReader in(out.Data());
    for (auto [className, index] : {std::pair{"CStringEntry", 2u}, {"CStringEntry", 3u}, {"CMenuItem", 5u}, {"CStringEntry", 6u}}) {
        auto tag = in.ObjectTag();
        EXPECT_EQ(std::tie(tag.className, tag.index), std::tie(className, index));
    }
    EXPECT_EQ(in.ObjectTag().kind, ArchiveReader::Tag::Kind::Null);
}

TEST(ArchiveObjects, IndexesFrom0x7FFFUseTheBigTagWithBit31ForClasses) {
    ArchiveWriter out;
    for (int i = 0; i < 0x7FFE; ++i) out.ObjectTag(i == 0x7FFD ? "CMenuItem" : "CStringEntry");
    // CMenuItem's class took index 0x7FFF; referring to it needs the escape.
    std::size_t before = out.Data().size();
    out.ObjectTag("CMenuItem");
    EXPECT_EQ(Bytes(out.Data().begin() + static_cast<std::ptrdiff_t>(before), out.Data().end()),
              (Bytes{0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x80}));

    ArchiveReader in(out.Data());
    ArchiveReader::Tag tag;
    for (int i = 0; i <= 0x7FFE; ++i) tag = in.ObjectTag();
    EXPECT_EQ(tag.className, "CMenuItem");
    EXPECT_TRUE(in.AtEnd());
}

TEST(ArchiveErrors, MalformedRecordsThrowWithTheirOffset) {
    auto errorOffset = [](Bytes bytes, auto read) -> std::int64_t {
        ArchiveReader in(bytes);
        try {
            read(in);
        } catch (const ArchiveError& error) {
            return static_cast<std::int64_t>(error.Offset());
        }
        return -1;
    };
    // Text longer than the file.
    EXPECT_EQ(errorOffset({0x01, 0x00, 0x05, 'a'}, [](ArchiveReader& in) { in.Word(); in.Text(); }), 2);
    // Wide-character text marker.
    EXPECT_EQ(errorOffset({0xFF, 0xFE, 0xFF, 0x01}, [](ArchiveReader& in) { in.Text(); }), 0);
    // A DWORD cut off.
    EXPECT_EQ(errorOffset({0x01, 0x02}, [](ArchiveReader& in) { in.Dword(); }), 0);
    // A count that the rest cannot hold.
    EXPECT_EQ(errorOffset({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, [](ArchiveReader& in) { in.Count(2); }), 0);
    // A class reference to an index never seen.
    EXPECT_EQ(errorOffset({0x05, 0x80}, [](ArchiveReader& in) { in.ObjectTag(); }), 0);
    // An object reference to an index never seen.
    EXPECT_EQ(errorOffset({0x03, 0x00}, [](ArchiveReader& in) { in.ObjectTag(); }), 0);
    // An object reference that names a class.
    EXPECT_EQ(errorOffset({0xFF, 0xFF, 0x01, 0x00, 0x01, 0x00, 'X', 0x01, 0x00},
                          [](ArchiveReader& in) { in.ObjectTag(); in.ObjectTag(); }),
              7);
    // A class name of absurd length.
    EXPECT_EQ(errorOffset({0xFF, 0xFF, 0x01, 0x00, 0xFF, 0x7F, 'X'}, [](ArchiveReader& in) { in.ObjectTag(); }), 0);
}
