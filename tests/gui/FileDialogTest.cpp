// The file dialog: its module preview on the fixture modules and on icons
// built byte by byte, its places bar from the recent-file settings, and the
// modes its static helpers open it in. The test program provides the
// QApplication and a scratch settings folder.

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "controls/FileDialog.h"
#include "pe/ResourceModule.h"
#include "support/PeBuilder.h"

namespace quillon::gui {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::BuildPeWithResources;
using testing::BuiltResource;

QString FixturePath(const char* name) { return QStringLiteral(QUILLON_FIXTURE_DIR "/") + QString::fromLatin1(name); }

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray ToByteArray(const Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

QSettings AppSettings() { return QSettings(QStringLiteral("Quillon"), QStringLiteral("Quillon")); }

bool RowShown(const ModulePreview& preview, QLabel* value) { return value->isVisibleTo(&preview); }

// ---- Icon bytes, written the way resource compilers write them ----------------------

void Put16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void Put32(Bytes& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

Bytes InfoHeader(int width, int height, int bits, std::uint32_t coloursUsed = 0, std::uint32_t compression = 0) {
    Bytes out;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height * 2));
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(bits));
    Put32(out, compression);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, coloursUsed);
    Put32(out, 0);
    return out;
}

// Rows top-down in, bottom-up and padded to 4 bytes out. Values are palette
// indexes (packed with the leftmost pixel in the high bits) or, for 24 and
// 32 bits, colours written B G R (A).
Bytes PackRows(const std::vector<std::vector<std::uint32_t>>& rows, int bits) {
    Bytes out;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        Bytes packed;
        if (bits >= 24) {
            for (std::uint32_t colour : *row) {
                packed.push_back(static_cast<std::uint8_t>(qBlue(colour)));
                packed.push_back(static_cast<std::uint8_t>(qGreen(colour)));
                packed.push_back(static_cast<std::uint8_t>(qRed(colour)));
                if (bits == 32) packed.push_back(static_cast<std::uint8_t>(qAlpha(colour)));
            }
        } else {
            packed.assign((row->size() * bits + 7) / 8, 0);
            for (std::size_t x = 0; x < row->size(); ++x) {
                std::size_t bit = x * bits;
                packed[bit / 8] |= static_cast<std::uint8_t>((*row)[x] << (8 - bits - bit % 8));
            }
        }
        while (packed.size() % 4) packed.push_back(0);
        out.insert(out.end(), packed.begin(), packed.end());
    }
    return out;
}

Bytes Palette(const std::vector<QRgb>& colours) {
    Bytes out;
    for (QRgb colour : colours) Put32(out, colour & 0xFFFFFF); // B G R 0 in file order
    return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

// 3 x 2, 4 bits per pixel: red green blue / white black red, and the mask
// makes the top-right pixel transparent. Width 3 leaves every row padded.
Bytes FourBitIcon() {
    return Concat({InfoHeader(3, 2, 4, 5), Palette({qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)}),
                   PackRows({{1, 2, 3}, {4, 0, 1}}, 4), PackRows({{0, 0, 1}, {0, 0, 0}}, 1)});
}

// Group directory entries: side (0 = 256), bits, icon ID.
struct GroupEntry {
    int side;
    int bits;
    std::uint16_t id;
};
Bytes GroupBytes(const std::vector<GroupEntry>& entries) {
    Bytes out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(entries.size()));
    for (const GroupEntry& entry : entries) {
        out.push_back(static_cast<std::uint8_t>(entry.side));
        out.push_back(static_cast<std::uint8_t>(entry.side));
        out.push_back(0);
        out.push_back(0);
        Put16(out, 1);
        Put16(out, static_cast<std::uint32_t>(entry.bits));
        Put32(out, 0);
        Put16(out, entry.id);
    }
    return out;
}

// A one-colour opaque square of `side` pixels at 32 bits.
Bytes SolidIcon(int side, QRgb colour) {
    std::vector<std::vector<std::uint32_t>> rows(side, std::vector<std::uint32_t>(side, colour));
    return Concat({InfoHeader(side, side, 32), PackRows(rows, 32), Bytes(static_cast<std::size_t>((side + 31) / 32 * 4 * side), 0)});
}

