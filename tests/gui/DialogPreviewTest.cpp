#include <gtest/gtest.h>

#include "gui/ScriptedWindow.h"
#include "controls/DialogPreview.h"
#include "controls/DialogPreviewDlg.h"
#include "controls/MenuPopupView.h"
#include "extract/DialogTemplate.h"
#include "io/ByteWriter.h"
#include "model/ModuleTrees.h"

using namespace quillon;
using namespace quillon::gui;
using namespace quillon::testing;

namespace {

// Control indexes of dialog 200, in template order.
enum Dialog200 { kName, kEdit, kBrowse, kOk, kIcon, kCustom, kGroup, kListView };

CResourceItem& Control(CResourceItem& dialog, int index) { return *dialog.GetChildren().at(index); }

// The text a control's widget shows; a placeholder's after its class name.
QString Shown(const CDialogPreviewWidget& preview, int index) {
    QWidget* widget = preview.ControlWidget(index);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title();
    if (auto* text = qobject_cast<CPreviewText*>(widget)) return text->Text();
    if (auto* custom = qobject_cast<CPreviewPlaceholder*>(widget)) return custom->ClassName() + ": " + custom->Text();
    return {};
}

// A left-button drag from `from` to `to` on the preview.
void Drag(CDialogPreviewWidget& preview, QPoint from, QPoint to) {
    QTest::mousePress(&preview, Qt::LeftButton, {}, from);
    QTest::mouseMove(&preview, from + (to - from) / 2);
    QTest::mouseMove(&preview, to);
    QTest::mouseRelease(&preview, Qt::LeftButton, {}, to);
}

// Writes a standard template with DS_SETFONT, MS Shell Dlg 8 (6 x 13 base
// units); a control's class is an ordinal when `className` is null.
struct TemplateControl {
    std::uint32_t style;
    std::int16_t x, y, cx, cy;
    const char16_t* className;
    std::uint16_t classOrdinal;
    const char16_t* title;
};

std::vector<std::uint8_t> TemplateBytes(const std::vector<TemplateControl>& controls) {
    ByteWriter out;
    out.U32(0x80C80040);
    out.U32(0);
    out.U16(static_cast<std::uint16_t>(controls.size()));
    // Position and size, then no menu and the default class.
    for (int value : {0, 0, 200, 150, 0, 0}) out.U16(static_cast<std::uint16_t>(value));
    out.Utf16z(u"Generated");
    out.U16(8);
    out.Utf16z(u"MS Shell Dlg");
    for (std::uint16_t id = 0; id < controls.size(); ++id) {
        const TemplateControl& control = controls[id];
        out.PadTo(4);
        out.U32(0x50000000 | control.style);
        out.U32(0);
        for (std::int16_t value : {control.x, control.y, control.cx, control.cy}) out.U16(static_cast<std::uint16_t>(value));
        out.U16(static_cast<std::uint16_t>(100 + id));
        // A class name, or 0xFFFF and the class's ordinal.
        if (control.className) out.Utf16z(control.className);
        else out.U32(0xFFFFu | std::uint32_t{control.classOrdinal} << 16);
        out.Utf16z(control.title);
        out.U16(0);
    }
    return out.Take();
}

const QString kLongText =
    QStringLiteral("A very long translated label that cannot possibly fit into the forty units of the original");

} // namespace

TEST(DialogTemplate, DialogUnitsUseWindowsRounding) {
    // 10.5 rounds up (dialog 200's first control: x = 7 DLU, 11 px) and -10.5 down.
    EXPECT_EQ(MulDiv(-7, 6, 4), -11);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(KnownBaseUnits(u"MS Shell Dlg ", 8), (DialogBaseUnits{6, 13}));
    EXPECT_EQ(KnownBaseUnits(u"segoe ui", 9), (DialogBaseUnits{7, 15}));
    EXPECT_FALSE(KnownBaseUnits(u"Segoe UI", 10));
    EXPECT_EQ(BaseUnitsFromMetrics(333, 12), (DialogBaseUnits{6, 12}));
}

