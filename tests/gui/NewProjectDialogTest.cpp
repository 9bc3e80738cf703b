// The New Project and Settings dialogs on the fixture modules. The test
// program provides the QApplication; every case keeps all fields valid where
// it calls accept(), so no message box opens.

#include <gtest/gtest.h>

#include <algorithm>

#include "pe/ResourceModule.h"
#include "gui/ScriptedWindow.h"
#include "ui/NewProjectDialog.h"

namespace quillon::gui {
namespace {

using namespace quillon::testing;

// Clicks the browse button `button` of `dialog` and answers the file dialog
// it opens with `name` as if typed into its file name field; a file dialog
// that will not close is cancelled so the test cannot hang.
void Browse(QDialog& dialog, const char* button, const QString& name) {
    WhenModal<QFileDialog>([name](QFileDialog* dialog) {
        QTimer::singleShot(2000, dialog, [dialog] { QMetaObject::invokeMethod(dialog, "reject"); });
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
        // selectFile() leaves a focused name field alone, so type into it.
        if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) edit->setText(name);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    dialog.findChild<QPushButton*>(QString::fromLatin1(button))->click();
}

// What the dialog shows of its module: whether a language can be chosen, the
// source language, the version and the problem shown.
QString ModuleShown(const CNewProjectDlg& dialog) {
    const QLabel& problem = *dialog.ProblemLabel();
    return QStringList({dialog.LanguageList()->isEnabled() ? "list" : "no list", dialog.SourceLanguageLabel()->text(),
                        dialog.VersionLabel()->text(), problem.isHidden() ? "" : problem.text()})
        .join(" | ");
}

// The modules are chosen in turn; the last readable one decides what is shown
// and the list offers every language but the module's own, each once, sorted.
TEST(NewProjectDialogTest, SetModuleShowsSourceLanguageVersionAndTheOtherLanguages) {
    struct Case {
        std::vector<const char*> modules;
        const char* shown;
        QString source;
        QString version;
    };
    const Case cases[] = {
        {{"basic32.exe", "multilang.dll"}, "multilang.dll", "German", "3.0.0.0"},
        {{"basic32.exe", "no-such-module.exe"}, "basic32.exe", "English", "1.2.3.4"},
        {{"nores.exe"}, "nores.exe", "", "0.0.0.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.modules.back());
        CNewProjectDlg dialog;
        for (const char* module : c.modules) dialog.SetModule(FixturePath(module));
        QStringList entries;
        for (int i = 0; i < dialog.LanguageList()->count(); ++i) entries << dialog.LanguageList()->itemText(i);
        EXPECT_EQ(dialog.ModulePath(), FixturePath(c.shown));
        EXPECT_EQ(ModuleShown(dialog), QStringLiteral("list | %1 | %2 | ").arg(c.source, c.version));
        for (const char* other : {"English", "German", "Croatian", "Serbian", "French"})
            EXPECT_EQ(entries.count(other), other == c.source ? 0 : 1) << other;
        // Strictly ascending: sorted, and each language once.
        EXPECT_TRUE(std::adjacent_find(entries.begin(), entries.end(), std::greater_equal<>()) == entries.end());
        EXPECT_EQ(dialog.LanguageList()->currentIndex(), -1) << "the user has to choose";
    }
}

// A new dialog starts empty, the language list disabled; Validate names the
// first field still missing.
TEST(NewProjectDialogTest, StartsEmptyAndValidateReportsTheFirstMissingField) {
    CNewProjectDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("New Project"));
    EXPECT_FALSE(dialog.LanguageList()->isEnabled());
    EXPECT_EQ(dialog.LanguageList()->count(), 0);
    EXPECT_TRUE(dialog.findChild<QPushButton*>(QStringLiteral("ok"))->isDefault());
    EXPECT_EQ(dialog.Validate(), QStringLiteral("You need to enter Name for the Project File."));
    dialog.ProjectEdit()->setText(QStringLiteral("/tmp/quillon-never-written"));
    // No module, none of that name, a folder.
    for (const QString& module : {QString(), FixturePath("no-such-module.exe"), QStringLiteral(QUILLON_FIXTURE_DIR)}) {
        dialog.ModuleEdit()->setText(module);
        EXPECT_EQ(dialog.Validate(), "You need to enter a valid Path for the File to Translate.")
            << module.toStdString();
    }
    dialog.SetModule(FixturePath("basic32.exe"));
    EXPECT_EQ(dialog.Validate(), QStringLiteral("You need to enter the Translators Name."));
    dialog.TranslatorEdit()->setText(QStringLiteral("Ann"));
    EXPECT_EQ(dialog.Validate(), QStringLiteral("You need to select the target language."));
    SelectLanguage(*dialog.LanguageList(), QStringLiteral("German"));
    EXPECT_TRUE(dialog.Validate().isEmpty());
}

// Each browse button takes the file dialog's answer; the project and the
// dictionary get their extension. A path typed or pasted into the edit is
// read as soon as it names a file: a module fills the language list; a file
// that is no module (chosen in the file dialog or typed) shows core's reason
// in the dialog, which OK then refuses without closing or losing the input.
TEST(NewProjectDialogTest, BrowsesReadsATypedModuleAndKeepsTheInputForAFileThatIsNoModule) {
    const QTemporaryDir dir;
    CNewProjectDlg dialog;
    dialog.show();
    Browse(dialog, "projectBrowse", dir.filePath(QStringLiteral("chosen")));
    Browse(dialog, "dictionaryBrowse", dir.filePath(QStringLiteral("words")));
    EXPECT_EQ(dialog.DictionaryPath(), dir.filePath(QStringLiteral("words.dic")));
    Browse(dialog, "moduleBrowse", FixturePath("multilang.dll"));
    EXPECT_EQ(ModuleShown(dialog), "list | German | 3.0.0.0 | ");
    dialog.TranslatorEdit()->setText(QStringLiteral("Ann"));
    dialog.ModuleEdit()->clear();
    dialog.ModuleEdit()->setFocus();
    QTest::keyClicks(dialog.ModuleEdit(), FixturePath("basic32.exe"));
    EXPECT_EQ(ModuleShown(dialog), "list | English | 1.2.3.4 | ");

    const QString notModule = FixturePath("corrupt/not-pe.exe");
    const QString reason = QString::fromStdString(ResourceModule::Open(notModule.toStdString()).GetError().Describe());
    dialog.SetModule(notModule); // what the browse button does with the file chosen
    EXPECT_EQ(dialog.ModulePath(), notModule);
    EXPECT_EQ(ModuleShown(dialog), "no list |  |  | " + reason);
    EXPECT_EQ(dialog.Validate(), reason);
    EXPECT_FALSE(PressOk(dialog));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.ProjectPath(), dir.filePath(QStringLiteral("chosen.prj")));
    EXPECT_EQ(dialog.Translator(), QStringLiteral("Ann"));

    // Pasting a module over it brings the list back and clears the reason.
    dialog.ModuleEdit()->selectAll();
    dialog.ModuleEdit()->insert(FixturePath("multilang.dll"));
    EXPECT_EQ(ModuleShown(dialog), "list | German | 3.0.0.0 | ");
    SelectLanguage(*dialog.LanguageList(), QStringLiteral("French"));
    dialog.EMailEdit()->setText(QStringLiteral("ann@example.org"));
    EXPECT_TRUE(PressOk(dialog));
    EXPECT_EQ(dialog.TargetLanguage(), 0x040C); // the language with sub-language 1
    EXPECT_EQ(dialog.EMail(), QStringLiteral("ann@example.org"));
}

// A project of basic32.exe (English, code page 0x04B0 in its translation
// table) translated into German, held by a document as the main window does.
class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        NewProjectSettings settings = testing::SessionSettings(m_dir);
        settings.email = "ann@example.org";
        testing::GermanDoc(m_doc, "basic32.exe", settings);
    }

