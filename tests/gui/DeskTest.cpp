// The translator's desk driven as a translator drives it: from the keyboard,
// in a shown window, on the bundled sample module.

#include <gtest/gtest.h>

#include "gui/ScriptedWindow.h"
#include "controls/TextBridge.h"
#include "ui/HistoryDock.h"
#include "ui/ItemPreview.h"
#include "ui/ReplaceDialog.h"
#include "ui/StringFilter.h"

using namespace quillon;
using namespace quillon::gui;
using namespace quillon::testing;

namespace {

// Keys go where the user's would: to the widget that has the focus.
void Press(const QKeySequence& keys) { QTest::keySequence(QApplication::focusWidget(), keys); }
void Press(const char* keys) { Press(QKeySequence(QString::fromLatin1(keys))); }
void Type(const char* text) {
    for (const char* c = text; *c; ++c) QTest::keyClick(QApplication::focusWidget(), *c);
}
struct Desk : SessionWindow {
    bool Create() { return frame.CreateProject(SessionSettings(dir, SamplePath("quillpad.exe"))); }
    // The sample's project made and the window shown on its string table.
    bool ShowStrings() {
        return Create() && frame.SelectNode({"Resource", "Strings", "String Table"}) && ShowActive(frame);
    }
    const CResourceItem* Current() {
        QModelIndex index = frame.ListFilterModel().mapToSource(frame.StringView()->currentIndex());
        return frame.Strings().ItemAt(index.row());
    }
    std::string Translation(std::int32_t id) {
        const CResourceItem& item = Child(frame.Document().Project().m_ResourceInfo.m_Strings, id);
        return item.IsTranslated() ? item.GetTranslation() : "-";
    }
    std::string Text(const char* path) { return At(frame, path).GetTranslation(); }
    // The contents nodes that are open, by their text path.
    QStringList Expanded() {
        QStringList open;
        const QAbstractItemModel& tree = frame.Contents();
        const auto all = tree.match(tree.index(0, 0), Qt::DisplayRole, "*", -1, Qt::MatchWildcard | Qt::MatchRecursive);
        for (QModelIndex index : all) {
            if (!frame.ContentsView()->isExpanded(index)) continue;
            QString path;
            for (; index.isValid(); index = index.parent()) path.prepend("/" + index.data().toString());
            open << path;
        }
        return open;
    }
};

} // namespace

// Filter the untranslated strings, translate five in place with Enter (one
// losing its placeholder: marked on the row, the cursor moves on anyway),
// undo three, redo one, save, reopen: the file holds what the screen showed,
// and the title's modified mark goes at each save.
TEST(TranslatorsDesk, TranslatesInPlaceFromTheKeyboard) {
    Desk desk;
    CMainFrame& frame = desk.frame;
    ASSERT_TRUE(desk.ShowStrings());
    ASSERT_TRUE(frame.OnFileSave());

    Press("Ctrl+F");
    Press("Down"); // from the filter to the list, on its first row
    Type("Federblock");
    Press("Return");
    EXPECT_EQ(desk.Translation(1), "Federblock");
    Press("Ctrl+F");
    Press("Alt+L");
    ASSERT_TRUE(WaitFor([&] { return frame.FilterBar()->StateBox(CStringListModel::StateUntranslated)->isChecked(); }));
    EXPECT_EQ(frame.ListFilterModel().rowCount(), frame.Strings().rowCount() - 1);
    EXPECT_EQ(desk.Current()->m_nID, 2); // the row the cursor was on stays current
    Press("Ctrl+F");
    Press("Return");
    for (const char* text : {"Unbenannt", "%1 - Federblock", "Speichern?", "%1 nicht gefunden", "Fehler bei %1"}) {
        Type(text);
        Press("Return");
    }
    EXPECT_EQ(desk.Current()->m_nID, 7);
    QModelIndex lost = frame.ListFilterModel().index(2, CStringListModel::ColumnTranslated); // string 4
    EXPECT_FALSE(lost.data(Qt::DecorationRole).isNull());
    EXPECT_TRUE(lost.data(Qt::ToolTipRole).toString().contains("%1")) << lost.data(Qt::ToolTipRole).toString().toStdString();
    EXPECT_TRUE(frame.ListFilterModel().index(1, CStringListModel::ColumnTranslated).data(Qt::DecorationRole).isNull());

    for (int undo = 0; undo < 3; ++undo) Press(frame.Action("EditUndo")->shortcut());
    Press(frame.Action("EditRedo")->shortcut());
    Press(frame.Action("FileSave")->shortcut());
    EXPECT_FALSE(frame.windowTitle().endsWith(" *"));
    // Saving while a translation is still being typed saves it as typed.
    Type("Nicht gespeichert?");
    Press(frame.Action("FileSave")->shortcut());
    EXPECT_FALSE(frame.windowTitle().endsWith(" *"));

    Desk reopened;
    ASSERT_TRUE(reopened.frame.OpenProject(desk.File("session.prj")));
    const std::vector<std::string> expected{"Federblock", "Unbenannt", "%1 - Federblock", "Speichern?", "-", "-",
                                            "Nicht gespeichert?"};
    for (Desk* shown : {&desk, &reopened})
        for (std::int32_t id = 1; id <= 7; ++id) EXPECT_EQ(shown->Translation(id), expected[id - 1]) << id;
}

