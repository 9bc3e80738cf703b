// Every question whose Yes loses work (replacing a file or a dictionary
// entry, restoring every translation, changing the target language) has No as
// its default button, so Enter never says yes to it; "Save changes?" defaults
// to saving. Each question is asked for real and answered by the test.

#include <gtest/gtest.h>

#include "gui/ScriptedWindow.h"
#include "ui/NewProjectDialog.h"

namespace quillon::gui {
namespace {

// Runs `ask`, which opens one message box, and returns that box's default
// button; the box is answered with its escape button (none when it has no
// default), so nothing is changed. No question asked gives NoButton, which
// no caller expects.
QMessageBox::StandardButton DefaultOfQuestion(const std::function<void()>& ask) {
    QMessageBox::StandardButton found = QMessageBox::NoButton;
    testing::WhenModal<QMessageBox>([&](QMessageBox* box) {
        if (box->defaultButton()) found = box->standardButton(box->defaultButton());
        box->reject();
    });
    ask();
    return found;
}

using testing::SelectLanguage;

TEST(QuestionDefaults, TheWindowsQuestionsAndThoseThatLoseWork) {
    QWidget parent;
    CDialogPrompts prompts(&parent);
    EXPECT_EQ(DefaultOfQuestion([&] { prompts.Confirm(QStringLiteral("Restore every item?")); }), QMessageBox::No);
    EXPECT_EQ(DefaultOfQuestion([&] { prompts.AskSave(QStringLiteral("pad.prj")); }), QMessageBox::Yes);
    // Changing the target language.
    CQuillonDoc doc;
    testing::GermanDoc(doc, "basic32.exe");
    CSettingsDlg settings(doc);
    SelectLanguage(*settings.LanguageList(), QStringLiteral("French"));
    EXPECT_EQ(DefaultOfQuestion([&] { settings.Apply(true); }), QMessageBox::No);
    EXPECT_EQ(doc.Project().m_wTargetLanguage, 0x0407);
    // Replacing a dictionary entry.
    CMenuItem item("Open", 'O', 1, 0);
    CTranslateDlg translate(item, doc);
    EXPECT_EQ(DefaultOfQuestion([&] { translate.m_confirmReplace(); }), QMessageBox::No);
    // Replacing an existing project file.
    testing::TempDir dir;
    ASSERT_TRUE(WriteFileAtomically(dir.File("old.prj"), std::vector<std::uint8_t>{}));
    CNewProjectDlg dialog;
    dialog.ProjectEdit()->setText(QString::fromStdString(dir.File("old.prj")));
    dialog.SetModule(testing::FixturePath("basic32.exe"));
    dialog.TranslatorEdit()->setText(QStringLiteral("Ann"));
    SelectLanguage(*dialog.LanguageList(), QStringLiteral("German"));
    EXPECT_EQ(DefaultOfQuestion([&] { dialog.accept(); }), QMessageBox::No);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

} // namespace
} // namespace quillon::gui
