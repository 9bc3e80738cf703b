#include <gtest/gtest.h>

#include "gui/ScriptedWindow.h"
#include "ui/DictionaryDock.h"

using namespace quillon;
using namespace quillon::gui;
using quillon::testing::PressOk;

// The dialog shows the item's texts; the hotkey starts as the source's and
// takes only a character of the translation. OK stores the translation, or
// on the source itself confirms it ("OK" is "OK" in many languages).
TEST(TranslateDialog, OpensWithTheItemsTextsAndOkStoresOrConfirms) {
    CQuillonDoc doc;
    CMenuItem item("Open", 'O', 1, 0);
    {
        CTranslateDlg same(item, doc);
        EXPECT_EQ(same.SourceEdit()->toPlainText() + " " + same.SourceHotkeyEdit()->text(), "Open O");
        EXPECT_TRUE(same.TranslatedEdit()->toPlainText().isEmpty()); // untranslated: nothing to type over
        same.findChild<QPushButton*>("copySource")->click();
        same.TransHotkeyEdit()->setText("p");
        EXPECT_TRUE(PressOk(same));
        EXPECT_EQ(std::tuple(item.IsTranslated(), item.m_chTransHotkey, doc.UndoStack().undoText()),
                  std::tuple(true, 'p', "Confirm"));
    }
    item.SetTranslation("Ouvrir", 'F'); // a translated hotkey that does not occur: refused on opening
    CTranslateDlg dialog(item, doc);
    EXPECT_EQ(dialog.TranslatedEdit()->toPlainText() + " / " + dialog.TransHotkeyEdit()->text(), "Ouvrir / ");
    EXPECT_EQ(dialog.NewHotkey(), 'O'); // starts as the source hotkey
    dialog.TransHotkeyEdit()->setText("v");
    EXPECT_EQ(dialog.NewHotkey(), 'v');
    dialog.TranslatedEdit()->setPlainText("Öffnen\nneu");
    dialog.TransHotkeyEdit()->setText("f");
    EXPECT_TRUE(PressOk(dialog));
    // A typed line break becomes the escape, in the Windows form where the source has none.
    EXPECT_EQ(std::tuple(item.GetTranslation(), item.m_chTransHotkey, doc.IsModified()),
              std::tuple("\xD6" "ffnen\\r\\nneu", 'f', true));

    // Without a source hotkey the hotkey field cannot be edited, and OK stores 0.
    CStringEntry string("Ready", 0, 1);
    CTranslateDlg noHotkey(string, doc);
    EXPECT_TRUE(noHotkey.TransHotkeyEdit()->isReadOnly());
    noHotkey.TranslatedEdit()->setPlainText("Bereit");
    noHotkey.accept();
    EXPECT_EQ(string.m_chTransHotkey, 0);
}

