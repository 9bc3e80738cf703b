#include <gtest/gtest.h>

#include "gui/ScriptedWindow.h"
#include "memory/TranslationMemory.h"
#include "ui/MemoryService.h"
#include "ui/SuggestionList.h"
#include "ui/SuggestionsDock.h"

using namespace quillon;
using namespace quillon::gui;
using namespace quillon::testing;

namespace {

struct UserMemory : OwnUserMemory {
    void Store(std::vector<MemoryUnit> units) const {
        auto memory = TranslationMemory::Open(TranslationMemory::DefaultPath(), MemoryOpen::CreateIfNone);
        ASSERT_TRUE(memory);
        ASSERT_TRUE(memory.Value().Store(units));
    }
    // What the memory holds once `service` wrote what it was fed: "source -> target (module, translator,
    // kind, address)" for each unit.
    QStringList Units(CMemoryService& service) const {
        service.Flush();
        QStringList units;
        auto memory = TranslationMemory::Open(TranslationMemory::DefaultPath(), MemoryOpen::Existing);
        if (memory) (void)memory.Value().ForEach([&](const MemoryUnit& unit) {
            units << QString::fromStdString(unit.source + " -> " + unit.target + " (" + unit.module + ", " +
                                            unit.translator + ", " + unit.kind + ", " + unit.address + ")");
            return true;
        });
        return units;
    }
};

MemoryUnit Unit(std::string source, std::string target) {
    return MemoryUnit{std::move(source), std::move(target), "en", "de", "old.exe", "", "STRING", "Bob", 1765080000};
}

// Each test has a memory of its own and a window on basic32.exe, made once the memory holds what the test stores.
class Suggestions : public ::testing::Test {
protected:
    UserMemory memory;
    SessionWindow window;
    CMainFrame& frame = window.frame;
};

} // namespace

