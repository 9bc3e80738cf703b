#include <gtest/gtest.h>

#include "gui/ScriptedWindow.h"
#include "ui/ImportGlossaryDlg.h"

using namespace quillon;
using namespace quillon::gui;
using namespace quillon::testing;

TEST(AutoTranslateDialog, RunsOnItsWorkerAndReportsInTheWindow) {
    OwnUserMemory memory;
    CQuillonDoc doc;
    GermanDoc(doc);
    doc.Project().m_Dictionary.AddEntry("File", "Datei", 'D', ItemKind::PopupMenu);
    doc.Project().m_Dictionary.AddEntry("Hello", "Hallo", 0, ItemKind::String);
    CAutoTranslateDlg dialog(doc);
    StartAndFinish(dialog);
    // The window marks the document from the result's modified flag.
    EXPECT_EQ(std::tuple(dialog.StatusLabel()->text(), dialog.List().rowCount(), dialog.ProgressBar()->maximum(),
                         dialog.LastResult().modified),
              std::tuple("Complete 6% translated.", 31, 0, true));
    // A second run in the same dialog starts over.
    StartAndFinish(dialog);
    EXPECT_EQ(dialog.List().rowCount(), 31);
}

// Start, Stop and Start in quick succession never start a second worker
// while one is alive, and the dialog always ends stopped. Escape does not
// close it, and it outlives the worker it leaves running.
TEST(AutoTranslateDialog, StopBeforeTheWorkerSeesItAndStartAgain) {
    CQuillonDoc doc;
    GermanDoc(doc);
    CAutoTranslateDlg dialog(doc);
    for (int i = 0; i < 20; ++i) {
        StartAndFinish(dialog, 3);
        // Not running, no thread, Start offered, Close enabled.
        EXPECT_EQ(std::tuple(dialog.IsRunning(), dialog.IsThreadAlive(), dialog.StartButton()->text(),
                             dialog.CloseButton()->isEnabled()),
                  std::tuple(false, false, "Start", true));
    }
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    dialog.StartButton()->click(); // destroyed while the worker may still run
}

// Start waits for a glossary to be chosen. Cancel while a long glossary is
// read stops the import and leaves the dictionary and the undo history as
// they were; Start then imports it all, and the button, now OK, closes.
TEST(ImportGlossaryDialog, CancelDuringTheImportImportsNothingAndStartAgainImportsAll) {
    TempDir dir;
    std::string lines;
    for (int line = 0; line < 5000; ++line)
        lines += "Source " + std::to_string(line) + "\tde\tQuelle " + std::to_string(line) + "\t\n";
    const std::string path = dir.File("long.txt");
    ASSERT_TRUE(WriteFileAtomically(path, std::vector<std::uint8_t>(lines.begin(), lines.end())));
    CQuillonDoc doc;
    GermanDoc(doc);
    const std::size_t entries = doc.Project().m_Dictionary.GetCount();
    const bool modified = doc.IsModified();
    CImportGlossaryDlg dialog(doc, GlossaryFormat::Text);
    EXPECT_FALSE(dialog.StartButton()->isEnabled());
    dialog.SetPath(QString::fromStdString(path));
    QSignalSpy dictionaryShown(&doc, &CQuillonDoc::dictionaryChanged);
    QTimer::singleShot(0, &dialog, [&dialog] {
        EXPECT_FALSE(dialog.StartButton()->isEnabled()); // the import runs
        dialog.reject();
    });
    dialog.OnStart();
    // Not done; the entries, the history and the modified flag as they were.
    EXPECT_EQ(std::tuple(dialog.Done(), doc.Project().m_Dictionary.GetCount(), doc.UndoStack().count(), doc.IsModified()),
              std::tuple(false, entries, 0, modified));
    EXPECT_EQ(dictionaryShown.count(), 1); // the dock lists the entries put back, not freed ones
    EXPECT_TRUE(dialog.DetailsText()->toPlainText().contains("Import stopped: nothing was imported"));
    ASSERT_TRUE(dialog.StartButton()->isEnabled());
    EXPECT_EQ(dialog.StartButton()->text(), "Start");
    dialog.OnStart();
    EXPECT_EQ(std::tuple(dialog.Done(), doc.Project().m_Dictionary.GetCount(), doc.UndoStack().count()),
              std::tuple(true, entries + 5000, 1));
    EXPECT_EQ(dialog.EntriesLabel()->text() + " " + dialog.ImportedLabel()->text(), "5000 5000");
    EXPECT_EQ(dialog.StartButton()->text(), "OK");
    dialog.OnStart();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}