Bytes PngBytes(const QImage& image) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return Bytes(data.begin(), data.end());
}

BuiltResource Resource(std::uint16_t type, ResourceId name, Bytes bytes) {
    return {ResourceId::Integer(type), std::move(name), 0x0409, std::move(bytes)};
}

QImage IconOf(const std::vector<BuiltResource>& resources) {
    auto module = ResourceModule::FromBytes(BuildPeWithResources(resources));
    EXPECT_TRUE(module.Ok());
    return module ? LoadModuleIcon(module.Value()) : QImage();
}

// ---- Decoding one icon image ---------------------------------------------------------------

TEST(IconDecodingTest, FourBitPixelsAreReadLeftToRightTopDownWithTheirMask) {
    QImage image = DecodeIconImage(FourBitIcon());
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgba(255, 0, 0, 255));
    EXPECT_EQ(image.pixel(1, 0), qRgba(0, 255, 0, 255));
    EXPECT_EQ(qAlpha(image.pixel(2, 0)), 0); // masked
    EXPECT_EQ(image.pixel(0, 1), qRgba(255, 255, 255, 255));
    EXPECT_EQ(image.pixel(1, 1), qRgba(0, 0, 0, 255));
    EXPECT_EQ(image.pixel(2, 1), qRgba(255, 0, 0, 255));
}