TEST(DialogPreview, RebuildsTheClassicDialogWithRealWidgets) {
    auto info = ScanModule(Fixture("basic32.exe"));
    CDialogPreviewWidget preview(Child(info->m_Dialogs, 200), CodePage(1252));
    ASSERT_TRUE(preview.IsValid());
    ASSERT_EQ(preview.BaseUnits(), (DialogBaseUnits{6, 13}));
    ASSERT_EQ(preview.ControlCount(), 8);
    EXPECT_EQ(preview.ControlRect(kName), QRect(11, 11, 60, 13)); // x = 7 DLU = 7 * 6 / 4 px, rounded
    // The icon takes the icon's size, not the template's 0 x 0.
    EXPECT_EQ(preview.ControlRect(kIcon).size(), QSize(32, 32));
    const struct {
        int control;
        const char* widgetClass;
        QString text;
    } widgets[] = {{kName, "quillon::gui::CPreviewText", "&Name:"}, {kEdit, "QLineEdit", ""},
                   {kBrowse, "QPushButton", "&Browse..."}, {kOk, "QPushButton", "OK"},
                   {kIcon, "quillon::gui::CPreviewImage", ""},
                   {kCustom, "quillon::gui::CPreviewPlaceholder", "MYCUSTOMCLASS: Custom &text"},
                   {kGroup, "QGroupBox", "Tab\there"}, {kListView, "QListWidget", ""}};
    for (const auto& widget : widgets) {
        ASSERT_TRUE(preview.ControlWidget(widget.control)->inherits(widget.widgetClass)) << widget.widgetClass;
        EXPECT_EQ(Shown(preview, widget.control), widget.text);
    }
    EXPECT_TRUE(qobject_cast<CPreviewText*>(preview.ControlWidget(kName))->DrawFlags() & Qt::TextShowMnemonic);
    EXPECT_FALSE(qobject_cast<QPushButton*>(preview.ControlWidget(kBrowse))->isDefault());
    EXPECT_TRUE(qobject_cast<QPushButton*>(preview.ControlWidget(kOk))->isDefault());
    EXPECT_TRUE(preview.OverflowingControls().isEmpty()) << preview.OverflowingControls().join(" | ").toStdString();
}

TEST(DialogPreview, BuildsControlsByClassAndStyle) {
    constexpr std::uint32_t kBorder = 0x00800000;
    struct Case {
        TemplateControl control;
        const char* widgetClass;
    };
    const Case cases[] = {
        {{0x3, 7, 7, 60, 60, nullptr, 0x85, u""}, "QComboBox"},                    // 0 drop-down list
        {{kBorder | 0x80, 7, 30, 50, 12, nullptr, 0x81, u"42"}, "QLineEdit"},      // 1 edit, buddy of 2
        {{0x34, 0, 0, 0, 0, u"MSCTLS_UPDOWN32", 0, u""}, "QWidget"},               // 2 auto-buddy, right
        {{kBorder | 0x20, 70, 30, 50, 12, nullptr, 0x81, u"secret"}, "QLineEdit"}, // 3 password
        {{kBorder | 0x4, 7, 45, 50, 30, nullptr, 0x81, u"a\r\nb"}, "QPlainTextEdit"}, // 4 multi-line
        {{0x0, 135, 90, 60, 10, u"SysLink", 0, u"<a>link</a>"}, "QLabel"},         // 5
        {{0x26, 135, 7, 60, 10, nullptr, 0x80, u"&Three"}, "QCheckBox"},           // 6 auto 3-state
        {{0x9, 135, 20, 60, 10, nullptr, 0x80, u"&Radio"}, "QRadioButton"},        // 7
        {{0x0, 0, 0, 200, 150, u"SysTabControl32", 0, u""}, "QTabWidget"},         // 8
        {{0x0, 7, 125, 60, 14, u"AfxWnd140u", 0, u"custom"}, "quillon::gui::CPreviewPlaceholder"},
    };
    std::vector<TemplateControl> controls;
    for (const Case& c : cases) controls.push_back(c.control);
    CDialogEntry dialog("Generated", 0, 1);
    dialog.SetData(TemplateBytes(controls));
    CDialogPreviewWidget preview(dialog, CodePage(1252));
    ASSERT_TRUE(preview.IsValid());
    ASSERT_EQ(preview.ControlCount(), 10);
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(preview.ControlWidget(i)->inherits(cases[i].widgetClass))
            << i << " is a " << preview.ControlWidget(i)->metaObject()->className();
    // Closed, a drop-down takes its height from the font, not the 60 units (98 px).
    auto* combo = qobject_cast<QComboBox*>(preview.ControlWidget(0)); // a QComboBox, as asserted above
    EXPECT_FALSE(combo->isEditable());
    EXPECT_EQ(combo->height(), combo->sizeHint().height());
    // The up-down control narrows its buddy and sits at its right edge.
    QRect buddy = preview.ControlRect(1);
    EXPECT_EQ(buddy, QRect(11, 49, 75 - 16, 20));
    EXPECT_EQ(preview.ControlRect(2), QRect(buddy.right() + 1, buddy.top(), 16, buddy.height()));
    EXPECT_EQ(qobject_cast<QLineEdit*>(preview.ControlWidget(3))->echoMode(), QLineEdit::Password);
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(preview.ControlWidget(4))->toPlainText(), "a\nb");
    EXPECT_EQ(qobject_cast<QLabel*>(preview.ControlWidget(5))->textFormat(), Qt::RichText);
    EXPECT_TRUE(qobject_cast<QCheckBox*>(preview.ControlWidget(6))->isTristate());
    EXPECT_FALSE(qobject_cast<QRadioButton*>(preview.ControlWidget(7))->autoExclusive());
    // The tab control covers the dialog, yet stays below every other control:
    // a click where it lies under a check box picks the check box.
    QTest::mouseClick(&preview, Qt::LeftButton, {}, preview.ControlRect(6).center());
    EXPECT_EQ(preview.SelectedControl(), 6);
    QTest::mouseClick(&preview, Qt::LeftButton, {}, QPoint(290, 200));
    EXPECT_EQ(preview.SelectedControl(), 8);
}