// Plain text is not read as a pattern; whole words, case and regular
// expressions narrow it; a pattern that does not parse shows nothing. A
// translation confirmed as its source is a state of its own. The hotkey
// column takes only a character of the translation.
TEST(TranslatorsDesk, TheFilterMatchesAsItsOptionsSayAndTheHotkeyCellChecks) {
    Desk window;
    ASSERT_TRUE(window.Create());
    window.Translate("strings/38", "UTF-8");
    window.Translate("strings/2", "Unbenannt");
    ASSERT_TRUE(window.frame.SelectNode({"Resource", "Strings", "String Table"}));
    struct Case {
        ListFilter filter;
        int rows;
    };
    const Case cases[] = {
        {{"quill pad"}, 8},
        {{"quill pad", true}, 0},
        {{"Quill Pad", true}, 8},
        {{"*.txt"}, 2},
        {{"open", false, true}, 3}, // not "Opens"
        {{"^%1", false, false, true}, 6},
        {{"(", false, false, true}, 0},
        {{"", false, false, false, CStringListModel::StateTranslated}, 2},
        {{"", false, false, false, CStringListModel::StateConfirmed}, 1}, // "UTF-8" as it is
        {{"", false, false, false, CStringListModel::StateUntranslated | CStringListModel::StateProblem}, 57},
    };
    CStringFilterModel& filter = window.frame.ListFilterModel();
    for (const Case& test : cases) {
        SCOPED_TRACE(test.filter.text.toStdString());
        filter.SetFilter(test.filter);
        EXPECT_EQ(filter.rowCount(), test.rows);
        EXPECT_EQ(filter.PatternIsValid(), test.filter.text != "(");
    }

    // A hotkey the typed text lacks is refused on the row and changes nothing
    // (the hotkey rules themselves are core's: ManualTranslationTest).
    ASSERT_TRUE(window.frame.SelectNode({"Resource", "Menus", "100"}));
    CStringListModel& rows = window.frame.Strings();
    CResourceItem& file = *rows.ItemAt(0);
    ASSERT_EQ(file.GetText(), "File");
    const QModelIndex text = rows.index(0, CStringListModel::ColumnTranslated);
    const QModelIndex hotkey = rows.index(0, CStringListModel::ColumnTransHotkey);
    // No F in it: no hotkey of its own, and none after the refusal either.
    EXPECT_TRUE(rows.setData(text, "Datei"));
    EXPECT_FALSE(rows.setData(hotkey, "x"));
    EXPECT_EQ(file.m_chTransHotkey, 0);
    EXPECT_TRUE(text.data(Qt::ToolTipRole).toString().contains("The hotkey 'x'"));
    // A '&' typed in the text marks the hotkey there.
    EXPECT_TRUE(rows.setData(text, "Date&ien"));
    EXPECT_EQ(file.GetTranslation(), "Dateien");
    EXPECT_EQ(file.m_chTransHotkey, 'i');
    EXPECT_EQ(window.frame.Document().UndoStack().count(), 2 + 2);
}

