#include <gtest/gtest.h>

#include "model/Archive.h"

using namespace quillon;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes TextRecord(std::size_t length) {
    ArchiveWriter out;
    out.Text(std::string(length, 'a'));
    return out.Take();
}

Bytes Prefix(const Bytes& record, std::size_t count) { return Bytes(record.begin(), record.begin() + count); }

} // namespace

TEST(ArchiveText, LengthPrefixSwitchesAt255And0xFFFE) {
    EXPECT_EQ(Prefix(TextRecord(0), 1), (Bytes{0x00}));
    EXPECT_EQ(Prefix(TextRecord(254), 1), (Bytes{0xFE}));
    EXPECT_EQ(Prefix(TextRecord(255), 3), (Bytes{0xFF, 0xFF, 0x00}));
    EXPECT_EQ(Prefix(TextRecord(0xFFFD), 3), (Bytes{0xFF, 0xFD, 0xFF}));
    EXPECT_EQ(Prefix(TextRecord(0xFFFE), 7), (Bytes{0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}));
    EXPECT_EQ(Prefix(TextRecord(70000), 7), (Bytes{0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}));
    for (std::size_t length : {0u, 1u, 254u, 255u, 0xFFFDu, 0xFFFEu, 0xFFFFu, 70000u}) {
        Bytes record = TextRecord(length);
        ArchiveReader in(record);
        EXPECT_EQ(in.Text().size(), length);
        EXPECT_TRUE(in.AtEnd());
    }
}

TEST(ArchiveCount, WordBelow0xFFFFElseEscapedDword) {
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
    Bytes expected{0xFF, 0xFF, 0x01, 0x00, 0x0C, 0x00};
    for (char c : std::string("CStringEntry")) expected.push_back(static_cast<std::uint8_t>(c));
    expected.insert(expected.end(), {0x01, 0x80, 0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00});
    for (char c : std::string("CMenuItem")) expected.push_back(static_cast<std::uint8_t>(c));
    expected.insert(expected.end(), {0x01, 0x80, 0x00, 0x00});
    EXPECT_EQ(out.Data(), expected);

    ArchiveReader in(out.Data());
    auto first = in.ObjectTag();
    EXPECT_EQ(first.className, "CStringEntry");
    EXPECT_EQ(first.index, 2u);
    EXPECT_EQ(in.ObjectTag().index, 3u);
    auto menu = in.ObjectTag();
    EXPECT_EQ(menu.className, "CMenuItem");
    EXPECT_EQ(menu.index, 5u);
    EXPECT_EQ(in.ObjectTag().className, "CStringEntry");
    EXPECT_EQ(in.ObjectTag().kind, ArchiveReader::Tag::Kind::Null);
}

TEST(ArchiveObjects, IndexesFrom0x7FFFUseTheBigTagWithBit31ForClasses) {
    ArchiveWriter out;
    for (int i = 0; i < 0x7FFE; ++i) out.ObjectTag(i == 0x7FFD ? "CMenuItem" : "CStringEntry");
    // CMenuItem's class took index 0x7FFF; referring to it needs the escape.
    std::size_t before = out.Data().size();
    out.ObjectTag("CMenuItem");
    Bytes tail(out.Data().begin() + static_cast<std::ptrdiff_t>(before), out.Data().end());
    EXPECT_EQ(tail, (Bytes{0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x80}));

    ArchiveReader in(out.Data());
    ArchiveReader::Tag tag;
    for (int i = 0; i <= 0x7FFE; ++i) tag = in.ObjectTag();
    EXPECT_EQ(tag.className, "CMenuItem");
    EXPECT_TRUE(in.AtEnd());
}

TEST(ArchiveObjects, BackReferenceToAnObjectIsReportedAsReference) {
    Bytes bytes{0xFF, 0xFF, 0x01, 0x00, 0x01, 0x00, 'X', 0x02, 0x00};
    ArchiveReader in(bytes);
    EXPECT_EQ(in.ObjectTag().kind, ArchiveReader::Tag::Kind::NewObject);
    auto reference = in.ObjectTag();
    EXPECT_EQ(reference.kind, ArchiveReader::Tag::Kind::Reference);
    EXPECT_EQ(reference.index, 2u);
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
