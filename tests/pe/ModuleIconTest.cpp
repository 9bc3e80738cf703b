// A module's icon read from its bytes: bitmap images of every depth with
// their masks, PNG headers, the choice among a group's images, and the icons
// of the fixture modules and the sample.

#include <gtest/gtest.h>

#include "Fixtures.h"
#include "pe/ModuleIcon.h"
#include "pe/ResourceModule.h"
#include "support/ResultChecks.h"
#include "support/IconBytes.h"
#include "support/PeBuilder.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

constexpr std::uint32_t kClear = 0x00000000;
constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;

// 3 x 2, 4 bits per pixel: red green blue / white black red, and the mask
// makes the top-right pixel transparent. Width 3 leaves every row padded.
IconBytes FourBitIcon() {
    return Concat({InfoHeader(3, 2, 4, 5), Palette({0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}),
                   PackRows({{1, 2, 3}, {4, 0, 1}}, 4), PackRows({{0, 0, 1}, {0, 0, 0}}, 1)});
}

IconImage Decoded(const IconBytes& bytes) {
    Result<IconImage> image = DecodeIconImage(bytes);
    EXPECT_TRUE(image.Ok()) << (image ? "" : image.GetError().Describe());
    return image ? image.Value() : IconImage{};
}

// Rows of the decoded image, for whole-image comparisons.
std::vector<std::vector<std::uint32_t>> Rows(const IconImage& image) {
    std::vector<std::vector<std::uint32_t>> rows(static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) rows[static_cast<std::size_t>(y)].push_back(image.Pixel(x, y));
    return rows;
}

// An icon group and an icon image, in US English.
BuiltResource Group(std::uint16_t id, const std::vector<IconGroupEntry>& entries, std::u16string name = u"") {
    ResourceId group = name.empty() ? ResourceId::Integer(id) : ResourceId::Named(name);
    return {ResourceId::Integer(kTypeGroupIcon), std::move(group), 0x0409, GroupBytes(entries)};
}
BuiltResource Image(std::uint16_t id, IconBytes bytes) {
    return {ResourceId::Integer(kTypeIcon), ResourceId::Integer(id), 0x0409, std::move(bytes)};
}

// The icon of the module at `path`, or of a module built of `resources`.
Result<IconImage> IconOfFile(const std::string& path, int maxSize = 32) {
    auto module = ResourceModule::Open(path);
    if (!module) return module.GetError();
    return LoadModuleIcon(module.Value(), maxSize);
}
Result<IconImage> IconOf(const std::vector<BuiltResource>& resources) {
    return LoadModuleIcon(ResourceModule::FromBytes(BuildPeWithResources(resources)).Value(), 32);
}

} // namespace

// ---- One image ------------------------------------------------------------------------

TEST(IconDecoding, EveryDepthGivesItsPixelsTopDownWithTheMask) {
    IconBytes maskCut = FourBitIcon(); // cut within its mask, the pixels whole
    maskCut.resize(maskCut.size() - 5);
    const struct { const char* name; IconBytes bytes; std::vector<std::vector<std::uint32_t>> expected; } cases[] = {
        {"4 bits, mask on the top-right pixel", FourBitIcon(), {{kRed, kGreen, kClear}, {kWhite, kBlack, kRed}}},
        {"4 bits, mask cut: opaque", maskCut, {{kRed, kGreen, kBlue}, {kWhite, kBlack, kRed}}},
        // One and four bits packed by another hand than PackRows (bottom row
        // first, rows padded, high bits the left pixel): RealModulesShowTheirDrawnIcons.
        {"8 bits, an index past a short palette is black",
         Concat({InfoHeader(2, 1, 8, 2), Palette({0x0A141E, 0x28323C}), PackRows({{1, 200}}, 8), PackRows({{0, 0}}, 1)}),
         {{0xFF28323C, kBlack}}},
        {"24 bits, stored blue first",
         Concat({InfoHeader(3, 1, 24), PackRows({{0x010203, 0x040506, 0x070809}}, 24), PackRows({{0, 1, 0}}, 1)}),
         {{0xFF010203, kClear, 0xFF070809}}},
        {"32 bits with alpha: alpha wins over the mask",
         Concat({InfoHeader(2, 1, 32), PackRows({{0x80C86432, 0x00010203}}, 32), PackRows({{1, 0}}, 1)}),
         {{0x80C86432, 0x00010203}}},
        {"32 bits without alpha: the mask decides",
         Concat({InfoHeader(2, 1, 32), PackRows({{0x00C86432, 0x00010203}}, 32), PackRows({{1, 0}}, 1)}),
         {{kClear, 0xFF010203}}},
    };
    for (const auto& test : cases) {
        IconImage image = Decoded(test.bytes);
        EXPECT_EQ(std::pair(image.format, Rows(image)), std::pair(IconImage::Format::Pixels, test.expected)) << test.name;
    }
}