TEST(DialogPreview, ExtendedDialogScalesWithItsOwnFont) {
    auto info = ScanModule(Fixture("basic32.exe"));
    CDialogPreviewWidget preview(Child(info->m_Dialogs, 201), CodePage(1252));
    ASSERT_TRUE(preview.IsValid());
    ASSERT_EQ(preview.BaseUnits(), (DialogBaseUnits{7, 15}));
    EXPECT_EQ(preview.size(), QSize(280, 150));
    EXPECT_EQ(std::tuple(preview.font().pixelSize(), preview.font().bold(), preview.font().italic()),
              std::tuple(12, true, true));
    EXPECT_EQ(preview.Caption(), "Extended && more");
    ASSERT_TRUE(qobject_cast<QCheckBox*>(preview.ControlWidget(2)));
    EXPECT_EQ(Shown(preview, 2) + " / " + Shown(preview, 3), "Check &me / Data");
    EXPECT_EQ(preview.ControlWidget(2)->geometry(), QRect(9, 75, 140, 19)); // 5, 40, 80, 10 in units of 7 x 15
    // A cut copy gives an invalid, empty preview.
    auto bytes = Child(info->m_Dialogs, 201).GetData();
    CDialogEntry cut("Broken", 0, 1);
    cut.SetData(bytes.first(bytes.size() / 2));
    CDialogPreviewWidget broken(cut, CodePage(1252));
    EXPECT_EQ(std::pair(broken.IsValid(), broken.ControlCount()), std::pair(false, 0));
}