// Over a long list the typed text filters once typing pauses (or at Enter),
// not at every key; over a short one at every key.
TEST(TranslatorsDesk, TheFilterWaitsForAPauseInTypingOverALongList) {
    for (bool longList : {true, false}) {
        CFilterBar bar;
        bar.SetPauseWhile([longList] { return longList; });
        std::vector<QString> filtered;
        QObject::connect(&bar, &CFilterBar::filterChanged, [&](const ListFilter& f) { filtered.push_back(f.text); });
        QTest::keyClicks(bar.TextEdit(), "Retry");
        EXPECT_EQ(filtered.size(), longList ? 0u : 5u);
        QTest::keyClick(bar.TextEdit(), Qt::Key_Return);
        EXPECT_EQ(filtered, (longList ? std::vector<QString>{"Retry"}
                                      : std::vector<QString>{"R", "Re", "Ret", "Retr", "Retry"}));
    }
}

// What the filter and the preview read: escapes as the characters they
// stand for, a CR LF pair (escaped or raw) as one line break, the bytes in
// the project's code page (a Shift-JIS trail byte 0x5C is no escape).
TEST(TranslatorsDesk, TextsReadAsTheTranslatorSeesThem) {
    struct Case {
        const char* ansi;
        int codePage;
        const char16_t* readable;
    };
    const Case cases[] = {
        {"Line\\r\\nnext\\tcell", 1252, u"Line\nnext\tcell"},
        {"Raw\r\nbreak\rkept", 1252, u"Raw\nbreak\rkept"},
        {"\x95\x5C\\n", 932, u"表\n"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.ansi);
        EXPECT_EQ(ReadableText(test.ansi, CodePage(test.codePage)), QString::fromStdU16String(test.readable));
    }
}