TEST(IconDecoding, RefusesWhatDescribesNoIconAndPassesPngsThrough) {
    IconBytes pixels = PackRows({{0, 0}, {0, 0}}, 32);
    const std::pair<const char*, IconBytes> cases[] = {
        {"no width", Concat({InfoHeader(0, 2, 32), pixels})},
        {"negative height", Concat({InfoHeader(2, -2, 32), pixels})},
        {"16 bits per pixel", Concat({InfoHeader(2, 2, 16), pixels})},
        {"compressed", Concat({InfoHeader(2, 2, 32, 0, 1), pixels})},
        {"wider than 256", Concat({InfoHeader(100000, 2, 1), pixels})},
        {"a palette past the end", InfoHeader(2, 2, 8, 200)},
        {"nothing", IconBytes{}},
        {"a PNG without IHDR", IconBytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 0}},
        {"a PNG of 257 pixels", PngHead(257, 16)},
        {"a PNG of no pixels", PngHead(16, 0)},
    };
    for (const auto& [name, bytes] : cases)
        EXPECT_EQ(FailureOf(DecodeIconImage(bytes), name).code, Error::Code::Malformed) << name;
    // A PNG with a proper header is passed through with the size it gives.
    IconBytes png = Concat({PngHead(48, 32), {1, 2, 3, 4}});
    IconImage image = Decoded(png);
    EXPECT_EQ(std::tuple(image.format, image.width, image.height), std::tuple(IconImage::Format::Png, 48, 32));
    EXPECT_EQ(image.png, png);
}

// ---- Choosing among a module's images --------------------------------------------------

TEST(ModuleIcon, PrefersTheLargestImageUpToTheSizeWithTheMostColours) {
    IconBytes group = GroupBytes({{16, 32, 1}, {48, 32, 2}, {32, 4, 3}, {32, 32, 4}, {0, 32, 5}, {24, 8, 6}});
    EXPECT_EQ(PreferredIconIds(group, 32), (std::vector<std::uint16_t>{4, 3, 6, 1, 2, 5}));
    EXPECT_EQ(PreferredIconIds(group, 16), (std::vector<std::uint16_t>{1, 6, 4, 3, 2, 5}));
    IconBytes cut = GroupBytes({{16, 32, 1}, {32, 32, 2}});
    cut.pop_back();
    EXPECT_EQ(PreferredIconIds(cut, 32), (std::vector<std::uint16_t>{1})); // whole entries only
    EXPECT_TRUE(PreferredIconIds(IconBytes{0, 0, 2, 0, 1, 0}, 32).empty()); // a cursor group
}