// Translations show with their hotkeys, and those too long for their
// control are listed.
TEST(DialogPreview, ShowsTranslationsWithTheirHotkeysAndListsThoseThatDoNotFit) {
    auto info = ScanModule(Fixture("basic32.exe"));
    CResourceItem& dialog = Child(info->m_Dialogs, 200);
    dialog.SetTranslation("Optionen", 0);
    Control(dialog, kName).SetTranslation(kLongText.toStdString(), 'v');
    Control(dialog, kBrowse).SetTranslation("Durchsuchen und ausw\xE4hlen...", 'D');
    Control(dialog, kGroup).SetTranslation("Onglet\\tici", 0);
    Control(dialog, kOk).SetTranslation("D\xE9j\xE0", 'j'); // code page 1252 text
    CDialogPreviewWidget preview(dialog, CodePage(1252));
    EXPECT_EQ(preview.Caption(), "Optionen");
    // The untranslated custom control keeps the source text and hotkey.
    QStringList shown;
    for (int control : {kName, kGroup, kOk, kCustom}) shown << Shown(preview, control);
    EXPECT_EQ(shown, QStringList({QString(kLongText).replace("very", "&very"), "Onglet\tici",
                                  QString::fromUtf8("Dé&jà"), "MYCUSTOMCLASS: Custom &text"}));
    EXPECT_EQ(preview.OverflowingControls(),
              QStringList({kLongText, QString::fromUtf8("Durchsuchen und auswählen...")}));
    // The preview window lists them, and a row picks its control.
    CDialogPreviewDlg window(dialog, CodePage(1252));
    EXPECT_EQ(window.windowTitle(), "Optionen");
    ASSERT_EQ(window.OverflowList()->count(), 2);
    window.OverflowList()->setCurrentRow(1);
    EXPECT_EQ(window.Preview()->SelectedControl(), kBrowse);

    // Widening the button in the preview makes its text fit.
    ASSERT_TRUE(ShowActive(preview));
    QSignalSpy changed(&preview, &CDialogPreviewWidget::overflowChanged);
    QRect browse = preview.ControlRect(kBrowse);
    preview.SelectControl(kBrowse);
    QPoint leftHandle(browse.left() - 1, browse.center().y());
    Drag(preview, leftHandle, leftHandle - QPoint(150, 0));
    EXPECT_EQ(preview.OverflowingControls(), QStringList{kLongText});
    EXPECT_GE(changed.count(), 1);
}

TEST(DialogPreview, DraggingMovesAndHandlesResizeWithoutTouchingTheTemplate) {
    auto info = ScanModule(Fixture("basic32.exe"));
    CResourceItem& dialog = Child(info->m_Dialogs, 200);
    const std::vector<std::uint8_t> before(dialog.GetData().begin(), dialog.GetData().end());
    CDialogPreviewWidget preview(dialog, CodePage(1252));
    ASSERT_TRUE(ShowActive(preview));
    QSignalSpy selected(&preview, &CDialogPreviewWidget::selectionChanged);

    QRect browse = preview.ControlRect(kBrowse);
    Drag(preview, browse.center(), browse.center() + QPoint(-40, 30));
    EXPECT_EQ(preview.SelectedControl(), kBrowse);
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(preview.ControlRect(kBrowse), browse.translated(-40, 30));
    EXPECT_EQ(preview.ControlWidget(kBrowse)->geometry(), browse.translated(-40, 30));
    EXPECT_EQ(preview.TemplateRect(kBrowse), browse);

    // Moving stops at the dialog's border.
    Drag(preview, browse.center() + QPoint(-40, 30), browse.center() + QPoint(460, 30));
    EXPECT_EQ(preview.ControlRect(kBrowse).right(), preview.width() - 1);

    // Pick the OK button, then pull its bottom-right handle.
    QRect ok = preview.ControlRect(kOk);
    QTest::mouseClick(&preview, Qt::LeftButton, {}, ok.center());
    QPoint corner = ok.bottomRight() + QPoint(1, 1);
    Drag(preview, corner, corner + QPoint(20, 6));
    EXPECT_EQ(preview.ControlRect(kOk), QRect(ok.topLeft(), ok.size() + QSize(20, 6)));
    EXPECT_EQ(preview.ControlWidget(kOk)->size(), ok.size() + QSize(20, 6));
    // The top-left handle moves that corner only.
    QRect grown = preview.ControlRect(kOk);
    QPoint topLeft = grown.topLeft() - QPoint(1, 1);
    Drag(preview, topLeft, topLeft + QPoint(10, 4));
    EXPECT_EQ(preview.ControlRect(kOk), grown.adjusted(10, 4, 0, 0));

    // A click on the group box's empty inside selects it, a click on nothing clears.
    QTest::mouseClick(&preview, Qt::LeftButton, {}, preview.ControlRect(kGroup).topLeft() + QPoint(200, 20));
    EXPECT_EQ(preview.SelectedControl(), kGroup);
    QTest::mouseClick(&preview, Qt::LeftButton, {}, QPoint(295, 5));
    EXPECT_EQ(preview.SelectedControl(), -1);

    // Escape puts a control back; nothing reached the template bytes.
    preview.SelectControl(kBrowse);
    QTest::keyClick(&preview, Qt::Key_Escape);
    EXPECT_EQ(preview.ControlRect(kBrowse), browse);
    EXPECT_EQ(std::vector<std::uint8_t>(dialog.GetData().begin(), dialog.GetData().end()), before);
}