TEST(IconDecodingTest, LiteralBytesOfATwoByTwoFourBitIcon) {
    // Written out by hand so the test does not share the packing above:
    // bottom row first, high nibble is the left pixel; palette B G R 0.
    Bytes bytes = Concat({InfoHeader(2, 2, 4, 2),
                          {0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00}, // 0 = blue, 1 = red
                          {0x01, 0, 0, 0},                                   // bottom: blue red
                          {0x10, 0, 0, 0},                                   // top: red blue
                          {0x00, 0, 0, 0, 0x40, 0, 0, 0}});                  // mask: top row, right pixel
    QImage image = DecodeIconImage(bytes);
    ASSERT_EQ(image.size(), QSize(2, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(qAlpha(image.pixel(1, 0)), 0);
    EXPECT_EQ(image.pixel(0, 1), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(1, 1), qRgb(255, 0, 0));
}

TEST(IconDecodingTest, OneBitRowsArePaddedToFourBytes) {
    // 33 pixels need five bytes a row, stored as eight.
    std::vector<std::uint32_t> top(33, 0), bottom(33, 1);
    top[32] = 1;
    Bytes bytes = Concat({InfoHeader(33, 2, 1), Palette({qRgb(0, 0, 0), qRgb(255, 255, 255)}), PackRows({top, bottom}, 1),
                          PackRows({std::vector<std::uint32_t>(33, 0), std::vector<std::uint32_t>(33, 0)}, 1)});
    QImage image = DecodeIconImage(bytes);
    ASSERT_EQ(image.size(), QSize(33, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(32, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(0, 1), qRgb(255, 255, 255));
}

TEST(IconDecodingTest, EightBitIndexesPastAShortPaletteAreBlack) {
    Bytes bytes = Concat({InfoHeader(2, 1, 8, 2), Palette({qRgb(10, 20, 30), qRgb(40, 50, 60)}), PackRows({{1, 200}}, 8),
                          PackRows({{0, 0}}, 1)});
    QImage image = DecodeIconImage(bytes);
    ASSERT_EQ(image.size(), QSize(2, 1));
    EXPECT_EQ(image.pixel(0, 0), qRgb(40, 50, 60));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 0, 0));
}

TEST(IconDecodingTest, TwentyFourBitColoursAreStoredBlueFirst) {
    Bytes bytes = Concat({InfoHeader(3, 1, 24), PackRows({{qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(7, 8, 9)}}, 24),
                          PackRows({{0, 1, 0}}, 1)});
    QImage image = DecodeIconImage(bytes);
    ASSERT_EQ(image.size(), QSize(3, 1));
    EXPECT_EQ(image.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(qAlpha(image.pixel(1, 0)), 0);
    EXPECT_EQ(image.pixel(2, 0), qRgb(7, 8, 9));
}

TEST(IconDecodingTest, ThirtyTwoBitAlphaWinsOverTheMask) {
    Bytes bytes = Concat({InfoHeader(2, 1, 32), PackRows({{qRgba(200, 100, 50, 128), qRgba(1, 2, 3, 0)}}, 32),
                          PackRows({{1, 0}}, 1)});
    QImage image = DecodeIconImage(bytes);
    ASSERT_EQ(image.size(), QSize(2, 1));
    EXPECT_EQ(image.pixel(0, 0), qRgba(200, 100, 50, 128));
    EXPECT_EQ(qAlpha(image.pixel(1, 0)), 0);
}

TEST(IconDecodingTest, ThirtyTwoBitsWithoutAlphaUseTheMask) {
    Bytes bytes = Concat({InfoHeader(2, 1, 32), PackRows({{qRgba(200, 100, 50, 0), qRgba(1, 2, 3, 0)}}, 32),
                          PackRows({{1, 0}}, 1)});
    QImage image = DecodeIconImage(bytes);
    ASSERT_EQ(image.size(), QSize(2, 1));
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(image.pixel(1, 0), qRgba(1, 2, 3, 255));
}

TEST(IconDecodingTest, EmbeddedPngIsDecoded) {
    QImage source(4, 3, QImage::Format_ARGB32);
    source.fill(qRgba(0, 0, 0, 0));
    source.setPixel(3, 0, qRgba(10, 200, 30, 255));
    QImage image = DecodeIconImage(PngBytes(source));
    ASSERT_EQ(image.size(), QSize(4, 3));
    EXPECT_EQ(image.pixel(3, 0), qRgba(10, 200, 30, 255));
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
}

TEST(IconDecodingTest, RejectsHeadersThatDescribeNoIcon) {
    Bytes pixels = PackRows({{0, 0}, {0, 0}}, 32);
    EXPECT_TRUE(DecodeIconImage(Concat({InfoHeader(0, 2, 32), pixels})).isNull());
    EXPECT_TRUE(DecodeIconImage(Concat({InfoHeader(2, -2, 32), pixels})).isNull());
    EXPECT_TRUE(DecodeIconImage(Concat({InfoHeader(2, 2, 16), pixels})).isNull());
    EXPECT_TRUE(DecodeIconImage(Concat({InfoHeader(2, 2, 32, 0, 1), pixels})).isNull()); // compressed
    EXPECT_TRUE(DecodeIconImage(Concat({InfoHeader(100000, 2, 1), pixels})).isNull());
    EXPECT_TRUE(DecodeIconImage(Bytes{}).isNull());
}

// Every cut of a valid icon either loses only (part of) the mask and still
// decodes, or fails cleanly; none reads past the end.
TEST(IconDecodingTest, EveryTruncationFailsOrDecodesWithinTheBytes) {
    Bytes full = FourBitIcon();
    std::size_t maskStart = full.size() - 8; // two mask rows of four bytes
    for (std::size_t length = 0; length < full.size(); ++length) {
        Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
        QImage image = DecodeIconImage(cut);
        if (length < maskStart)
            EXPECT_TRUE(image.isNull()) << "length " << length;
        else
            EXPECT_EQ(image.size(), QSize(3, 2)) << "length " << length;
    }
}

// ---- Choosing an icon of a module ------------------------------------------------------

TEST(ModuleIconTest, PrefersTheLargestImageUpTo32PixelsWithTheMostColours) {
    Bytes group = GroupBytes({{16, 32, 1}, {48, 32, 2}, {32, 4, 3}, {32, 32, 4}, {0, 32, 5}, {24, 8, 6}});
    EXPECT_EQ(PreferredIconIds(group, 32), (std::vector<std::uint16_t>{4, 3, 6, 1, 2, 5}));
}

TEST(ModuleIconTest, AGroupCutShortKeepsItsWholeEntries) {
    Bytes group = GroupBytes({{16, 32, 1}, {32, 32, 2}});
    group.resize(group.size() - 1);
    EXPECT_EQ(PreferredIconIds(group, 32), (std::vector<std::uint16_t>{1}));
    EXPECT_TRUE(PreferredIconIds(Bytes{0, 0, 2, 0, 1, 0}, 32).empty()); // a cursor group
}

TEST(ModuleIconTest, LoadsTheChosenImageOfTheFirstGroup) {
    QImage icon = IconOf({Resource(kTypeGroupIcon, ResourceId::Integer(1), GroupBytes({{16, 32, 10}, {32, 32, 11}})),
                          Resource(kTypeGroupIcon, ResourceId::Integer(2), GroupBytes({{32, 32, 12}})),
                          Resource(kTypeIcon, ResourceId::Integer(10), SolidIcon(16, qRgb(255, 0, 0))),
                          Resource(kTypeIcon, ResourceId::Integer(11), SolidIcon(32, qRgb(0, 255, 0))),
                          Resource(kTypeIcon, ResourceId::Integer(12), SolidIcon(32, qRgb(0, 0, 255)))});
    ASSERT_EQ(icon.size(), QSize(32, 32));
    EXPECT_EQ(icon.pixel(5, 5), qRgb(0, 255, 0));
}

TEST(ModuleIconTest, NamedGroupsComeFirstAndPngImagesAreScaledDown) {
    QImage big(64, 64, QImage::Format_ARGB32);
    big.fill(qRgb(0, 0, 200));
    QImage icon = IconOf({Resource(kTypeGroupIcon, ResourceId::Named(u"MAINICON"), GroupBytes({{64, 32, 7}})),
                          Resource(kTypeGroupIcon, ResourceId::Integer(1), GroupBytes({{16, 32, 8}})),
                          Resource(kTypeIcon, ResourceId::Integer(7), PngBytes(big)),
                          Resource(kTypeIcon, ResourceId::Integer(8), SolidIcon(16, qRgb(255, 0, 0)))});
    ASSERT_EQ(icon.size(), QSize(32, 32));
    EXPECT_EQ(icon.pixel(16, 16), qRgb(0, 0, 200));
}

TEST(ModuleIconTest, FallsBackToTheNextImageWhenTheBestIsDamaged) {
    QImage icon = IconOf({Resource(kTypeGroupIcon, ResourceId::Integer(1), GroupBytes({{16, 32, 1}, {32, 32, 2}})),
                          Resource(kTypeIcon, ResourceId::Integer(1), SolidIcon(16, qRgb(255, 0, 0))),
                          Resource(kTypeIcon, ResourceId::Integer(2), Bytes{1, 2, 3})});
    ASSERT_EQ(icon.size(), QSize(16, 16));
    EXPECT_EQ(icon.pixel(0, 0), qRgb(255, 0, 0));
}

TEST(ModuleIconTest, AModuleWithoutIconsHasNone) {
    auto version = Resource(kTypeVersion, ResourceId::Integer(1), testing::VersionBytes());
    EXPECT_TRUE(IconOf({version}).isNull());
}

// ---- The preview pane on real modules -----------------------------------------------------

TEST(ModulePreviewTest, ShowsIconVersionLanguageAndCountsOfAModule) {
    ModulePreview preview;
    preview.ShowFile(FixturePath("basic32.exe"));
    EXPECT_TRUE(preview.ShowsModule());
    EXPECT_EQ(preview.DescriptionLabel()->text(), QStringLiteral("Basic fixture"));
    EXPECT_EQ(preview.VersionLabel()->text(), QStringLiteral("1.2.3.4"));
    EXPECT_EQ(preview.LanguageLabel()->text(), QStringLiteral("English"));
    EXPECT_EQ(preview.StringsLabel()->text(), QStringLiteral("10"));
    EXPECT_EQ(preview.MenuItemsLabel()->text(), QStringLiteral("10"));
    EXPECT_EQ(preview.DialogsLabel()->text(), QStringLiteral("4"));
    EXPECT_EQ(preview.ControlsLabel()->text(), QStringLiteral("13"));
    for (QLabel* value : {preview.DescriptionLabel(), preview.VersionLabel(), preview.LanguageLabel(), preview.StringsLabel(),
                          preview.MenuItemsLabel(), preview.DialogsLabel(), preview.ControlsLabel()})
        EXPECT_TRUE(RowShown(preview, value));
    EXPECT_TRUE(preview.NoteLabel()->text().isEmpty());
}

// The fixture's icon: 16 x 16, one bit, a white frame round a black square, opaque.
TEST(ModulePreviewTest, ShowsTheModulesOwnIcon) {
    ModulePreview preview;
    preview.ShowFile(FixturePath("basic32.exe"));
    ASSERT_TRUE(preview.HasModuleIcon());
    const QImage& icon = preview.Icon();
    ASSERT_EQ(icon.size(), QSize(16, 16));
    EXPECT_EQ(icon.pixel(0, 0), qRgba(255, 255, 255, 255));
    EXPECT_EQ(icon.pixel(15, 8), qRgba(255, 255, 255, 255));
    EXPECT_EQ(icon.pixel(8, 15), qRgba(255, 255, 255, 255));
    EXPECT_EQ(icon.pixel(8, 8), qRgba(0, 0, 0, 255));
    EXPECT_EQ(icon.pixel(1, 1), qRgba(0, 0, 0, 255));
    EXPECT_FALSE(preview.IconLabel()->pixmap().isNull());
}

TEST(ModulePreviewTest, AModuleWithoutResourcesShowsNoCounts) {
    ModulePreview preview;
    preview.ShowFile(FixturePath("nores.exe"));
    EXPECT_TRUE(preview.ShowsModule());
    EXPECT_FALSE(preview.HasModuleIcon());
    EXPECT_FALSE(preview.IconLabel()->pixmap().isNull()); // the generic glyph
    for (QLabel* value : {preview.StringsLabel(), preview.MenuItemsLabel(), preview.DialogsLabel(), preview.ControlsLabel(),
                          preview.VersionLabel(), preview.LanguageLabel(), preview.DescriptionLabel()}) {
        EXPECT_TRUE(value->text().isEmpty());
        EXPECT_FALSE(RowShown(preview, value));
    }
    EXPECT_FALSE(preview.NoteLabel()->text().isEmpty());
}

// Shown after a module, so a pane that kept the module's values would fail.
void ExpectNothingShownAfterAModule(const QString& path) {
    ModulePreview preview;
    preview.ShowFile(FixturePath("basic32.exe"));
    ASSERT_TRUE(preview.ShowsModule());
    preview.ShowFile(path);
    EXPECT_FALSE(preview.ShowsModule());
    EXPECT_FALSE(preview.HasModuleIcon());
    EXPECT_TRUE(preview.IconLabel()->pixmap().isNull());
    for (QLabel* value : {preview.DescriptionLabel(), preview.VersionLabel(), preview.LanguageLabel(), preview.StringsLabel(),
                          preview.MenuItemsLabel(), preview.DialogsLabel(), preview.ControlsLabel(), preview.NoteLabel()}) {
        EXPECT_TRUE(value->text().isEmpty()) << value->text().toStdString();
        EXPECT_FALSE(RowShown(preview, value) && value != preview.NoteLabel());
    }
}

TEST(ModulePreviewTest, ATextFileShowsNothing) {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("readme.txt"));
    WriteFile(path, "Hello, world\n");
    ExpectNothingShownAfterAModule(path);
}

TEST(ModulePreviewTest, AFakeExecutableShowsNothing) {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("fake.exe"));
    WriteFile(path, "MZ but nothing of a module follows");
    ExpectNothingShownAfterAModule(path);
}

TEST(ModulePreviewTest, FoldersAndEmptyPathsShowNothing) {
    ExpectNothingShownAfterAModule(QStringLiteral(QUILLON_FIXTURE_DIR));
    ExpectNothingShownAfterAModule(QString());
}

TEST(ModulePreviewTest, AModuleUnderAnotherExtensionIsStillShown) {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("basic.bin"));
    ASSERT_TRUE(QFile::copy(FixturePath("basic32.exe"), path));
    ModulePreview preview;
    preview.ShowFile(path);
    EXPECT_TRUE(preview.ShowsModule());
    EXPECT_EQ(preview.DialogsLabel()->text(), QStringLiteral("4"));
}

