#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "Fixtures.h"
#include "ui/AutoTranslateDlg.h"
#include "ui/ImportGlossaryDlg.h"
#include "controls/LayoutDialog.h"
#include "project/NewProject.h"
#include "ui/QuillonDoc.h"

using namespace quillon;
using namespace quillon::gui;
using namespace quillon::testing;

namespace {

void LoadFixture(CQuillonDoc& doc, const std::string& module = "basic64.exe") {
    NewProjectSettings settings;
    settings.modulePath = Fixture(module);
    settings.targetLanguage = 0x0407;
    auto project = CreateProject(settings);
    ASSERT_TRUE(project);
    doc.Project() = std::move(*project.Value());
}

void Finish(CAutoTranslateDlg& dialog) {
    dialog.WaitForWorker();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

} // namespace

TEST(AutoTranslateDialog, RunsOnItsWorkerAndReportsInTheWindow) {
    CQuillonDoc doc;
    LoadFixture(doc);
    doc.Project().m_Dictionary.AddEntry("File", "Datei", 'D', ItemKind::PopupMenu);
    doc.Project().m_Dictionary.AddEntry("Hello", "Hallo", 0, ItemKind::String);
    CAutoTranslateDlg dialog(doc);
    EXPECT_EQ(dialog.StartButton()->text(), "Start");
    EXPECT_TRUE(dialog.CloseButton()->isEnabled());
    dialog.StartButton()->click();
    Finish(dialog);
    EXPECT_FALSE(dialog.IsRunning());
    EXPECT_EQ(dialog.StartButton()->text(), "Start");
    EXPECT_TRUE(dialog.CloseButton()->isEnabled());
    EXPECT_EQ(dialog.StatusLabel()->text(), "Complete 6% translated.");
    EXPECT_EQ(dialog.TotalLabel()->text(), "33");
    EXPECT_EQ(dialog.TranslatedLabel()->text(), "2");
    EXPECT_EQ(dialog.NotTranslatedLabel()->text(), "31");
    EXPECT_EQ(dialog.List().rowCount(), 31);
    EXPECT_EQ(dialog.ProgressBar()->maximum(), 0);
    EXPECT_TRUE(dialog.LastResult().modified); // the window marks the document from it
    EXPECT_EQ(dialog.LastResult().translated, 2u);
    // A second run in the same dialog starts over.
    dialog.StartButton()->click();
    Finish(dialog);
    EXPECT_EQ(dialog.List().rowCount(), 31);
}

TEST(AutoTranslateDialog, StopBeforeTheWorkerSeesItAndStartAgain) {
    CQuillonDoc doc;
    LoadFixture(doc);
    CAutoTranslateDlg dialog(doc);
    // Start, Stop and Start in quick succession never start a second worker
    // while one is alive, and the dialog always ends stopped.
    for (int i = 0; i < 20; ++i) {
        dialog.StartButton()->click();
        dialog.StartButton()->click();
        dialog.StartButton()->click();
        Finish(dialog);
        EXPECT_FALSE(dialog.IsRunning());
        EXPECT_FALSE(dialog.IsThreadAlive());
        EXPECT_EQ(dialog.StartButton()->text(), "Start");
        EXPECT_TRUE(dialog.CloseButton()->isEnabled());
    }
}

TEST(AutoTranslateDialog, EscapeDoesNotCloseAndTheDialogOutlivesItsWorker) {
    CQuillonDoc doc;
    LoadFixture(doc);
    {
        CAutoTranslateDlg dialog(doc);
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_TRUE(dialog.isVisible());
        dialog.StartButton()->click(); // destroyed while the worker may still run
    }
    SUCCEED();
}

TEST(LayoutDialog, AnchorsFollowTheRules) {
    CLayoutDialog dialog;
    dialog.resize(300, 200);
    auto* fixed = new QWidget(&dialog);
    fixed->setGeometry(10, 10, 50, 20);
    auto* stretch = new QWidget(&dialog);
    stretch->setGeometry(10, 40, 100, 20);
    auto* move = new QWidget(&dialog);
    move->setGeometry(200, 160, 80, 30);
    auto* centred = new QWidget(&dialog);
    centred->setGeometry(125, 80, 50, 20);
    dialog.AddAnchor(fixed, CLayoutDialog::Fixed, CLayoutDialog::Fixed);
    dialog.AddAnchor(stretch, CLayoutDialog::Stretch, CLayoutDialog::Fixed);
    dialog.AddAnchor(move, CLayoutDialog::Move, CLayoutDialog::Move);
    dialog.AddAnchor(centred, CLayoutDialog::Center, CLayoutDialog::Fixed);
    dialog.show();
    dialog.resize(400, 260);
    EXPECT_EQ(fixed->geometry(), QRect(10, 10, 50, 20));
    EXPECT_EQ(stretch->geometry(), QRect(10, 40, 200, 20));
    EXPECT_EQ(move->geometry(), QRect(300, 220, 80, 30));
    EXPECT_EQ(centred->geometry(), QRect(175, 80, 50, 20));
    EXPECT_EQ(dialog.minimumSize(), QSize(300, 200));
}

TEST(ImportGlossaryDialog, StartImportsThenTheButtonCloses) {
    CQuillonDoc doc;
    LoadFixture(doc);
    CImportGlossaryDlg dialog(doc, GlossaryFormat::Text);
    EXPECT_FALSE(dialog.StartButton()->isEnabled());
    dialog.SetPath(QString(QUILLON_DATA_DIR) + "/../../samples/quillpad-de.txt");
    EXPECT_TRUE(dialog.StartButton()->isEnabled());
    dialog.OnStart();
    EXPECT_TRUE(dialog.Done());
    EXPECT_EQ(dialog.StartButton()->text(), "OK");
    EXPECT_EQ(dialog.EntriesLabel()->text(), "55");
    EXPECT_EQ(dialog.ImportedLabel()->text(), QString::number(dialog.Report().imported));
    EXPECT_GT(doc.Project().m_Dictionary.GetCount(), 50u);
    dialog.OnStart();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}