// The flat view lists every item with its address; Next Untranslated and
// Next Problem leave the resource they start in; the Output dock's line of a
// change leads back to its item, past the filter.
TEST(TranslatorsDesk, NavigationCrossesResources) {
    Desk desk;
    CMainFrame& frame = desk.frame;
    ASSERT_TRUE(desk.ShowStrings());
    frame.StringView()->setFocus();
    Press("Ctrl+End");
    EXPECT_EQ(desk.Current()->m_nID, 1402);
    Press("Ctrl+Shift+N");
    EXPECT_EQ(desk.Current()->GetKind(), ItemKind::PopupMenu); // "File", in the menus
    EXPECT_EQ(frame.Preview()->SourceView()->toPlainText(), "File");
    // From the tree too: the list takes the keys, so typing translates the item found.
    frame.ContentsView()->setFocus();
    Press("Ctrl+Shift+N");
    EXPECT_TRUE(frame.StringView()->hasFocus());

    ASSERT_TRUE(frame.SelectNode({"Resource", "Strings", "String Table"}));
    frame.StringView()->setFocus();
    Press("Ctrl+Home, Down, Down, Down"); // string 4, "Do you want to save changes to %1?"
    Type("Speichern?");
    Press("Return");
    Press("Ctrl+Home, F8");
    EXPECT_EQ(desk.Current()->m_nID, 4);

    EXPECT_TRUE(frame.StringView()->horizontalHeader()->isSectionHidden(CStringListModel::ColumnPath));
    frame.Action("ViewFlat")->trigger();
    EXPECT_EQ(desk.Current()->m_nID, 4); // kept
    EXPECT_EQ(frame.Strings().index(0, CStringListModel::ColumnPath).data().toString(), "strings/1");
    EXPECT_FALSE(frame.StringView()->horizontalHeader()->isSectionHidden(CStringListModel::ColumnPath));
    Press("Ctrl+F");
    Type("Untitled"); // hides string 4: the log's line clears the filter to show it
    ASSERT_EQ(frame.ListFilterModel().rowCount(), 1);
    QListWidget* log = frame.OutputBar()->StatusList();
    QListWidgetItem* line = log->item(log->count() - 1);
    EXPECT_TRUE(line->text().endsWith("Translate: strings/4 \"Speichern?\"")) << line->text().toStdString();
    QTest::mouseClick(log->viewport(), Qt::LeftButton, {}, log->visualItemRect(line).center());
    EXPECT_EQ(desk.Current()->m_nID, 4);
    EXPECT_TRUE(frame.FilterBar()->TextEdit()->text().isEmpty());
    // A report of thousands of lines (an import's refusals) shows the first thousand and counts the rest.
    const int before = log->count();
    frame.OutputBar()->LogLines(QStringList(2500, QStringLiteral("refused")), true);
    EXPECT_EQ(log->count(), before + 1001);
    EXPECT_TRUE(log->item(log->count() - 1)->text().endsWith("... and 1500 more lines; the command line lists them all"));

    // String 6 breaks its lines with \r\n: the preview shows them as breaks.
    frame.StringView()->setFocus(); // the click left it in the log
    Press("Down, Down");
    EXPECT_EQ(desk.Current()->m_nID, 6);
    EXPECT_TRUE(frame.Preview()->SourceView()->toPlainText().startsWith("Quill Pad could not open %1.\nMake sure"));
}

// Ctrl+H finds "Feder" in every translation; the preview shows each change
// with its checks (the menu item loses its hotkey's letter); one row is left
// out from the keyboard; Replace is one step, and one Ctrl+Z gives every
// text back.
TEST(TranslatorsDesk, ReplacesInTranslationsAsOneStep) {
    Desk desk;
    CMainFrame& frame = desk.frame;
    ASSERT_TRUE(desk.ShowStrings());
    desk.Translate("strings/1", "Federblock");
    desk.Translate("strings/3", "%1 - Federblock");
    desk.Translate("menus/100/-1/1007", "Feder beenden", 'F');
    desk.Translate("strings/2", "Unbenannt");
    const int steps = frame.Document().UndoStack().count();

    Press("Ctrl+H");
    CReplaceDialog* dialog = frame.ReplaceDialog();
    ASSERT_TRUE(WaitFor([&] { return QApplication::focusWidget() == dialog->FindEdit(); }));
    Type("feder");
    Press("Tab");
    Type("Schreib");
    Press("Return");
    QTableWidget* table = dialog->PreviewTable();
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->item(0, CReplaceDialog::ColumnItem)->text(), "strings/1");
    EXPECT_EQ(table->item(0, CReplaceDialog::ColumnAfter)->text(), "Schreibblock");
    EXPECT_TRUE(table->item(2, CReplaceDialog::ColumnChecks)->text().contains("hotkey-dropped"));
    // Rows in view have the height of their texts, as measuring every row would give them.
    std::vector<int> heights;
    for (int row = 0; row < table->rowCount(); ++row) heights.push_back(table->rowHeight(row));
    table->resizeRowsToContents();
    for (int row = 0; row < table->rowCount(); ++row) EXPECT_EQ(table->rowHeight(row), heights[row]) << row;

    table->setFocus();
    table->setCurrentCell(1, CReplaceDialog::ColumnItem);
    Press("Space");
    EXPECT_EQ(table->item(1, CReplaceDialog::ColumnItem)->checkState(), Qt::Unchecked);
    QPushButton* replace = nullptr;
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        if (button->text() == "&Replace") replace = button;
    ASSERT_NE(replace, nullptr);
    QTest::mouseClick(replace, Qt::LeftButton);
    EXPECT_EQ(desk.Text("strings/1") + " | " + desk.Text("strings/3") + " | " + desk.Text("menus/100/-1/1007"),
              "Schreibblock | %1 - Federblock | Schreib beenden");
    EXPECT_EQ(table->rowCount(), 1); // found again: what was left out
    ASSERT_EQ(frame.Document().UndoStack().count(), steps + 1);
    EXPECT_EQ(frame.Document().UndoStack().undoText(), "Replace in Translations");

    Press("Escape");
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_TRUE(ShowActive(frame));
    Press("Ctrl+Z");
    // Every text back, and the step before stays.
    EXPECT_EQ(desk.Text("strings/1") + " | " + desk.Text("menus/100/-1/1007") + " | " + desk.Text("strings/2"),
              "Federblock | Feder beenden | Unbenannt");
    EXPECT_EQ(At(frame, "menus/100/-1/1007").m_chTransHotkey, 'F');
    EXPECT_EQ(frame.Document().UndoStack().index(), steps);

    // The History dock names every step; clicking the first goes back to it.
    frame.Action("EditHistory")->trigger();
    QUndoView* history = frame.HistoryBar()->View();
    ASSERT_TRUE(WaitFor([&] { return history->isVisible() && !history->visualRect(history->model()->index(1, 0)).isEmpty(); }));
    ASSERT_EQ(history->model()->rowCount(), steps + 2);
    EXPECT_EQ(history->model()->index(steps + 1, 0).data().toString(), "Replace in Translations");
    QTest::mouseClick(history->viewport(), Qt::LeftButton, {}, history->visualRect(history->model()->index(1, 0)).center());
    EXPECT_EQ(frame.Document().UndoStack().index(), 1);
    EXPECT_EQ(desk.Text("strings/1"), "Federblock");
    EXPECT_FALSE(At(frame, "strings/3").IsTranslated());
}