TEST(ModulePreviewTest, AModuleBuiltInMemoryShowsItsOwnValues) {
    testing::BuiltVersion version;
    version.fileVersion = {5, 6, 7, 8};
    version.language = 0x0407;
    version.codePage = 1252;
    version.strings = {{u"FileDescription", u"Grüße"}};
    Bytes module = BuildPeWithResources({Resource(kTypeVersion, ResourceId::Integer(1), testing::VersionBytes(version)),
                                         Resource(kTypeDialog, ResourceId::Integer(1),
                                                  testing::StandardDialogBytes(u"Caption", {{1, u"OK"}, {2, u"Cancel"}}))});
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("built.dll"));
    WriteFile(path, ToByteArray(module));
    ModulePreview preview;
    preview.ShowFile(path);
    EXPECT_EQ(preview.DescriptionLabel()->text(), QStringLiteral("Grüße"));
    EXPECT_EQ(preview.VersionLabel()->text(), QStringLiteral("5.6.7.8"));
    EXPECT_EQ(preview.LanguageLabel()->text(), QStringLiteral("German"));
    EXPECT_EQ(preview.StringsLabel()->text(), QStringLiteral("0"));
    EXPECT_EQ(preview.DialogsLabel()->text(), QStringLiteral("1"));
    EXPECT_EQ(preview.ControlsLabel()->text(), QStringLiteral("2"));
    EXPECT_FALSE(preview.HasModuleIcon());
}