// Next applies as OK does and asks for the neighbouring item; an untranslated
// item's field left empty changes nothing; Ctrl+Enter is OK.
TEST(TranslateDialog, StepsAndCtrlEnterApplyAsOkDoes) {
    CQuillonDoc doc;
    CStringEntry item("Ready", 0, 32);
    {
        CTranslateDlg untouched(item, doc);
        EXPECT_EQ(untouched.ItemLabel()->text(), "Kind: STRING   ID: 32");
        untouched.findChild<QPushButton*>("nextItem")->click();
        EXPECT_EQ(untouched.result(), CTranslateDlg::StepNext);
        EXPECT_FALSE(doc.IsModified());
    }
    CTranslateDlg dialog(item, doc);
    ASSERT_TRUE(quillon::testing::ShowActive(dialog));
    EXPECT_EQ(QApplication::focusWidget(), dialog.TranslatedEdit());
    QTest::keyClicks(dialog.TranslatedEdit(), "Bereit");
    QTest::keyClick(dialog.TranslatedEdit(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(item.GetTranslation(), "Bereit");
    EXPECT_EQ(doc.UndoStack().undoText(), "Translate");
}

TEST(TranslateDialog, DictionaryAddAsksBeforeReplacingAndSearchFillsTheFields) {
    CQuillonDoc doc;
    CMenuItem item("Open", 'O', 1, 0);
    CDictonary& dictionary = doc.Project().m_Dictionary;
    dictionary.AddEntry("Open", "Ouvrir", 'v', ItemKind::All);
    CTranslateDlg dialog(item, doc);
    int asked = 0;
    dialog.m_confirmReplace = [&] {
        ++asked;
        return false;
    };
    dialog.TranslatedEdit()->setPlainText("Öffnen");
    dialog.OnAddToDictionary(); // the hotkey O is not in the text: refused before anything is asked
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(dialog.RefusalLabel()->text().contains("'O'"));
    dialog.TransHotkeyEdit()->setText("f");
    dialog.OnAddToDictionary();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(dictionary.FindEntry("Open", ItemKind::MenuItem)->m_strTranslation, "Ouvrir");
    dialog.OnSearchDictionary();
    EXPECT_EQ(dialog.TranslatedEdit()->toPlainText(), "Ouvrir");
    EXPECT_EQ(dialog.NewHotkey(), 'v');
    dialog.m_confirmReplace = [] { return true; };
    dialog.TranslatedEdit()->setPlainText("Auf");
    dialog.TransHotkeyEdit()->setText("A");
    dialog.OnAddToDictionary();
    EXPECT_EQ(dictionary.FindEntry("Open", ItemKind::MenuItem)->m_strTranslation, "Auf");
    EXPECT_EQ(dictionary.Lookup("Open")->m_kind, ItemKind::All); // the all-kinds entry was replaced
    EXPECT_FALSE(item.IsTranslated()); // the item itself only changes with OK
}

// The tree holds a line break as the two characters \n; an '&' before its n
// would be lost in the target, so the core refuses n as the hotkey and the
// dialog says so instead of taking it.
TEST(TranslateDialog, AHotkeyOnlyInsideAnEscapeIsRefusedInWords) {
    CQuillonDoc doc;
    CMenuItem item("Line break", 'L', 1, 0);
    CTranslateDlg dialog(item, doc);
    dialog.TranslatedEdit()->setPlainText("Zeile\nUmbruch");
    dialog.TransHotkeyEdit()->setText("n");
    EXPECT_EQ(dialog.TransHotkeyEdit()->text(), "");
    EXPECT_TRUE(dialog.RefusalLabel()->text().startsWith("The hotkey 'n' does not occur"));
    // OK asks again: the source hotkey L is not in the translation either.
    EXPECT_FALSE(PressOk(dialog));
    EXPECT_TRUE(dialog.RefusalLabel()->text().startsWith("The hotkey 'L'"));
    EXPECT_FALSE(doc.IsModified());
    dialog.TransHotkeyEdit()->setText("U");
    EXPECT_TRUE(dialog.RefusalLabel()->text().isEmpty());
    EXPECT_TRUE(PressOk(dialog));
    EXPECT_EQ(item.m_chTransHotkey, 'U');
}

// The dictionary's Edit dialog asks the same core checks before OK closes
// it: a finding is shown at the first OK and kept at the second, a refusal
// is never kept.
TEST(DictionaryEntryDialog, RefusesWhatTheCoreRefusesAndSaysWhy) {
    CDictonaryEntry string("Datei %1", 0, ItemKind::String);
    CDictionaryEntryDlg lost("File %1", string, CodePage(1252));
    lost.TranslationEdit()->setText("Datei");
    EXPECT_FALSE(PressOk(lost));
    EXPECT_TRUE(lost.RefusalLabel()->text().contains("the translation lost %1"));
    EXPECT_TRUE(PressOk(lost));
    EXPECT_EQ(lost.Translation(), "Datei");

    CDictonaryEntry entry("Zeilenumbruch", 'u', ItemKind::MenuItem);
    CDictionaryEntryDlg dialog("Line break", entry, CodePage(1252));
    dialog.TranslationEdit()->setText("Zeile\\nUmbruch");
    dialog.HotkeyEdit()->setText("n");
    EXPECT_FALSE(PressOk(dialog));
    EXPECT_TRUE(dialog.RefusalLabel()->text().startsWith("The hotkey 'n' does not occur"));
    dialog.HotkeyEdit()->setText("U");
    EXPECT_TRUE(PressOk(dialog));
    EXPECT_EQ(dialog.Hotkey(), 'U');
    EXPECT_EQ(entry.m_strTranslation, "Zeilenumbruch"); // the caller applies the edit

    // A character of two bytes in the code page can be no hotkey.
    CDictionaryEntryDlg japanese("Open", entry, CodePage(932));
    japanese.TranslationEdit()->setText(QString::fromUtf8("\u958B\u304F"));
    japanese.HotkeyEdit()->setText(QString::fromUtf8("\u958B"));
    EXPECT_FALSE(PressOk(japanese));
    EXPECT_TRUE(japanese.RefusalLabel()->text().startsWith("A hotkey is one character"));
}