    QString File(const char* name) const { return QString::fromStdString(m_dir.File(name)); }

    CVersionBlock& Root() { return m_doc.Project().m_ResourceInfo.m_VersionInfo.m_Root; }

    std::string TargetKey(const char* table) {
        CVersionBlock* block = FindVersionPath(Root(), std::string("\\StringFileInfo\\") + table);
        return block ? block->m_strTargetKey : "(no table)";
    }

    testing::TempDir m_dir;
    CQuillonDoc m_doc;
};

// Shows the project; OK stores the translator, the address and the dictionary.
TEST_F(SettingsDialogTest, ShowsTheProjectAndApplyStoresWhatWasTyped) {
    CSettingsDlg dialog(m_doc);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Settings"));
    EXPECT_EQ(QStringList({dialog.ModulePath(), dialog.DictionaryPath(), dialog.Translator(), dialog.EMail(),
                           ModuleShown(dialog), dialog.LanguageList()->currentText()}),
              QStringList({FixturePath("basic32.exe"), File("session.dic"), "Ann", "ann@example.org",
                           "list | English | 1.2.3.4 | ", "German"}));
    // The project file and the module are fixed.
    EXPECT_FALSE(dialog.TranslatorEdit()->isReadOnly());
    for (auto [edit, browse, fixed] : {std::tuple{dialog.ProjectEdit(), "projectBrowse", true},
                                       {dialog.ModuleEdit(), "moduleBrowse", true},
                                       {dialog.DictionaryEdit(), "dictionaryBrowse", false}}) {
        EXPECT_EQ(edit->isReadOnly(), fixed) << browse;
        EXPECT_NE(dialog.findChild<QPushButton*>(QString::fromLatin1(browse))->isEnabled(), fixed) << browse;
    }
    EXPECT_TRUE(dialog.Apply(true)) << "no language change, so nothing to ask";
    EXPECT_FALSE(m_doc.IsModified());
    dialog.TranslatorEdit()->setText(QStringLiteral("Bob"));
    dialog.EMailEdit()->setText(QStringLiteral("bob@example.org"));
    dialog.DictionaryEdit()->setText(File("other.dic"));
    EXPECT_TRUE(PressOk(dialog));
    const CProject& project = m_doc.Project();
    EXPECT_EQ(std::vector<std::string>({project.m_strTranslator, project.m_strEMail, project.m_strDictionaryPath}),
              std::vector<std::string>({"Bob", "bob@example.org", m_dir.File("other.dic")}));
    EXPECT_EQ(project.m_wTargetLanguage, 0x0407);
    EXPECT_TRUE(m_doc.IsModified());
}