// ---- Places ----------------------------------------------------------------------------------

// Sets the two recent lists for one test and removes them afterwards.
class PlacesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    void TearDown() override {
        QSettings settings = AppSettings();
        settings.remove(QString::fromLatin1(kRecentProjectsKey));
        settings.remove(QString::fromLatin1(kRecentFilesKey));
    }
    QString Folder(const char* name) {
        QString path = m_dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(QDir().mkpath(path));
        return QFileInfo(path).canonicalFilePath();
    }
    QString Missing() const { return m_dir.filePath(QStringLiteral("missing")); }
    static void SetRecent(const QStringList& projects, const QStringList& files) {
        QSettings settings = AppSettings();
        settings.setValue(QString::fromLatin1(kRecentProjectsKey), projects);
        settings.setValue(QString::fromLatin1(kRecentFilesKey), files);
    }
    static QUrl Url(const QString& folder) { return QUrl::fromLocalFile(folder); }

    QTemporaryDir m_dir;
};

TEST_F(PlacesTest, RecentFoldersComeFirstOnceEachAndMissingOnesNot) {
    QString projects = Folder("projects");
    QString other = Folder("other");
    QString files = Folder("files");
    SetRecent({projects + "/one.prj", Missing() + "/lost.prj", projects + "/two.prj", other + "/three.prj",
               projects + "/../projects/four.prj"},
              {files + "/dictionary.dic", projects + "/five.prj"});
    QList<QUrl> places = PlaceUrls(PlaceFolders());
    ASSERT_GE(places.size(), 4);
    EXPECT_EQ(places.mid(0, 3), (QList<QUrl>{Url(files), Url(projects), Url(other)}));
    EXPECT_EQ(places.count(Url(projects)), 1);
    EXPECT_FALSE(places.contains(Url(Missing())));
    EXPECT_EQ(places.constLast(), Url(QFileInfo(QDir::homePath()).canonicalFilePath()));
}

