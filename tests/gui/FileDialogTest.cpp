// The file dialog: its module preview on the fixture modules and on icons
// built byte by byte, its places bar from the recent-file settings, and the
// modes its static helpers open it in. The test program provides the
// QApplication and a scratch settings folder.

#include <gtest/gtest.h>

#include "controls/FileDialog.h"
#include "pe/ResourceModule.h"
#include "pe/ModuleIcon.h"
#include "support/IconBytes.h"
#include "support/PeBuilder.h"
#include "gui/ScriptedWindow.h"

namespace quillon::gui {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace quillon::testing;

// The pane's values, from the description down to the count of controls; a
// row the pane hides as "hidden:" and what its value still says.
QStringList Values(const ModulePreview& preview) {
    QStringList values;
    for (const QLabel* value : {preview.DescriptionLabel(), preview.VersionLabel(), preview.LanguageLabel(),
                                preview.StringsLabel(), preview.MenuItemsLabel(), preview.DialogsLabel(),
                                preview.ControlsLabel()})
        values << (value->isVisibleTo(&preview) ? "" : "hidden:") + value->text();
    return values;
}

// Whether the pane shows a module, the module's own icon, an icon at all, and a note.
std::tuple<bool, bool, bool, bool> PaneState(const ModulePreview& preview) {
    return {preview.ShowsModule(), preview.HasModuleIcon(), !preview.IconLabel()->pixmap().isNull(),
            !preview.NoteLabel()->text().isEmpty()};
}

// A PNG of `size` x `size` pixels of one colour.
Bytes PngBytes(int size, QRgb colour) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(colour);
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
    return module ? ModuleIconImage(module.Value()) : QImage();
}

// ---- The core's icon as an image (the decoding is the core's, tests/pe) ----------------

TEST(ModuleIconImageTest, PixelsKeepTheirColourAndAlpha) {
    QImage image =
        ToImage({.width = 2, .height = 2, .pixels = {0xFFFF0000, 0x00000000, 0x80102030, 0xFF0000FF}, .png = {}});
    ASSERT_EQ(image.size(), QSize(2, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgba(255, 0, 0, 255));
    EXPECT_EQ(image.pixel(0, 1), qRgba(0x10, 0x20, 0x30, 0x80));
}

TEST(ModuleIconImageTest, APngIsDecodedHereAndScaledDownAndABadOneIsNoIcon) {
    QImage icon = IconOf({Resource(kTypeGroupIcon, ResourceId::Integer(1), GroupBytes({{64, 32, 7}})),
                          Resource(kTypeIcon, ResourceId::Integer(7), PngBytes(64, qRgb(0, 0, 200)))});
    ASSERT_EQ(icon.size(), QSize(32, 32));
    EXPECT_EQ(icon.pixel(16, 16), qRgb(0, 0, 200));
    // A PNG whose body disagrees with its header is no icon.
    IconImage bad{
        .format = IconImage::Format::Png, .width = 16, .height = 16, .pixels = {}, .png = PngBytes(8, qRgb(1, 2, 3))};
    EXPECT_TRUE(ToImage(bad).isNull());
    bad.png = Concat({PngHead(16, 16), {1, 2, 3}});
    EXPECT_TRUE(ToImage(bad).isNull());
    EXPECT_TRUE(IconOf({Resource(kTypeIcon, ResourceId::Integer(1), bad.png)}).isNull());
}

// ---- The preview pane on real modules -----------------------------------------------------

// Also under another extension: the bytes decide, not the name. A module
// without resources says so in a note and shows the generic glyph; a file
// that is no module shows nothing. Each is shown after a module, so a pane
// that kept the module's values would fail.
TEST(ModulePreviewTest, ShowsAModuleAndNoCountsOfWhatHasNoResources) {
    QTemporaryDir dir;
    const QString renamed = dir.filePath(QStringLiteral("basic.bin"));
    const QString text = dir.filePath(QStringLiteral("readme.txt"));
    ASSERT_TRUE(QFile::copy(FixturePath("basic32.exe"), renamed));
    ASSERT_TRUE(WriteFileAtomically(text.toStdString(), Bytes{'H', 'i', '\n'}));
    for (const QString& path : {FixturePath("nores.exe"), text, QStringLiteral(QUILLON_FIXTURE_DIR), QString()}) {
        SCOPED_TRACE(path.toStdString());
        ModulePreview preview;
        preview.ShowFile(path == text ? renamed : FixturePath("basic32.exe"));
        ASSERT_EQ(PaneState(preview), std::tuple(true, true, true, false));
        EXPECT_EQ(Values(preview), (QStringList{"Basic fixture", "1.2.3.4", "English", "10", "10", "4", "13"}));

        const bool module = path == FixturePath("nores.exe");
        preview.ShowFile(path);
        EXPECT_EQ(PaneState(preview), std::tuple(module, false, module, module)); // nores.exe: the glyph and a note
        EXPECT_EQ(Values(preview), QStringList(7, "hidden:"));
    }
}

// ---- Places ----------------------------------------------------------------------------------

// Each test starts and ends without recent files (other tests browse for
// files too) and may set the two recent lists.
class PlacesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        TearDown();
    }
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
    static QUrl Url(const QString& folder) { return QUrl::fromLocalFile(folder); }

    QTemporaryDir m_dir;
};