// The open nodes and the selected item come back when the project is opened
// again, and stay when Settings OK builds the tree again.
TEST(TranslatorsDesk, RemembersTheTreeOfEachProject) {
    Desk desk;
    CMainFrame& frame = desk.frame;
    ASSERT_TRUE(desk.Create());
    ASSERT_TRUE(frame.OnFileSave());
    ASSERT_TRUE(ShowActive(frame));
    ASSERT_TRUE(frame.SelectItem(&At(frame, "menus/100/-1#2/1102"))); // Cut, in the Edit popup
    ASSERT_TRUE(frame.SelectNode({"Resource", "Strings"}));
    frame.ContentsView()->collapse(frame.ContentsView()->currentIndex());
    ASSERT_TRUE(frame.SelectItem(&At(frame, "menus/100/-1#2/1102")));
    ASSERT_EQ(desk.Current()->m_nID, 1102);
    const QStringList expanded = desk.Expanded();
    EXPECT_TRUE(expanded.contains("/Resource/Menus/100"));
    EXPECT_FALSE(expanded.contains("/Resource/Strings"));

    WhenModal<QDialog>([](QDialog* settings) { settings->accept(); });
    frame.OnSettings();
    EXPECT_EQ(desk.Expanded(), expanded);
    EXPECT_EQ(desk.Current()->m_nID, 1102);
    // Closing keeps the tree of the project as it is then, not as Settings OK kept it.
    ASSERT_TRUE(frame.SelectItem(&At(frame, "strings/2")));
    frame.close();
    Desk reopened;
    ASSERT_TRUE(reopened.frame.OpenProject(desk.File("session.prj")));
    EXPECT_EQ(reopened.Expanded(), desk.Expanded());
    ASSERT_NE(reopened.Current(), nullptr);
    EXPECT_EQ(reopened.Current()->m_nID, 2);
}