TEST_F(PlacesTest, StandardFoldersFollowWithoutDuplicates) {
    SetRecent({QDir::homePath() + "/some.prj"}, {});
    QList<QUrl> places = PlaceUrls(PlaceFolders());
    QUrl home = Url(QFileInfo(QDir::homePath()).canonicalFilePath());
    EXPECT_EQ(places.count(home), 1);
    EXPECT_EQ(places.constFirst(), home); // from the recent project, so not again at the end
    for (const QUrl& place : places) EXPECT_EQ(places.count(place), 1) << place.toString().toStdString();
}

TEST_F(PlacesTest, NoSettingsGiveOnlyStandardFolders) {
    QList<QUrl> places = PlaceUrls(PlaceFolders());
    ASSERT_FALSE(places.isEmpty());
    EXPECT_EQ(places.constLast(), Url(QFileInfo(QDir::homePath()).canonicalFilePath()));
    EXPECT_LE(places.size(), 3);
}

TEST_F(PlacesTest, PlaceUrlsKeepsExistingFoldersOnceInOrder) {
    QString a = Folder("a");
    QString b = Folder("b");
    WriteFile(a + "/file.txt", "x");
    QList<QUrl> places = PlaceUrls({b, a + "/", "", Missing(), a + "/file.txt", b + "/../b", a});
    EXPECT_EQ(places, (QList<QUrl>{Url(b), Url(a)}));
}

