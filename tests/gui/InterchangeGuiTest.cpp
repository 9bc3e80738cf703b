// Translations out to XLIFF and PO and back, and pseudo-translation, from
// the main window: each change is one step to undo.

#include <gtest/gtest.h>

#include "gui/ScriptedWindow.h"
#include "model/TreeRoots.h"

using namespace quillon;
using namespace quillon::gui;
using namespace quillon::testing;

namespace {

std::vector<std::string> Translations(CMainFrame& frame) {
    std::vector<std::string> texts;
    WalkItems(frame.Document().Project().m_ResourceInfo, [&](const auto& visit) {
        texts.push_back(visit.item.IsTranslated() ? visit.item.GetTranslation() : std::string());
    });
    return texts;
}

} // namespace

TEST(InterchangeGui, PseudoTranslationsGoOutAndComeBackAsOneStepToUndo) {
    SessionWindow source;
    ASSERT_TRUE(source.Create());
    const std::vector<std::string> untranslated = Translations(source.frame);
    source.frame.OnPseudoTranslate();
    const std::vector<std::string> pseudo = Translations(source.frame);
    ASSERT_NE(pseudo, untranslated);

    for (const char* name : {"out.xlf", "out.po"}) {
        SCOPED_TRACE(name);
        source.prompts->files = {source.File(name)};
        ASSERT_TRUE(source.frame.OnExportTranslations());
        SessionWindow other;
        ASSERT_TRUE(other.Create());
        other.prompts->files = {source.File(name)};
        ASSERT_TRUE(other.frame.OnImportTranslations());
        EXPECT_EQ(Translations(other.frame), pseudo);
        other.frame.Document().UndoStack().undo();
        EXPECT_EQ(Translations(other.frame), untranslated);
    }
    // Over translations of its own the project is asked first.
    const int steps = source.frame.Document().UndoStack().count();
    source.frame.OnPseudoTranslate();
    EXPECT_EQ(source.frame.Document().UndoStack().count(), steps) << "declined";
    EXPECT_TRUE(OneWith(source.prompts->questions, "Pseudo-translation replaces the"));
    source.frame.Document().UndoStack().undo();
    EXPECT_EQ(Translations(source.frame), untranslated);
}
