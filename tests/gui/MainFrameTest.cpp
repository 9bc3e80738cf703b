#include <gtest/gtest.h>

#include "gui/ScriptedWindow.h"
#include "io/FileLock.h"
#include "pe/ResourceModule.h"
#include "ui/DictionaryDock.h"

using namespace quillon;
using namespace quillon::gui;
using namespace quillon::testing;

namespace {

bool Enabled(CMainFrame& frame, const char* action) { return frame.Action(action)->isEnabled(); }

} // namespace

// A window's docks come back as they were left: restored before the window
// had its size, the dictionary dock once lost a quarter of its width at
// every start. The View menu shows and hides each dock.
TEST(MainFrame, DocksKeepTheirSizeFromStartToStart) {
    CleanSettings clean;
    std::vector<int> widths;
    for (int start = 0; start < 3; ++start) {
        ScriptedWindow window;
        window.frame.resize(1200, 800);
        window.frame.show();
        QApplication::processEvents();
        QDockWidget* dock = window.frame.DictionaryBar();
        if (start == 0) window.frame.resizeDocks({dock}, {500}, Qt::Horizontal);
        QApplication::processEvents();
        widths.push_back(dock->width());
        window.frame.close();
    }
    EXPECT_EQ(widths, std::vector<int>(3, widths[0]));
    // Each dock is shown and hidden from the View menu.
    ScriptedWindow window;
    QMenu* view = window.frame.menuBar()->actions().at(2)->menu();
    ASSERT_NE(view, nullptr);
    for (const char* dock : {"ViewOutput", "ViewDictonary", "ViewProblems", "ViewSuggestions"})
        EXPECT_TRUE(view->actions().contains(window.frame.Action(dock))) << dock;
}