TEST_F(PlacesTest, TheDialogOffersThePlaces) {
    QString projects = Folder("projects");
    SetRecent({projects + "/one.prj"}, {});
    CFileDialog dialog(nullptr, CFileDialog::Mode::Open, QStringLiteral("Open"), QStringLiteral("All Files (*)"));
    EXPECT_EQ(dialog.sidebarUrls(), PlaceUrls(PlaceFolders()));
    EXPECT_TRUE(dialog.sidebarUrls().contains(Url(projects)));
}

TEST_F(PlacesTest, RememberedFilesLeadTheListOnceEach) {
    QString folder = Folder("chosen");
    CFileDialog::RememberFile(folder + "/a.prj");
    CFileDialog::RememberFile(folder + "/b.prj");
    CFileDialog::RememberFile(folder + "/a.prj");
    QStringList recent = AppSettings().value(QString::fromLatin1(kRecentFilesKey)).toStringList();
    EXPECT_EQ(recent, (QStringList{folder + "/a.prj", folder + "/b.prj"}));
    EXPECT_EQ(PlaceUrls(PlaceFolders()).constFirst(), Url(folder));
}

// ---- The dialog ------------------------------------------------------------------------------

const QString kExecutables = QStringLiteral("Executable Files (*.dll *.exe);;All Files (*)");

TEST(FileDialogTest, OpenModeTakesExistingFilesInQtsOwnDialogWithThePane) {
    CFileDialog dialog(nullptr, CFileDialog::Mode::Open, QStringLiteral("Translate File"), kExecutables);
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(dialog.nameFilters().size(), 2);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Translate File"));
    ASSERT_TRUE(dialog.HasPreviewPane());
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    ASSERT_NE(grid, nullptr);
    int index = grid->indexOf(dialog.Preview());
    ASSERT_GE(index, 0);
    int row = 0, column = 0, rows = 0, columns = 0;
    grid->getItemPosition(index, &row, &column, &rows, &columns);
    EXPECT_EQ(column, grid->columnCount() - 1); // a column of its own, on the right
    EXPECT_EQ(rows, grid->rowCount());
}

TEST(FileDialogTest, SaveModeConfirmsReplacingAndAddsTheSuffix) {
    CFileDialog dialog(nullptr, CFileDialog::Mode::Save, QStringLiteral("Project File"),
                       QStringLiteral("Project Files (*.prj);;All Files (*)"), QStringLiteral("prj"));
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog.fileMode(), QFileDialog::AnyFile);
    EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("prj"));
}

TEST(FileDialogTest, NewOrExistingModeTakesAnyName) {
    CFileDialog dialog(nullptr, CFileDialog::Mode::NewOrExisting, QStringLiteral("Dictionary File"),
                       QStringLiteral("Dictionary Files (*.dic)"), QStringLiteral("dic"));
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog.fileMode(), QFileDialog::AnyFile);
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("dic"));
}

TEST(FileDialogTest, ThePaneFollowsTheCurrentFile) {
    CFileDialog dialog(nullptr, CFileDialog::Mode::Open, QStringLiteral("Open"), kExecutables);
    emit dialog.currentChanged(FixturePath("basic32.exe"));
    EXPECT_EQ(dialog.Preview()->VersionLabel()->text(), QStringLiteral("1.2.3.4"));
    emit dialog.directoryEntered(QStringLiteral(QUILLON_FIXTURE_DIR));
    EXPECT_FALSE(dialog.Preview()->ShowsModule());
    emit dialog.currentChanged(FixturePath("basic32.exe"));
    emit dialog.currentChanged(FixturePath("nores.exe"));
    EXPECT_TRUE(dialog.Preview()->StringsLabel()->text().isEmpty());
}

TEST(FileDialogTest, StartingAtAModuleShowsItAtOnce) {
    CFileDialog dialog(nullptr, CFileDialog::Mode::Open, QStringLiteral("Open"), kExecutables);
    dialog.StartAt(FixturePath("basic32.exe"));
    EXPECT_EQ(dialog.directory().canonicalPath(), QFileInfo(QStringLiteral(QUILLON_FIXTURE_DIR)).canonicalFilePath());
    EXPECT_TRUE(dialog.Preview()->ShowsModule());
    EXPECT_EQ(dialog.Preview()->DialogsLabel()->text(), QStringLiteral("4"));
}

// Runs `answer` on the modal widget once the helper's dialog is up.
void WhenModal(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        answer(modal);
    });
}

class FileDialogHelperTest : public ::testing::Test {
protected:
    void TearDown() override { AppSettings().remove(QString::fromLatin1(kRecentFilesKey)); }
};

TEST_F(FileDialogHelperTest, OpenReturnsTheChosenModuleAndRemembersIt) {
    WhenModal([](QWidget* modal) {
        ASSERT_NE(qobject_cast<CFileDialog*>(modal), nullptr);
        qobject_cast<QDialog*>(modal)->accept(); // QFileDialog's own accept() checks the name

    });
    QString chosen = CFileDialog::GetOpenFileName(nullptr, QStringLiteral("Translate File"), kExecutables,
                                                  FixturePath("basic32.exe"));
    EXPECT_EQ(QFileInfo(chosen).canonicalFilePath(), QFileInfo(FixturePath("basic32.exe")).canonicalFilePath());
    QStringList recent = AppSettings().value(QString::fromLatin1(kRecentFilesKey)).toStringList();
    ASSERT_FALSE(recent.isEmpty());
    EXPECT_EQ(QFileInfo(recent.constFirst()).fileName(), QStringLiteral("basic32.exe"));
}

TEST_F(FileDialogHelperTest, CancelReturnsNothingAndRemembersNothing) {
    WhenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_TRUE(CFileDialog::GetOpenFileName(nullptr, QStringLiteral("Open"), kExecutables, FixturePath("basic32.exe")).isEmpty());
    EXPECT_FALSE(AppSettings().contains(QString::fromLatin1(kRecentFilesKey)));
}

TEST_F(FileDialogHelperTest, SaveOverAnExistingFileAsksFirst) {
    QTemporaryDir dir;
    QString existing = dir.filePath(QStringLiteral("old.prj"));
    WriteFile(existing, "project");
    bool asked = false;
    WhenModal([&asked](QWidget* modal) {
        auto* dialog = qobject_cast<QDialog*>(modal);
        ASSERT_NE(qobject_cast<CFileDialog*>(modal), nullptr);
        // The question is modal on top of the dialog: decline it, then give up.
        WhenModal([&asked](QWidget* question) {
            asked = qobject_cast<QMessageBox*>(question) != nullptr;
            if (auto* box = qobject_cast<QMessageBox*>(question)) box->button(QMessageBox::No)->click();
        });
        dialog->accept();
        dialog->reject();
    });
    QString chosen = CFileDialog::GetSaveFileName(nullptr, QStringLiteral("Project File"),
                                                  QStringLiteral("Project Files (*.prj)"), QStringLiteral("prj"), existing);
    EXPECT_TRUE(asked);
    EXPECT_TRUE(chosen.isEmpty());
}

TEST_F(FileDialogHelperTest, ADictionaryThatDoesNotExistYetIsTakenWithItsSuffix) {
    QTemporaryDir dir;
    WhenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->accept(); });
    QString chosen = CFileDialog::GetNewOrExistingFileName(nullptr, QStringLiteral("Dictionary File"),
                                                           QStringLiteral("Dictionary Files (*.dic)"), QStringLiteral("dic"),
                                                           dir.filePath(QStringLiteral("fresh")));
    EXPECT_EQ(QFileInfo(chosen).fileName(), QStringLiteral("fresh.dic"));
    EXPECT_FALSE(QFileInfo::exists(chosen));
}

} // namespace
} // namespace quillon::gui
