// The checks where the translator works: OK in the Translate dialog, the
// Problems dock, and Build Target (the dictionary's Edit dialog: TranslateDialogTest).

#include <gtest/gtest.h>

#include <algorithm>

#include "check/HunspellSpelling.h"
#include "check/ProjectChecks.h"
#include "gui/ScriptedWindow.h"
#include "ui/ContentsModel.h"
#include "ui/ProblemsDock.h"

using namespace quillon;
using namespace quillon::gui;
using namespace quillon::testing;

TEST(ChecksGui, AnErrorIsShownAtOkListedAndStopsTheBuildUntilConfirmed) {
    SessionWindow window;
    ASSERT_TRUE(window.Create());
    CQuillonDoc& doc = window.frame.Document();

    // OK once shows what stands in the way and changes nothing; OK again keeps the text.
    CResourceItem& hello = At(window.frame, "strings/1");
    CTranslateDlg dialog(hello, doc);
    dialog.TranslatedEdit()->setPlainText("Hallo %s");
    EXPECT_FALSE(PressOk(dialog));
    EXPECT_EQ(dialog.RefusalLabel()->text().section('\n', 0, 0), "the translation adds %s");
    EXPECT_FALSE(hello.IsTranslated());
    EXPECT_TRUE(PressOk(dialog));
    EXPECT_TRUE(hello.IsTranslated());

    CProblemsBar& problems = *window.frame.ProblemsBar();
    problems.UntranslatedBox()->setChecked(false);
    problems.Refresh();
    ASSERT_EQ(problems.Findings().size(), 1u);
    EXPECT_EQ(problems.Findings()[0].path, "strings/1");
    EXPECT_EQ(problems.windowTitle(), "Problems (1)");
    emit problems.List()->itemActivated(problems.List()->topLevelItem(0), 0);
    EXPECT_EQ(window.frame.Strings().ItemAt(window.frame.StringView()->currentIndex().row()), &hello);

    const std::string target = window.dir.File("target.exe");
    window.prompts->files = {QString::fromStdString(target), QString::fromStdString(target)};
    window.prompts->confirms = {false, true};
    EXPECT_FALSE(window.frame.OnBuildTarget());
    ASSERT_TRUE(OneWith(window.prompts->questions, "strings/1: the translation adds %s"));
    EXPECT_FALSE(FileExists(target));
    EXPECT_TRUE(window.frame.OnBuildTarget());
    EXPECT_TRUE(FileExists(target));

    // Spelling, when asked for and the German dictionary is installed.
    CTranslateDlg typo(At(window.frame, "strings/15"), doc);
    typo.TranslatedEdit()->setPlainText("Letzter Plaz");
    ASSERT_TRUE(PressOk(typo));
    if (SpellingDictionaries(0x0407, SystemSpellingFolders()).empty()) GTEST_SKIP() << "no German spelling dictionary";
    problems.SpellingBox()->setChecked(true);
    auto spelling = std::find_if(problems.Findings().begin(), problems.Findings().end(),
                                 [](const Finding& finding) { return finding.code == CheckCode::Spelling; });
    ASSERT_NE(spelling, problems.Findings().end());
    EXPECT_EQ(spelling->path, "strings/15"); // the word itself is core's (SpellingTest)
}

// A resource the scan read only in part is marked in the tree, with what the
// scan said; that it skipped something is said when the project is made.
TEST(ChecksGui, TheTreeMarksADialogTheScanReadInPart) {
    SessionWindow window;
    ASSERT_TRUE(window.Create("corrupt/dialog-overrun.exe"));
    EXPECT_TRUE(OneWith(window.prompts->informations, "New Project: "));
    EXPECT_TRUE(Logged(window.frame, "Warning: dialog named", Qt::MatchContains));
    CContentsModel& contents = window.frame.Contents();
    QModelIndex damaged = contents.IndexOf(&At(window.frame, "dialogs/200"));
    QModelIndex whole = contents.IndexOf(&At(window.frame, "dialogs/201"));
    ASSERT_TRUE(damaged.isValid() && whole.isValid());
    EXPECT_TRUE(contents.data(damaged, Qt::ToolTipRole).toString().contains("control 9 of 200 starts past the end"));
    EXPECT_FALSE(contents.data(whole, Qt::ToolTipRole).isValid());
}

TEST(ChecksGui, ADamagedDictionaryIsOpenedWithoutOnlyWhenTheUserAgrees) {
    SessionWindow made;
    ASSERT_TRUE(made.CreateSaved());
    const std::vector<std::uint8_t> damaged{'X', 'Y'};
    ASSERT_TRUE(WriteFileAtomically(made.dir.File("session.dic"), damaged));
    for (bool agree : {false, true}) {
        ScriptedWindow window;
        window.prompts->confirms = {agree};
        EXPECT_EQ(window.frame.OpenProject(made.File("session.prj")), agree);
        ASSERT_TRUE(OneWith(window.prompts->questions, "Open the project without its dictionary?"));
        EXPECT_EQ(window.frame.Document().IsLoaded(), agree);
        // Opened without it, the project saves and leaves the damaged file alone.
        EXPECT_TRUE(!agree || window.frame.OnFileSave());
        EXPECT_EQ(ReadWholeFile(made.dir.File("session.dic")).Value(), damaged);
    }
}