// A dictionary file chosen in Settings that exists is opened, not written
// over at the next save; one that cannot be read leaves the project as it is.
TEST_F(SettingsDialogTest, AnExistingDictionaryChosenIsOpenedNotOverwritten) {
    const std::size_t before = m_doc.Project().m_Dictionary.GetCount();
    CDictonary other;
    ASSERT_TRUE(other.AddEntry("Ready", "Fertig", 0, ItemKind::String));
    const std::string otherPath = m_dir.File("other.dic");
    ASSERT_TRUE(other.Save(otherPath));
    const std::string damagedPath = m_dir.File("damaged.dic");
    ASSERT_TRUE(WriteFileAtomically(damagedPath, std::vector<std::uint8_t>{1, 2, 3}));

    CSettingsDlg damaged(m_doc);
    damaged.DictionaryEdit()->setText(QString::fromStdString(damagedPath));
    QString said;
    WhenModal<QMessageBox>([&said](QMessageBox* box) {
        said = box->text();
        box->accept();
    });
    EXPECT_FALSE(damaged.Apply(false));
    EXPECT_TRUE(said.startsWith(QStringLiteral("Cannot read the dictionary"))) << said.toStdString();
    EXPECT_NE(m_doc.Project().m_strDictionaryPath, damagedPath);
    EXPECT_FALSE(m_doc.IsModified());

    CSettingsDlg dialog(m_doc);
    dialog.DictionaryEdit()->setText(QString::fromStdString(otherPath));
    EXPECT_TRUE(dialog.Apply(false));
    EXPECT_EQ(m_doc.Project().m_Dictionary.GetCount(), 1u);
    Status written = m_doc.SaveDocument(File("session.prj"));
    ASSERT_TRUE(written) << written.GetError().Describe();
    CDictonary saved;
    ASSERT_TRUE(saved.Load(otherPath));
    ASSERT_NE(saved.Lookup("Ready"), nullptr);
    m_doc.UndoStack().undo();
    EXPECT_EQ(m_doc.Project().m_Dictionary.GetCount(), before);
    EXPECT_NE(m_doc.Project().m_strDictionaryPath, otherPath);
}

