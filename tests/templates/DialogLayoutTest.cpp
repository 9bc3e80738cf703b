// The dialog template's one walker and its field writers: every fixture
// dialog comes back byte for byte, every cut copy fails inside the cut, and a
// fault names the record and the byte where the walk stopped. (A count past
// the controls, whose next control would start past the end of a template
// that ends off a DWORD boundary: DamagedTemplates' dialog-overrun.exe.)

#include <gtest/gtest.h>

#include "io/ByteWriter.h"
#include "support/ResultChecks.h"
#include "templates/DialogLayout.h"
#include "templates/FixtureTemplates.h"

using namespace quillon;
using namespace quillon::testing;
using Bytes = std::vector<std::uint8_t>;

namespace {

// The whole template walked and each record written again with its own texts.
Result<Bytes> Rewrite(std::span<const std::uint8_t> bytes) {
    DialogWalker walker(bytes);
    auto header = walker.Header();
    if (!header) return header.GetError();
    ByteWriter out;
    WriteDialogHeader(out, header.Value(), Units(header.Value().caption));
    for (std::uint16_t i = 0; i < header.Value().controlCount; ++i) {
        auto control = walker.Control();
        if (!control) return control.GetError();
        WriteDialogControl(out, header.Value().extended, control.Value(), Units(control.Value().title.text));
    }
    return out.Take();
}

// Where the fields of FaultTemplate start.
struct Marks {
    std::size_t start = 0, rect = 10, caption = 0, face = 0;
    std::size_t control1 = 0, class1 = 0, control2 = 0, title2 = 0, dataSize2 = 0, data2 = 0;
};

// Standard, DS_SETFONT "MS Shell Dlg" 8; control 1 has an ordinal class and
// title, control 2 a named class, a text title and three bytes of creation
// data, of which the walk takes the whole WORD.
Bytes FaultTemplate(Marks& marks) {
    ByteWriter out;
    out.U32(0x80C00000 | kDsSetFont);
    out.U32(0);
    for (std::uint16_t value : {2, 0, 0, 100, 50, 0, 0}) out.U16(value); // count, rectangle, no menu, default class
    marks.caption = out.Size();
    out.Utf16z(u"Faults");
    out.U16(8);
    marks.face = out.Size();
    out.Utf16z(u"MS Shell Dlg");
    for (int control = 1; control <= 2; ++control) {
        out.PadTo(4);
        (control == 1 ? marks.control1 : marks.control2) = out.Size();
        out.U32(0x50000000);
        out.U32(0);
        for (std::uint16_t value : {5, 5, 40, 12}) out.U16(value);
        out.U16(static_cast<std::uint16_t>(100 + control));
        if (control == 1) {
            marks.class1 = out.Size();
            for (std::uint16_t value : {0xFFFF, 0x0082, 0xFFFF, 0x0001}) out.U16(value);
            out.U16(0);
            continue;
        }
        out.Utf16z(u"Edit");
        marks.title2 = out.Size();
        out.Utf16z(u"&Texts");
        marks.dataSize2 = out.Size();
        out.U16(3);
        marks.data2 = out.Size();
        out.U16(0x0201);
    }
    return out.Take();
}

// Cut `cutDelta` bytes after a mark, the walk faults `faultDelta` bytes after it.
struct FaultCase {
    const char* name;
    std::size_t Marks::*mark;
    std::size_t cutDelta;
    const char* message;
    std::size_t faultDelta;
};

const FaultCase kFaults[] = {
    {"StylesCut", &Marks::start, 2, "header is cut off", 0},
    {"RectangleCut", &Marks::rect, 7, "header is cut off", 0},
    {"CaptionUnterminated", &Marks::caption, 4, "caption has no terminator", 0},
    {"FaceUnterminated", &Marks::face, 10, "font is cut off", 0},
    {"StylesOfAControlCut", &Marks::control1, 10, "control 1 of 2 is cut off", 0},
    {"IdCut", &Marks::control1, 17, "control 1 of 2 is cut off", 16},
    {"ClassCut", &Marks::class1, 1, "control 1 of 2: class is cut off", 0},
    {"TitleUnterminated", &Marks::title2, 6, "control 2 of 2: title is cut off", 0},
    {"DataSizeCut", &Marks::dataSize2, 1, "control 2 of 2: creation data size is cut off", 0},
    {"DataCut", &Marks::data2, 1, "control 2 of 2: creation data runs past the end", 0},
};

class DialogFault : public ::testing::TestWithParam<FaultCase> {};

} // namespace

TEST(DialogLayout, EveryFixtureDialogIsWrittenBackByteForByteAndEveryCutCopyFailsWithinTheCut) {
    auto dialogs = FixtureTemplates(kTypeDialog);
    ASSERT_GE(dialogs.size(), 10u);
    std::size_t extended = 0;
    for (const auto& dialog : dialogs) {
        auto written = Rewrite(dialog.bytes);
        ASSERT_TRUE(written) << dialog.where << ": " << written.GetError().Describe();
        EXPECT_EQ(written.Value(), dialog.bytes) << dialog.where;
        extended += DialogWalker(dialog.bytes).Header().Value().extended ? 1 : 0;
        for (std::size_t size = 0; size < dialog.bytes.size(); ++size) {
            std::string where = dialog.where + " cut at " + std::to_string(size);
            EXPECT_LE(FailureOf(Rewrite(std::span(dialog.bytes).first(size)), where).offset, size) << where;
        }
    }
    EXPECT_GT(extended, 0u); // both formats are among them
}

TEST_P(DialogFault, NamesTheRecordAndTheByteWhereTheWalkStopped) {
    Marks marks;
    Bytes bytes = FaultTemplate(marks);
    ASSERT_TRUE(Rewrite(bytes)) << "the whole template reads";
    Error fault = FailureOf(Rewrite(std::span(bytes).first(marks.*GetParam().mark + GetParam().cutDelta)));
    EXPECT_EQ(std::pair(fault.message, fault.offset),
              std::pair(std::string(GetParam().message), std::uint64_t{marks.*GetParam().mark + GetParam().faultDelta}));
}

INSTANTIATE_TEST_SUITE_P(Cuts, DialogFault, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });
