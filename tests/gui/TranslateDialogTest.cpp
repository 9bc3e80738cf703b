#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>

#include "ui/QuillonDoc.h"
#include "ui/TranslateDialog.h"

using namespace quillon;
using namespace quillon::gui;

TEST(TranslateDialog, OpensWithTheItemsTextsAndChecksTheHotkey) {
    CQuillonDoc doc;
    CMenuItem item("Open", 'O', 1, 0);
    item.SetTranslation("Ouvrir", 'F'); // a translated hotkey that does not occur: refused on opening
    CTranslateDlg dialog(item, doc);
    EXPECT_EQ(dialog.SourceEdit()->toPlainText(), "Open");
    EXPECT_EQ(dialog.SourceHotkeyEdit()->text(), "O");
    EXPECT_EQ(dialog.TranslatedEdit()->toPlainText(), "Ouvrir");
    EXPECT_EQ(dialog.TransHotkeyEdit()->text(), "");
    EXPECT_EQ(dialog.NewHotkey(), 'O'); // starts as the source hotkey
    dialog.TransHotkeyEdit()->setText("v");
    EXPECT_EQ(dialog.NewHotkey(), 'v');
    dialog.TransHotkeyEdit()->setText("z"); // not in the translation: refused
    EXPECT_EQ(dialog.TransHotkeyEdit()->text(), "");
    EXPECT_EQ(dialog.NewHotkey(), 'v');
}

TEST(TranslateDialog, OkStoresTheTranslationUnlessItEqualsTheSource) {
    CQuillonDoc doc;
    CMenuItem item("Open", 'O', 1, 0);
    {
        CTranslateDlg same(item, doc);
        same.TransHotkeyEdit()->setText("p");
        same.accept();
        EXPECT_EQ(same.result(), QDialog::Rejected);
        EXPECT_EQ(item.m_chTransHotkey, 'O');
        EXPECT_FALSE(doc.IsModified());
    }
    CTranslateDlg dialog(item, doc);
    dialog.TranslatedEdit()->setPlainText("Öffnen\nneu");
    dialog.TransHotkeyEdit()->setText("f");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(item.m_strTranslation, "\xD6" "ffnen\\nneu"); // a typed line break becomes the escape
    EXPECT_EQ(item.m_chTransHotkey, 'f');
    EXPECT_TRUE(item.IsTranslated());
    EXPECT_TRUE(doc.IsModified());

    // Without a source hotkey the hotkey field cannot be edited, and OK stores 0.
    CStringEntry string("Ready", 0, 1);
    CTranslateDlg noHotkey(string, doc);
    EXPECT_TRUE(noHotkey.TransHotkeyEdit()->isReadOnly());
    noHotkey.TranslatedEdit()->setPlainText("Bereit");
    noHotkey.accept();
    EXPECT_EQ(string.m_chTransHotkey, 0);
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
    dialog.OnAddToDictonary();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(dictionary.FindEntry("Open", ItemKind::MenuItem)->m_strTranslation, "Ouvrir");
    dialog.OnSearchDictonary();
    EXPECT_EQ(dialog.TranslatedEdit()->toPlainText(), "Ouvrir");
    EXPECT_EQ(dialog.NewHotkey(), 'v');
    EXPECT_EQ(dialog.TransHotkeyEdit()->text(), "v");
    dialog.m_confirmReplace = [] { return true; };
    dialog.TranslatedEdit()->setPlainText("Auf");
    dialog.OnAddToDictonary();
    EXPECT_EQ(dictionary.FindEntry("Open", ItemKind::MenuItem)->m_strTranslation, "Auf");
    EXPECT_EQ(dictionary.Lookup("Open")->m_kind, ItemKind::All); // the all-kinds entry was replaced
    EXPECT_FALSE(item.IsTranslated()); // the item itself only changes with OK
}