TEST(ModuleIcon, TheFirstGroupsBestImageThatDecodes) {
    // The pixel is the one at (side / 2, side / 2).
    const struct { const char* name; std::vector<BuiltResource> resources; int side; std::uint32_t pixel; } cases[] = {
        {"the 32-pixel image of the first group",
         {Group(1, {{16, 32, 10}, {32, 32, 11}}), Group(2, {{32, 32, 12}}), Image(10, SolidIcon(16, 0xFF0000)),
          Image(11, SolidIcon(32, 0x00FF00)), Image(12, SolidIcon(32, 0x0000FF))}, 32, kGreen},
        {"a named group comes before numbered ones",
         {Group(0, {{16, 32, 7}}, u"MAINICON"), Group(1, {{16, 32, 8}}),
          Image(7, SolidIcon(16, 0x0000FF)), Image(8, SolidIcon(16, 0xFF0000))}, 16, kBlue},
        {"the next image when the best is damaged",
         {Group(1, {{16, 32, 1}, {32, 32, 2}}), Image(1, SolidIcon(16, 0xFF0000)), Image(2, IconBytes{1, 2, 3})},
         16, kRed},
        {"the next group when the first names no image there is",
         {Group(1, {{32, 32, 99}}), Group(2, {{16, 32, 3}}), Image(3, SolidIcon(16, 0x00FF00))}, 16, kGreen},
        {"an image no group names", {Image(5, SolidIcon(16, 0x0000FF))}, 16, kBlue},
    };
    for (const auto& test : cases) {
        Result<IconImage> icon = IconOf(test.resources);
        ASSERT_TRUE(icon.Ok()) << test.name;
        EXPECT_EQ(std::pair(icon.Value().width, icon.Value().Pixel(test.side / 2, test.side / 2)),
                  std::pair(test.side, test.pixel)) << test.name;
    }
}

// No icon is not found; only damaged ones give their error. basic32.exe
// with its icon's header claiming 255 x 255 pixels: the rows would run from
// the resource into the rest of the file, which is no icon.
TEST(ModuleIcon, NoIconIsNotFoundAndOnlyDamagedOnesGiveTheirError) {
    EXPECT_EQ(FailureOf(IconOf({{ResourceId::Integer(kTypeVersion), ResourceId::Integer(1), 0, VersionBytes()}})).code,
              Error::Code::NotFound);
    std::string damaged = "/../../fuzz/regressions/module_icon/module-icon-larger-than-its-resource";
    Error icon = FailureOf(IconOfFile(std::string(QUILLON_DATA_DIR) + damaged));
    EXPECT_EQ(icon.code, Error::Code::Malformed);
    EXPECT_NE(icon.message.find("icon image: the pixels run past the end"), std::string::npos) << icon.message;
}

// ---- Real modules ------------------------------------------------------------------------

// Real modules' icons at points of their 16-pixel maps. The fixtures'
// (tests/data/make-icon.py): 16 x 16, one bit, a white frame round a black
// square, opaque. The sample's (samples/make-icon.py): the quill on a sheet,
// 16 and 32 pixels at 4 bits, the larger one the 16-pixel map doubled; '.'
// is transparent.
TEST(ModuleIcon, RealModulesShowTheirDrawnIcons) {
    struct Point { int x, y; std::uint32_t colour; };
    std::vector<Point> frame{{1, 1, kBlack}, {8, 8, kBlack}};
    for (int i = 0; i < 16; ++i) frame.insert(frame.end(), {{i, 0, kWhite}, {15, i, kWhite}});
    const std::vector<Point> quill{{0, 0, kClear},       {2, 0, kBlack},      {3, 1, kWhite},   {13, 4, kBlue},
                                   {13, 6, 0xFF000080}, {6, 12, 0xFFFFFF00}, {15, 15, kClear}, {14, 15, kBlack}};
    const std::string sample = SamplePath("quillpad.exe");
    const std::tuple<std::string, int, const std::vector<Point>*> cases[] = {
        {Fixture("basic32.exe"), 16, &frame}, {Fixture("basic64.exe"), 16, &frame}, {sample, 32, &quill}, {sample, 16, &quill}};
    for (const auto& [path, side, points] : cases) {
        SCOPED_TRACE(path + " at " + std::to_string(side));
        Result<IconImage> icon = IconOfFile(path, side);
        ASSERT_TRUE(icon.Ok());
        ASSERT_EQ(std::pair(icon.Value().width, icon.Value().height), std::pair(side, side));
        int scale = side / 16;
        for (const Point& point : *points)
            EXPECT_EQ(icon.Value().Pixel(point.x * scale + scale - 1, point.y * scale), point.colour)
                << point.x << "," << point.y;
    }
}