// The commands follow the project and the selection; the tree and the list show what it holds.
TEST(MainFrame, CommandsTreeAndListFollowTheProject) {
    SessionWindow window;
    for (const char* name : {"ProjectUpdate", "ProjectSettings", "ProjectStatus", "Translate", "Restore",
                             "AutoTranslate", "RestoreAll", "BuildTarget", "FileSave", "ImportText"})
        EXPECT_FALSE(Enabled(window.frame, name)) << name;
    EXPECT_EQ(window.frame.windowTitle(), "Quillon");
    ASSERT_TRUE(window.Create());
    for (const char* name : {"ProjectUpdate", "ProjectSettings", "AutoTranslate", "BuildTarget", "FileSave"})
        EXPECT_TRUE(Enabled(window.frame, name)) << name;
    EXPECT_FALSE(Enabled(window.frame, "Translate")); // no row selected yet

    CContentsModel& contents = window.frame.Contents();
    QAbstractItemModelTester treeTester(&contents, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QModelIndex root = contents.index(0, 0);
    ASSERT_EQ(contents.data(root, Qt::DisplayRole).toString(), "Resource");
    QStringList folders;
    for (int row = 0; row < contents.rowCount(root); ++row) folders << contents.data(contents.index(row, 0, root), Qt::DisplayRole).toString();
    EXPECT_EQ(folders, (QStringList{"Strings", "Menus", "Dialogs", "Version"}));
    // Dialog 202 has no caption and is listed by its number.
    EXPECT_TRUE(window.frame.SelectNode({"Resource", "Dialogs", "202"}));
    EXPECT_TRUE(window.frame.SelectNode({"Resource", "Menus", "100", "File", "Level2", "Level3"}));

    CStringListModel& strings = window.frame.Strings();
    QAbstractItemModelTester listTester(&strings, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_TRUE(window.frame.SelectNode({"Resource", "Dialogs", "Opt&ions"}));
    ASSERT_EQ(strings.rowCount(), 6); // "Title" and the five controls with a text
    EXPECT_EQ(QStringList({Cell(strings, 0, 0), Cell(strings, 1, 1), Cell(strings, 1, 2)}),
              QStringList({"Title", "Name:", "N"}));
    ASSERT_TRUE(window.frame.SelectNode({"Resource", "Menus", "100"}));
    EXPECT_EQ(Cell(strings, 0, 0), "Popup Menu");
    ASSERT_TRUE(window.frame.SelectNode({"Resource", "Version", "StringFileInfo", "040904b0"}));
    EXPECT_EQ(Cell(strings, 0, 0), "CompanyName");
    ASSERT_TRUE(window.frame.SelectNode({"Resource", "Strings"}));
    EXPECT_EQ(strings.rowCount(), 0); // a folder lists nothing
    ASSERT_TRUE(window.frame.SelectNode({"Resource", "Strings", "String Table"}));
    EXPECT_EQ(strings.rowCount(), 10);
    ASSERT_TRUE(window.frame.SelectItem(strings.ItemAt(0)));
    for (const char* name : {"Translate", "Restore"}) EXPECT_TRUE(Enabled(window.frame, name)) << name;
}

TEST(MainFrame, WholeSessionNewTranslateSaveReopenUpdateBuild) {
    OwnUserMemory memory;
    SessionWindow window;
    ASSERT_TRUE(window.Create());
    window.frame.Document().Project().m_Dictionary.AddEntry("Hello", "Hallo", 0, ItemKind::String);
    window.AutoTranslate();
    EXPECT_TRUE(Logged(window.frame, "Complete 3% translated.", Qt::MatchContains)); // 1 of 33
    ASSERT_TRUE(window.frame.SelectNode({"Resource", "Strings", "String Table"}));
    // Restore marks the document modified and shows the source again.
    ASSERT_TRUE(window.frame.SelectItem(window.frame.Strings().ItemAt(1)));
    window.frame.Strings().ItemAt(1)->SetTranslation("X\\tY", 0);
    window.frame.OnRestore();
    EXPECT_EQ(Cell(window.frame.Strings(), 1, 3), "A\\tB\\r\\n");
    ASSERT_TRUE(window.frame.OnFileSave()); // the project and its dictionary: both open again below
    EXPECT_TRUE(window.prompts->errors.isEmpty()) << window.prompts->errors.join("\n").toStdString();
    ScriptedWindow reopened;
    ASSERT_TRUE(reopened.frame.OpenProject(window.File("session.prj")));
    ASSERT_TRUE(reopened.frame.SelectNode({"Resource", "Strings", "String Table"}));
    EXPECT_EQ(Cell(reopened.frame.Strings(), 0, 3), "Hallo");
    EXPECT_EQ(reopened.frame.DictionaryBar()->Model().rowCount(), 1);

    reopened.prompts->files = {window.File("target.exe")};
    ASSERT_TRUE(reopened.frame.OnBuildTarget());
    auto target = ResourceModule::Open(window.dir.File("target.exe"));
    ASSERT_TRUE(target);
    EXPECT_EQ(target.Value().LoadString(1), u"Hallo");
    EXPECT_EQ(reopened.frame.Document().Project().m_strTargetPath, window.dir.File("target.exe"));
    EXPECT_TRUE(reopened.frame.Document().IsModified()); // the target path is new
}

TEST(MainFrame, ReplacingTheProjectDropsTheOldItemsFirst) {
    // Opening, creating or updating a project frees the items the tree and
    // the list point at; anything the window does meanwhile (the title
    // changes, the progress window paints) must not reach them.
    SessionWindow window;
    ASSERT_TRUE(window.CreateSaved());
    std::vector<int> rowsShownMeanwhile;
    QObject::connect(&window.frame.Document(), &CQuillonDoc::titleChanged, &window.frame,
                     [&] { rowsShownMeanwhile.push_back(window.frame.Strings().rowCount()); });
    auto selectRow = [&] {
        ASSERT_TRUE(window.frame.SelectNode({"Resource", "Strings", "String Table"}));
        ASSERT_TRUE(window.frame.SelectItem(window.frame.Strings().ItemAt(0)));
        ASSERT_GT(window.frame.Strings().rowCount(), 0);
    };

    selectRow();
    ASSERT_TRUE(window.frame.OpenProject(window.File("session.prj")));
    selectRow();
    ASSERT_TRUE(window.Create());
    selectRow();
    EXPECT_FALSE(window.frame.OnUpdate()) << "cancelled at the question";
    // A module read only in part is merged only when the translator says so.
    const int steps = window.frame.Document().UndoStack().count();
    window.prompts->choices = {IUserPrompts::Choice::Yes};
    window.prompts->files = {QString::fromStdString(Fixture("corrupt/truncated-half.exe"))};
    EXPECT_FALSE(window.frame.OnUpdate());
    EXPECT_TRUE(window.prompts->questions.back().contains("could be read only in part"));
    EXPECT_TRUE(Logged(window.frame, "the module could be read only in part"));
    EXPECT_EQ(window.frame.Document().UndoStack().count(), steps);
    window.prompts->choices = {IUserPrompts::Choice::No}; // update from the same module
    EXPECT_TRUE(window.frame.OnUpdate());
    EXPECT_TRUE(window.prompts->reports.isEmpty() && Logged(window.frame, "nothing changed"));

    ASSERT_FALSE(rowsShownMeanwhile.empty());
    for (int rows : rowsShownMeanwhile) EXPECT_EQ(rows, 0);
    selectRow();
    EXPECT_TRUE(Enabled(window.frame, "Translate"));
    EXPECT_TRUE(window.prompts->errors.isEmpty()) << window.prompts->errors.join("\n").toStdString();
}

// A project file that does not open leaves the open project as it was; a
// modified one is replaced only once saved or given up.
TEST(MainFrame, TheOpenProjectStaysUntilSavedOrGivenUp) {
    SessionWindow window;
    ASSERT_TRUE(window.Create());
    ASSERT_TRUE(WriteFileAtomically(window.dir.File("broken.prj"), std::vector<std::uint8_t>{0x05, 'a', 'b'}));
    CResourceInfo before(window.frame.Document().Project().m_ResourceInfo);
    EXPECT_FALSE(window.frame.OpenProject(window.File("broken.prj")));
    EXPECT_TRUE(OneWith(window.prompts->errors, "broken.prj"));
    EXPECT_EQ(window.frame.Document().Project().m_ResourceInfo, before);
    EXPECT_EQ(window.frame.windowTitle(), "session.prj - Quillon *");
    window.prompts->saveAnswers = {IUserPrompts::SaveAnswer::Cancel, IUserPrompts::SaveAnswer::Save};
    EXPECT_FALSE(window.frame.SaveModified());
    EXPECT_FALSE(FileExists(window.dir.File("session.prj")));
    EXPECT_TRUE(window.frame.SaveModified());
    EXPECT_TRUE(FileExists(window.dir.File("session.prj")));
    EXPECT_TRUE(window.prompts->questions.contains("save session.prj"));
}

TEST(MainFrame, SavesAndBuildsNeverOverwriteWhatTheyShouldNot) {
    SessionWindow window;
    ASSERT_TRUE(window.CreateSaved());
    const std::string path = window.dir.File("session.prj");
    // Another program saves the project meanwhile: the window asks, and a No
    // leaves that program's file alone.
    CProject elsewhere;
    ASSERT_TRUE(elsewhere.Open(path));
    elsewhere.m_strTranslator = "Bob";
    ASSERT_TRUE(elsewhere.Save(path));
    auto theirs = ReadWholeFile(path).Value();
    window.Translate("strings/1", "Bearbeitet");
    CQuillonDoc& doc = window.frame.Document();
    window.prompts->confirms = {false};
    EXPECT_FALSE(window.frame.OnFileSave());
    EXPECT_TRUE(OneWith(window.prompts->questions, "Another program changed " + QString::fromStdString(path)));
    EXPECT_EQ(ReadWholeFile(path).Value(), theirs);
    // While another program holds the project, nothing is written either.
    {
        auto held = FileLock::Acquire(path, FileLock::Wait::No);
        ASSERT_TRUE(held);
        window.prompts->confirms = {true, true}; // now, and once it is free
        EXPECT_FALSE(window.frame.OnFileSave());
        EXPECT_TRUE(OneWith(window.prompts->errors, "being changed by another program"));
        EXPECT_EQ(ReadWholeFile(path).Value(), theirs);
    }
    EXPECT_TRUE(window.frame.OnFileSave());
    EXPECT_NE(ReadWholeFile(path).Value(), theirs);

    // Build Target As stores the path as one step to undo; the project file
    // and the module are refused as the target.
    const QString first = window.File("first.exe");
    window.prompts->files = {first, window.File("session.prj"), window.File("second.exe")};
    ASSERT_TRUE(window.frame.OnBuildTargetAs());
    ASSERT_TRUE(window.frame.OnBuildTargetAs()); // the project file is refused and asked again
    EXPECT_EQ(window.prompts->errors.size(), 2);
    EXPECT_EQ(doc.Project().m_strTargetPath, window.dir.File("second.exe"));
    doc.UndoStack().undo();
    EXPECT_EQ(doc.Project().m_strTargetPath, first.toStdString());

    // A stored target that is the module itself is replaced, never written.
    doc.Project().m_strTargetPath = Fixture("basic32.exe");
    window.prompts->files = {first};
    ASSERT_TRUE(window.frame.OnBuildTarget());
    EXPECT_TRUE(window.prompts->errors.back().contains("cannot be written"));
    EXPECT_EQ(doc.Project().m_strTargetPath, first.toStdString());
}

TEST(DictionaryDock, DeletingPrimaryAndEntryRows) {
    SessionWindow window;
    ASSERT_TRUE(window.Create());
    CDictonary& dictionary = window.frame.Document().Project().m_Dictionary;
    dictionary.AddEntry("Open", "Öffnen", 'f', ItemKind::MenuItem);
    dictionary.AddEntry("Open", "Auf", 0, ItemKind::Control);
    dictionary.AddEntry("Save", "Speichern", 'S', ItemKind::All);
    CDictonaryBar& bar = *window.frame.DictionaryBar();
    bar.FillList();
    CDictionaryModel& model = bar.Model();
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(QStringList({Cell(model, 0, 0), Cell(model, 1, 0), Cell(model, 1, 1), Cell(model, 2, 0)}),
              QStringList({"MENUITEM", "CONTROL", "Open", "COMMON"}));
    // Only the entry row: the primary entry stays. The document applies the
    // deletion and the dock fills again from the dictionary.
    window.frame.Document().Apply(model.PlanDeletion({1}));
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_NE(dictionary.FindEntry("Open", ItemKind::MenuItem), nullptr);
    EXPECT_EQ(dictionary.Lookup("Open")->SubEntries().size(), 0u);
    // A primary row together with one of its entry rows, in one go.
    dictionary.AddEntry("Open", "Auf", 0, ItemKind::Control);
    bar.FillList();
    window.frame.Document().Apply(model.PlanDeletion({0, 1}));
    EXPECT_EQ(dictionary.Lookup("Open"), nullptr);
    EXPECT_EQ(model.rowCount(), 1);
    window.frame.Document().UndoStack().undo();
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(dictionary.Lookup("Open")->SubEntries().size(), 1u);
    window.frame.Document().UndoStack().redo();
    model.SortBy(CDictionaryModel::ColumnTranslated);
    EXPECT_EQ(Cell(model, 0, 2), "Speichern");
    // A source text the column cuts shows in full in its tooltip.
    const QString longSource = "The document could not be saved. The disk may be full or write-protected; try again.";
    dictionary.AddEntry(longSource.toStdString(), "Das Dokument konnte nicht gespeichert werden.", 0, ItemKind::String);
    bar.FillList();
    QModelIndex cut = model.match(model.index(0, CDictionaryModel::ColumnSource), Qt::DisplayRole, "The document", 1,
                                  Qt::MatchStartsWith).value(0);
    EXPECT_EQ(cut.data(Qt::ToolTipRole).toString(), longSource);
}

// update-v1.exe with strings 2 and 3 translated, updated to update-v2.exe:
// string 2's text changes, string 3 moves to ID 20.
TEST(MainFrame, UpdateReportsEveryChangeAndMarksChangedItemsUntilHandled) {
    SessionWindow window;
    ASSERT_TRUE(window.Create("update-v1.exe"));
    window.Translate("strings/2", "Alter Text");
    window.Translate("strings/3", "Zieht um");
    CQuillonDoc& doc = window.frame.Document();
    window.prompts->choices = {IUserPrompts::Choice::Yes};
    window.prompts->files = {QString::fromStdString(Fixture("update-v2.exe"))};
    ASSERT_TRUE(window.frame.OnUpdate());
    // Counted from the fixtures' table of what changes between v1 and v2.
    EXPECT_TRUE(OneWith(window.prompts->reports,
        "5 changed, 12 added, 8 removed, 1 moved, 0 reused; 28 kept, 2 dialogs rebuilt\n1 translation lost\nThe module"));
    for (const char* row : {"changed | strings/2 | Old text | New text | lost: Alter Text",
                            "moved | strings/20 (from strings/3) | Moves away | Moves away | kept: Zieht um"})
        EXPECT_TRUE(window.prompts->reportRows.contains(row)) << row;
    EXPECT_TRUE(Logged(window.frame, R"(changed strings/2: "Old text" -> "New text" (translation lost: "Alter Text"))"));

    // Changed items, and those that took a translation over, stay green until handled.
    CStringListModel& strings = window.frame.Strings();
    ASSERT_TRUE(window.frame.SelectNode({"Resource", "Strings", "String Table"}));
    const int row = strings.RowOf(&At(window.frame, "strings/2"));
    auto colour = [&](int at) { return strings.data(strings.index(at, 1), Qt::ForegroundRole).value<QBrush>().color(); };
    const QColor green(0, 100, 0);
    EXPECT_EQ(colour(row), green);
    EXPECT_EQ(colour(strings.RowOf(&At(window.frame, "strings/20"))), green);
    EXPECT_TRUE(strings.data(strings.index(row, 1), Qt::ToolTipRole).toString().endsWith(
        "Before: \"Old text\", translated \"Alter Text\""));
    EXPECT_TRUE(CTranslateDlg(At(window.frame, "strings/1"), doc).PreviousGroup()->isHidden());
    CTranslateDlg dialog(At(window.frame, "strings/2"), doc);
    EXPECT_FALSE(dialog.PreviousGroup()->isHidden());
    EXPECT_EQ(dialog.PreviousSourceEdit()->text() + " / " + dialog.PreviousTranslationEdit()->text(), "Old text / Alter Text");
    QSignalSpy refreshed(&strings, &QAbstractItemModel::dataChanged);
    dialog.TranslatedEdit()->setPlainText("Neuer Text");
    dialog.accept();
    EXPECT_EQ(colour(row), QColor(200, 0, 0));
    doc.UndoStack().undo();
    EXPECT_EQ(colour(row), green);
    EXPECT_EQ(refreshed.count(), 2);
    // OK on the new source confirms it: translated as it is.
    CTranslateDlg confirm(At(window.frame, "strings/2"), doc);
    confirm.findChild<QPushButton*>("copySource")->click();
    confirm.accept();
    EXPECT_EQ(colour(row), QColor(200, 0, 0));
    EXPECT_EQ(doc.UndoStack().undoText(), "Confirm");
}

// A new release copied over the module after the project was made from it:
// a build would write old texts over new resources.
TEST(MainFrame, BuildOfAStaleModuleOffersTheUpdate) {
    for (bool update : {false, true}) {
        SessionWindow window;
        NewProjectSettings settings = SessionSettings(window.dir, window.dir.File("module.exe"));
        ASSERT_TRUE(WriteFileAtomically(settings.modulePath, FixtureBytes("update-keys-a.exe")));
        ASSERT_TRUE(window.frame.CreateProject(settings));
        ASSERT_TRUE(WriteFileAtomically(settings.modulePath, FixtureBytes("update-keys-b.exe")));
        const std::string target = window.dir.File("target.exe");
        window.prompts->files = {QString::fromStdString(target)};
        window.prompts->confirms = {update};
        EXPECT_FALSE(window.frame.OnBuildTarget());
        EXPECT_TRUE(OneWith(window.prompts->questions, "no longer matches"));
        EXPECT_FALSE(FileExists(target));
        EXPECT_EQ(At(window.frame, "dialogs/300").GetText(), update ? "New title" : "Old title");
        EXPECT_EQ(window.prompts->reports.size(), update ? 1 : 0);
        if (!update) continue;
        EXPECT_TRUE(window.prompts->informations.back().contains("build the target again"));
        EXPECT_TRUE(window.frame.OnBuildTarget());
        EXPECT_TRUE(FileExists(target));
    }
}