// The menu bar is built with real menus. A popup chosen in the tree opens as
// a popup: titled with its name, one entry per row from top to bottom, the
// accelerator apart from the text, separators and submenus as such, and the
// path of its level. Translations show their hotkeys; the clashes are
// core's, named by the level's path.
TEST(MenuPreviewDlg, BuildsTheBarOpensAPopupWithItsPathAndShowsTranslatedHotkeys) {
    auto info = ScanModule(Fixture("basic32.exe"));
    CResourceItem& menu = Child(info->m_Menus, 100);
    CResourceItem& file = *menu.GetChildren().at(0);
    CResourceItem& level2 = *file.GetChildren().at(6);
    const CResourceItem* toFile[] = {&menu};
    const CResourceItem* toLevel2[] = {&menu, &file};
    Child(file, 1001).SetTranslation("Drucken\\tStrg+P", 'D');
    Child(file, 1004).SetTranslation("Laden", 'd');
    Child(level2, 1006).SetTranslation("Danach", 'D');
    Child(menu, 1200).SetTranslation("Zeile\\nUmbruch", 'n'); // an n inside the escape \n marks nothing
    {
        CMenuPreviewDlg window(menu, CodePage(1252));
        QList<QAction*> bar = window.MenuBar()->actions();
        // No '&' in the command on the bar: the target has no hotkey there.
        ASSERT_EQ(Texts(bar), QStringList({"&File", "&Edit", "Zeile\nUmbruch"}));
        EXPECT_FALSE(bar[2]->menu()); // a command right on the bar
        // The second separator is "Separator text", which keeps no text in the tree.
        QList<QAction*> entries = bar[0]->menu()->actions();
        ASSERT_EQ(Texts(entries),
                  QStringList({"&Drucken\tStrg+P", "Save && Exit", "Save && E&xit", "-", "-", "La&den", "&Level2"}));
        EXPECT_FALSE(bar[0]->menu()->separatorsCollapsible());
        QMenu* level3 = entries[6]->menu()->actions().at(0)->menu();
        ASSERT_TRUE(level3);
        EXPECT_EQ(level3->title(), "Level&3");
        EXPECT_FALSE(level3->actions().at(0)->isEnabled()); // grayed
        EXPECT_TRUE(bar[1]->menu()->actions().at(0)->isChecked());
    }
    {
        CMenuPreviewDlg window(file, toFile, CodePage(1252));
        EXPECT_EQ(window.windowTitle() + " | " + window.LevelPath(), "File | Menu bar \u203A File");
        EXPECT_EQ(window.MenuBar(), nullptr);
        ASSERT_TRUE(window.Popup());
        const auto& rows = window.Popup()->Rows();
        ASSERT_EQ(rows.size(), 7u);
        EXPECT_EQ(std::tuple(rows[0].text, rows[0].accelerator, rows[3].separator, rows[4].separator, rows[6].text),
                  std::tuple("&Drucken", "Strg+P", true, true, "&Level2"));
        EXPECT_TRUE(rows[6].submenu);
        EXPECT_FALSE(window.Popup()->OpenSubmenu(0)); // no submenu there
        EXPECT_EQ(window.Duplicates(),
                  (QStringList{"Level \"Menu bar \u203A File\": hotkey D used by Drucken, Laden"}));
        EXPECT_EQ(window.DuplicateList()->count(), 1);
    }
    CMenuPreviewDlg window(level2, toLevel2, CodePage(1252));
    EXPECT_EQ(window.windowTitle() + " | " + window.LevelPath(), "Level2 | Menu bar \u203A File \u203A Level2");
    ASSERT_EQ(window.Popup()->Rows().size(), 2u);
}