// basic32.exe has an English table, written for the target, and a German
// one of its own, which is no translation. A change of language retargets
// them as a new project's are (core's rules: RetargetVersionTest).
TEST_F(SettingsDialogTest, ALanguageChangeRewritesTheVersionResource) {
    ASSERT_EQ(TargetKey("040904b0") + " " + TargetKey("040704b0"), "040704b0 040704b0");
    CSettingsDlg dialog(m_doc);
    SelectLanguage(*dialog.LanguageList(), QStringLiteral("French"));
    EXPECT_TRUE(dialog.Apply(false));
    EXPECT_EQ(m_doc.Project().m_wTargetLanguage, 0x040C);
    EXPECT_EQ(TargetKey("040904b0") + " " + TargetKey("040704b0"), "040c04b0 040704b0");
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_EQ(CSettingsDlg(m_doc).LanguageList()->currentText(), QStringLiteral("French"));
}

// The target path is a setting like the others, undone as one change; a
// path core refuses (the module) leaves the project as it was.
TEST_F(SettingsDialogTest, TargetPathIsCheckedAndUndoable) {
    const QString target = File("basic-de.exe");
    CSettingsDlg refused(m_doc);
    refused.TargetEdit()->setText(FixturePath("basic32.exe"));
    EXPECT_TRUE(refused.TargetRefusal().contains("module")) << refused.TargetRefusal().toStdString();
    EXPECT_FALSE(refused.Apply(false));
    EXPECT_FALSE(m_doc.IsModified());
    CSettingsDlg dialog(m_doc);
    Browse(dialog, "targetBrowse", target);
    EXPECT_TRUE(dialog.Apply(false));
    EXPECT_EQ(CSettingsDlg(m_doc).TargetPath(), target);
    m_doc.UndoStack().undo();
    EXPECT_EQ(m_doc.Project().m_strTargetPath, "");
}

// A Serbian target is preselected and kept; the dialog shows the module an update brought in.
TEST_F(SettingsDialogTest, SerbianTargetIsKeptAndAnUpdatedModuleShown) {
    // Croatian and Serbian share a primary language; Serbian (Latin) is 0x081A.
    m_doc.Project().m_wTargetLanguage = 0x081A;
    CSettingsDlg dialog(m_doc);
    EXPECT_EQ(dialog.LanguageList()->currentText(), QStringLiteral("Serbian"));
    EXPECT_TRUE(dialog.Apply(false));
    EXPECT_EQ(m_doc.Project().m_wTargetLanguage, 0x081A) << "an unchanged choice keeps the sub-language";
    // basic32.exe is English 1.2.3.4, multilang.dll reads as German 3.0.0.0.
    ASSERT_TRUE(m_doc.UpdateProject(FixturePath("multilang.dll"), nullptr).merged);
    EXPECT_EQ(ModuleShown(CSettingsDlg(m_doc)), "list | German | 3.0.0.0 | ");
}

} // namespace
} // namespace quillon::gui