// The dock shows the match for the selected item; Ctrl+1 puts it in with its
// number fitted, as one step of Undo, and the memory learns the translation.
TEST_F(Suggestions, CtrlOneUsesTheFittedMatchAndUndoTakesItBack) {
    memory.Store({Unit("First of block 3", "Erster von Block 3"), Unit("Unrelated text", "Anderes")});
    ASSERT_TRUE(window.Create());
    ASSERT_TRUE(ShowActive(frame));
    EXPECT_TRUE(frame.SuggestionsBar()->isVisible()); // on by default
    CResourceItem& item = At(frame, "strings/16"); // "First of block 2"
    ASSERT_TRUE(frame.SelectItem(&item));
    CSuggestionList* list = frame.SuggestionsBar()->List();
    ASSERT_TRUE(WaitFor([&] { return list->Suggestions().size() == 1; }));
    EXPECT_TRUE(list->toHtml().contains("Erster von Block 3"));
    EXPECT_TRUE(list->toPlainText().contains("old.exe, Bob, 2025-12-07"));

    // Pressed while a translation is typed in the list, it replaces what is typed.
    QTest::keyClick(frame.StringView(), Qt::Key_F2);
    QWidget* editor = QApplication::focusWidget();
    ASSERT_TRUE(editor && frame.StringView()->viewport()->isAncestorOf(editor));
    QTest::keyClicks(editor, "Erst");
    QTest::keyClick(editor, Qt::Key_1, Qt::ControlModifier);
    frame.StringView()->setFocus(); // an editor still open would store "Erst" now
    QCoreApplication::processEvents();
    EXPECT_EQ(item.GetTranslation(), "Erster von Block 2");
    EXPECT_EQ(frame.Document().UndoStack().count(), 1);
    const QStringList units = memory.Units(*frame.Memory());
    EXPECT_TRUE(units.contains("First of block 2 -> Erster von Block 2 (basic32.exe, Ann, STRING, strings/16)"))
        << units.join('\n').toStdString();

    QTest::keyClick(frame.StringView(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(item.IsTranslated());
    EXPECT_EQ(memory.Units(*frame.Memory()), units); // Undo leaves the memory as it is
    // Ctrl+2 without a second match changes nothing.
    QTest::keyClick(frame.StringView(), Qt::Key_2, Qt::ControlModifier);
    EXPECT_FALSE(item.IsTranslated());
}

// After an update, what a changed item held before is offered, scored from
// its old source against the new one. The Translate dialog lists the
// memory's matches too; the keys fill its fields, hotkey included, and OK
// commits and feeds the memory.
TEST_F(Suggestions, APreviousTranslationAndTheMemoryAreOfferedInTheDialogToo) {
    memory.Store({Unit("Deep &items", "Tiefe &Elemente")});
    ASSERT_TRUE(window.Create());
    CResourceItem& changed = At(frame, "strings/16");
    frame.Document().Project().m_ResourceInfo.m_previous["strings/16"] =
        PreviousSource{"First of block 3", "Erster von Block 3"};
    changed.SetCarried(true);
    ASSERT_TRUE(frame.SelectItem(&changed));
    CSuggestionList* list = frame.SuggestionsBar()->List();
    ASSERT_TRUE(WaitFor([&] { return list->Suggestions().size() == 1; }));
    EXPECT_EQ(std::pair(list->Suggestions()[0].previous, list->Suggestions()[0].match.score), std::pair(true, 98));
    ASSERT_TRUE(frame.SuggestionsBar()->Use(0));
    EXPECT_EQ(changed.GetTranslation(), "Erster von Block 2");
    EXPECT_EQ(changed.m_dwState & RIS_CARRIED, 0u);

    CResourceItem& item = At(frame, "menus/100/-1/-1/-1/1005"); // "Deep &item"
    CTranslateDlg dialog(item, frame.Document());
    dialog.ShowSuggestions(*frame.Memory());
    ASSERT_TRUE(ShowActive(dialog));
    ASSERT_TRUE(WaitFor([&] { return dialog.Suggestions()->Suggestions().size() == 1; }));
    QTest::keyClick(dialog.TranslatedEdit(), Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(dialog.NewHotkey(), 'i');
    dialog.accept();
    EXPECT_EQ(item.GetTranslation(), "Tiefe Elemente");
    EXPECT_EQ(item.m_chTransHotkey, 'i');
    const QStringList units = memory.Units(*frame.Memory());
    EXPECT_TRUE(units.contains("Deep &item -> T&iefe Elemente (basic32.exe, Ann, MENUITEM, menus/100/-1/-1/-1/1005)"))
        << units.join('\n').toStdString();
}

// Auto Translate with both memory options: the exact match is translated,
// the fuzzy one marked as changed; Undo takes the run back. The next Auto
// Translate offers the same choices.
TEST_F(Suggestions, AutoTranslateUsesTheMemoryAsTheOptionsSay) {
    memory.Store({Unit("Gap after two", "L\xC3\xBC" "cke nach zwei"), Unit("High blocks", "Hohe Bl\xC3\xB6" "cke")});
    ASSERT_TRUE(window.Create());
    CQuillonDoc& doc = frame.Document();
    window.AutoTranslate([](CAutoTranslateDlg& dialog) {
        dialog.ExactMemoryBox()->setChecked(true);
        dialog.FuzzyMemoryBox()->setChecked(true);
        dialog.FuzzyThresholdBox()->setValue(80);
    });
    CResourceItem& gap = At(frame, "strings/5");
    CResourceItem& high = At(frame, "strings/4095");
    EXPECT_EQ(gap.GetTranslation(), "L\xFC" "cke nach zwei");
    EXPECT_EQ(gap.m_dwState & RIS_CARRIED, 0u);
    EXPECT_EQ(high.GetTranslation(), "Hohe Bl\xF6" "cke");
    EXPECT_NE(high.m_dwState & RIS_CARRIED, 0u);
    doc.UndoStack().undo();
    EXPECT_FALSE(gap.IsTranslated());
    EXPECT_FALSE(high.IsTranslated());
    CAutoTranslateDlg next(doc);
    EXPECT_TRUE(next.ExactMemoryBox()->isChecked() && next.FuzzyMemoryBox()->isChecked());
    EXPECT_EQ(next.FuzzyThresholdBox()->value(), 80);
}

// The Translate dialog names where an item sits by the texts around it.
TEST(TranslateDialogContext, NamesTheDialogOrMenuPathOfTheItem) {
    SessionWindow window;
    ASSERT_TRUE(window.Create());
    const struct {
        const char* path;
        QString context;
    } cases[] = {
        {"menus/100/-1/-1/-1/1005", QString::fromUtf8("In: File › Level2 › Level3")},
        {"menus/100/1200", QString()}, // a command on the bar itself
        {"dialogs/200/201", QStringLiteral("In: Opt&ions")},
        {"dialogs/200", QString()},
    };
    for (const auto& c : cases) {
        CTranslateDlg dialog(At(window.frame, c.path), window.frame.Document());
        QString label = dialog.findChild<QLabel*>(QStringLiteral("itemLabel"))->text();
        EXPECT_TRUE(label.startsWith(QStringLiteral("Address: ") + c.path)) << c.path;
        EXPECT_EQ(label.section('\n', 1), c.context) << c.path;
    }
}