// The dialog's sidebar starts with the recent folders.
TEST_F(PlacesTest, RecentFoldersComeFirstOnceEachAndMissingOnesNot) {
    QString projects = Folder("projects");
    QString other = Folder("other");
    QString files = Folder("files");
    QSettings settings = AppSettings();
    settings.setValue(QString::fromLatin1(kRecentProjectsKey),
                      QStringList{projects + "/one.prj", Missing() + "/lost.prj", projects + "/two.prj",
                                  other + "/three.prj", projects + "/../projects/four.prj"});
    settings.setValue(QString::fromLatin1(kRecentFilesKey),
                      QStringList{files + "/dictionary.dic", projects + "/five.prj"});
    QList<QUrl> places = PlaceUrls(PlaceFolders());
    ASSERT_GE(places.size(), 4);
    EXPECT_EQ(places.mid(0, 3), (QList<QUrl>{Url(files), Url(projects), Url(other)}));
    EXPECT_EQ(places.count(Url(projects)), 1);
    EXPECT_FALSE(places.contains(Url(Missing())));
    EXPECT_EQ(places.constLast(), Url(QFileInfo(QDir::homePath()).canonicalFilePath()));
    CFileDialog dialog(nullptr, CFileDialog::Mode::Open, QStringLiteral("Open"), QStringLiteral("All Files (*)"));
    EXPECT_EQ(dialog.sidebarUrls(), places);
    // Of the folders given, those that exist, once each and in order.
    QString a = Folder("a");
    QString b = Folder("b");
    ASSERT_TRUE(WriteFileAtomically((a + "/file.txt").toStdString(), Bytes{'x'}));
    EXPECT_EQ(PlaceUrls({b, a + "/", "", Missing(), a + "/file.txt", b + "/../b", a}), (QList<QUrl>{Url(b), Url(a)}));
}

TEST_F(PlacesTest, RememberedFilesLeadTheListOnceEach) {
    QString folder = Folder("chosen");
    CFileDialog::RememberFile(folder + "/a.prj");
    CFileDialog::RememberFile(folder + "/b.prj");
    CFileDialog::RememberFile(folder + "/a.prj");
    EXPECT_EQ(AppSettings().value(QString::fromLatin1(kRecentFilesKey)).toStringList(),
              (QStringList{folder + "/a.prj", folder + "/b.prj"}));
    EXPECT_EQ(PlaceUrls(PlaceFolders()).constFirst(), Url(folder));
}

// ---- The dialog ------------------------------------------------------------------------------

const QString kExecutables = QStringLiteral("Executable Files (*.dll *.exe);;All Files (*)");

TEST(FileDialogTest, ThePaneFollowsTheCurrentFile) {
    CFileDialog dialog(nullptr, CFileDialog::Mode::Open, QStringLiteral("Open"), kExecutables);
    dialog.StartAt(FixturePath("basic32.exe")); // shown at once
    EXPECT_EQ(dialog.directory().canonicalPath(), QFileInfo(QStringLiteral(QUILLON_FIXTURE_DIR)).canonicalFilePath());
    EXPECT_EQ(dialog.Preview()->DialogsLabel()->text(), QStringLiteral("4"));
    emit dialog.directoryEntered(QStringLiteral(QUILLON_FIXTURE_DIR));
    EXPECT_FALSE(dialog.Preview()->ShowsModule());
    emit dialog.currentChanged(FixturePath("basic32.exe"));
    EXPECT_EQ(dialog.Preview()->VersionLabel()->text(), QStringLiteral("1.2.3.4"));
    emit dialog.currentChanged(FixturePath("nores.exe"));
    EXPECT_TRUE(dialog.Preview()->StringsLabel()->text().isEmpty());
}

class FileDialogHelperTest : public PlacesTest {};

// Cancel returns nothing and remembers nothing; the module chosen is remembered.
TEST_F(FileDialogHelperTest, OpenReturnsTheChosenModuleAndRemembersIt) {
    WhenModal<QDialog>([](QDialog* dialog) { dialog->reject(); });
    EXPECT_TRUE(CFileDialog::GetOpenFileName(nullptr, QStringLiteral("Open"), kExecutables, FixturePath("basic32.exe")).isEmpty());
    EXPECT_FALSE(AppSettings().contains(QString::fromLatin1(kRecentFilesKey)));
    // QFileDialog's own accept() checks the name.
    WhenModal<CFileDialog>([](CFileDialog* dialog) { QMetaObject::invokeMethod(dialog, "accept"); });
    QString chosen = CFileDialog::GetOpenFileName(nullptr, QStringLiteral("Translate File"), kExecutables,
                                                  FixturePath("basic32.exe"));
    EXPECT_EQ(QFileInfo(chosen).canonicalFilePath(), QFileInfo(FixturePath("basic32.exe")).canonicalFilePath());
    const QString recent = AppSettings().value(QString::fromLatin1(kRecentFilesKey)).toStringList().value(0);
    EXPECT_EQ(QFileInfo(recent).fileName(), QStringLiteral("basic32.exe"));
}

TEST_F(FileDialogHelperTest, SaveOverAnExistingFileAsksFirst) {
    QTemporaryDir dir;
    QString existing = dir.filePath(QStringLiteral("old.prj"));
    ASSERT_TRUE(WriteFileAtomically(existing.toStdString(), Bytes{'x'}));
    bool asked = false;
    WhenModal<CFileDialog>([&asked](CFileDialog* dialog) {
        // The question is modal on top of the dialog: decline it, then give up.
        WhenModal<QMessageBox>([&asked](QMessageBox* box) {
            asked = true;
            box->button(QMessageBox::No)->click();
        });
        QMetaObject::invokeMethod(dialog, "accept");
        dialog->reject();
    });
    QString chosen = CFileDialog::GetSaveFileName(nullptr, QStringLiteral("Project File"),
                                                  QStringLiteral("Project Files (*.prj)"), QStringLiteral("prj"), existing);
    EXPECT_TRUE(asked);
    EXPECT_TRUE(chosen.isEmpty());
}

} // namespace
} // namespace quillon::gui
