#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "Fixtures.h"
#include "dictionary/AutoTranslator.h"
#include "dictionary/Hotkeys.h"
#include "project/NewProject.h"
#include "project/Project.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

// Records what the run reports; can request a stop when a condition is met.
class Recorder : public IAutoTranslateObserver {
public:
    void SetStatus(std::string_view text) override { statuses.emplace_back(text); }
    void SetCounts(std::int32_t total, std::int32_t translated, std::int32_t notTranslated) override {
        counts.push_back({total, translated, notTranslated});
    }
    void ClearCounts() override { ++cleared; }
    void ResetProgress(std::uint32_t maximum) override { maxima.push_back(maximum); }
    void StepProgress() override {
        ++steps;
        if (stopAtStep && steps == stopAtStep) translator->RequestStop();
    }
    void ClearUntranslated() override { untranslated.clear(); }
    void AddUntranslated(const CResourceItem& item) override { untranslated.push_back(&item); }
    void EnableClose(bool enabled) override { closeEnabled = enabled; }

    CAutoTranslator* translator = nullptr;
    std::uint32_t stopAtStep = 0;
    std::vector<std::string> statuses;
    std::vector<std::array<std::int32_t, 3>> counts;
    std::vector<std::uint32_t> maxima;
    std::vector<const CResourceItem*> untranslated;
    std::uint32_t steps = 0;
    int cleared = 0;
    bool closeEnabled = false;
};

CMenuItem& AddItem(CResourceItem& parent, const std::string& text, char hotkey, std::int32_t id) {
    return static_cast<CMenuItem&>(parent.AddChild(std::make_unique<CMenuItem>(text, hotkey, id, 0)));
}

// A small project: one menu with a popup of three items, three strings, one
// dialog with two controls. Seven translatable items with the popup and the
// dialog caption... counted below.
std::unique_ptr<CProject> SmallProject() {
    auto project = std::make_unique<CProject>();
    project->m_wTargetLanguage = 0x0407;
    CResourceInfo& info = project->m_ResourceInfo;
    auto& menu = info.m_Menus.AddChild(std::make_unique<CMenuEntry>("", 0, 100, 0));
    auto& file = menu.AddChild(std::make_unique<CMenuEntry>("File", 'F', -1, 0x10));
    AddItem(file, "Open", 'O', 1);
    AddItem(file, "Print", 'P', 2);
    file.AddChild(std::make_unique<CMenuItem>("", 0, 0, 0, RIS_FIXED));
    info.m_Strings.AddChild(std::make_unique<CStringEntry>("Ready", 0, 1));
    info.m_Strings.AddChild(std::make_unique<CStringEntry>("Busy", 0, 2));
    auto& dialog = info.m_Dialogs.AddChild(std::make_unique<CDialogEntry>("Options", 0, 200));
    dialog.AddChild(std::make_unique<CDialogItem>("Name:", 'N', 10));
    info.Recount();
    return project;
}

} // namespace

TEST(Hotkeys, SiblingsDateiAndDruckenShareNoLetter) {
    CodePage page(1252);
    CMenuEntry parent;
    auto& datei = AddItem(parent, "File", 'F', 1);
    auto& drucken = AddItem(parent, "Print", 'P', 2);
    datei.SetTranslation("Datei", 'D');
    drucken.SetTranslation("Drucken", 'D');
    UsedHotkeys used;
    AssignHotkey(datei, used, page);
    AssignHotkey(drucken, used, page);
    EXPECT_EQ(datei.m_chTransHotkey, 'D');
    EXPECT_EQ(drucken.m_chTransHotkey, 'r');
    EXPECT_EQ(used, (UsedHotkeys{'D', 'R'}));
}

TEST(Hotkeys, ChoiceFallsBackThroughCasesToTheFirstLetter) {
    CodePage page(1252);
    CMenuItem ouvrir("Open", 'F', 1, 0);
    ouvrir.SetTranslation("Ouvrir", 'F');
    EXPECT_EQ(ChooseHotkey(ouvrir, page), 'O');
    CMenuItem digits("Exit", 'x', 2, 0);
    digits.SetTranslation("123", 'x');
    EXPECT_EQ(ChooseHotkey(digits, page), 'X');
    UsedHotkeys used;
    AssignHotkey(digits, used, page);
    EXPECT_EQ(digits.m_chTransHotkey, 'X'); // free on the level, though not in the text
    CMenuItem lower("Save", 's', 3, 0);
    lower.SetTranslation("Sichern", 's');
    EXPECT_EQ(ChooseHotkey(lower, page), 'S'); // the other case of the translated hotkey
    CMenuItem file("Open", 'O', 4, 0);
    file.SetTranslation("Fichier", 'C');
    EXPECT_EQ(ChooseHotkey(file, page), 'c'); // the translated hotkey's other case comes before the source's
}

TEST(Hotkeys, AllCharactersUsedGivesNoHotkeyAndBlocksNothing) {
    CodePage page(1252);
    UsedHotkeys used{'A', 'B'};
    CMenuItem item("Cut", 'C', 1, 0);
    item.SetTranslation("ab", 'a');
    AssignHotkey(item, used, page);
    EXPECT_EQ(item.m_chTransHotkey, 0);
    EXPECT_EQ(used, (UsedHotkeys{'A', 'B'}));
}

TEST(Hotkeys, NeverInsideMultiByteCharactersOrEscapes) {
    CodePage japanese(932);
    CMenuItem item("File", 'F', 1, 0);
    std::string translation = japanese.FromUtf16(u"ファイル");
    item.SetTranslation(translation, 'F');
    UsedHotkeys used;
    AssignHotkey(item, used, japanese);
    // No single-byte character in the text: 'f' (other case of F) is chosen
    // though absent, and no byte of the Japanese text is ever taken.
    EXPECT_EQ(item.m_chTransHotkey, 'f');
    UsedHotkeys full{'F'};
    AssignHotkey(item, full, japanese);
    EXPECT_EQ(item.m_chTransHotkey, 0);

    CodePage western(1252);
    CMenuItem escaped("Next", 'N', 2, 0);
    escaped.SetTranslation("\\nWeiter", 'N');
    UsedHotkeys taken{'N', 'W'};
    AssignHotkey(escaped, taken, western);
    EXPECT_EQ(escaped.m_chTransHotkey, 'e'); // not the n of the escape
    EXPECT_FALSE(HotkeyOccursIn("\\nab", 'n', western));
}

TEST(AutoTranslate, FortyTwoPercentOfSeven) {
    auto project = SmallProject();
    ASSERT_EQ(project->m_ResourceInfo.m_nTranslatable, 7u);
    project->m_Dictionary.AddEntry("File", "Datei", 'D', ItemKind::PopupMenu);
    project->m_Dictionary.AddEntry("Print", "Drucken", 0, ItemKind::All);
    project->m_Dictionary.AddEntry("Ready", "Bereit", 0, ItemKind::String);
    project->m_Dictionary.AddEntry("Busy", "Busy", 0, ItemKind::String); // same as the source: stays untranslated
    Recorder recorder;
    CAutoTranslator translator(project->m_ResourceInfo, project->m_Dictionary, project->GetCodePage(), &recorder);
    AutoTranslateResult result = translator.Run();
    EXPECT_EQ(result.ending, AutoTranslateResult::Ending::Completed);
    EXPECT_EQ(result.translated, 3u);
    EXPECT_EQ(result.percent, 42u);
    EXPECT_EQ(project->m_ResourceInfo.m_nTranslated, 3u);
    EXPECT_EQ(recorder.statuses, (std::vector<std::string>{"Analysing...", "Translating...", "Rebuilding Shortcuts...",
                                                           "Complete 42% translated."}));
    EXPECT_EQ(recorder.maxima, (std::vector<std::uint32_t>{140, 0}));
    ASSERT_EQ(recorder.counts.size(), 2u);
    EXPECT_EQ(recorder.counts[1], (std::array<std::int32_t, 3>{7, 3, 4}));
    EXPECT_TRUE(recorder.closeEnabled);
    EXPECT_TRUE(result.modified);

    const CResourceItem& file = *project->m_ResourceInfo.m_Menus.GetChildren()[0]->GetChildren()[0];
    EXPECT_EQ(file.m_chTransHotkey, 'D');
    // "Print" had no hotkey in the dictionary: 0 after translating, then the hotkey pass gives one.
    EXPECT_EQ(file.GetChildren()[1]->m_chTransHotkey, 'D'); // its first letter; File is on another level
    std::vector<std::string> listed;
    for (const CResourceItem* item : recorder.untranslated) listed.push_back(item->m_strText);
    EXPECT_EQ(listed, (std::vector<std::string>{"Open", "Busy", "Options", "Name:"}));
}

TEST(AutoTranslate, ItemsTranslatedEarlierCountAndAreNotListed) {
    auto project = SmallProject();
    project->m_ResourceInfo.m_Strings.GetChildren()[1]->SetTranslation("Beschäftigt", 0);
    Recorder recorder;
    CAutoTranslator translator(project->m_ResourceInfo, project->m_Dictionary, project->GetCodePage(), &recorder);
    AutoTranslateResult result = translator.Run();
    EXPECT_EQ(result.translated, 1u);
    EXPECT_EQ(recorder.counts[0], (std::array<std::int32_t, 3>{7, 1, 6})); // the analysis found it
    for (const CResourceItem* item : result.untranslated) EXPECT_NE(item->m_strText, "Busy");
}

// Print was translated before the run; the hotkey pass takes its letter for
// Open, and undoing the run must give it back.
TEST(AutoTranslate, EditsIncludeItemsOnlyTheHotkeyPassChanged) {
    auto project = SmallProject();
    auto& print = *project->m_ResourceInfo.m_Menus.GetChildren()[0]->GetChildren()[0]->GetChildren()[1];
    print.SetTranslation("Drucken", 'D');
    project->m_Dictionary.AddEntry("Open", "Datei", 'D', ItemKind::MenuItem);
    AutoTranslateResult result =
        CAutoTranslator(project->m_ResourceInfo, project->m_Dictionary, project->GetCodePage()).Run();
    EXPECT_EQ(print.m_chTransHotkey, 'r');
    auto edit = std::find_if(result.edits.begin(), result.edits.end(), [&](const ItemEdit& e) { return e.item == &print; });
    ASSERT_NE(edit, result.edits.end());
    EXPECT_EQ(edit->before.hotkey, 'D');
}

TEST(AutoTranslate, NothingTranslatableEndsAtOnce) {
    CProject project;
    Recorder recorder;
    CAutoTranslator translator(project.m_ResourceInfo, project.m_Dictionary, project.GetCodePage(), &recorder);
    AutoTranslateResult result = translator.Run();
    EXPECT_EQ(result.ending, AutoTranslateResult::Ending::NothingToTranslate);
    EXPECT_EQ(recorder.statuses, (std::vector<std::string>{"Analysing..."}));
    EXPECT_TRUE(recorder.closeEnabled);
}

TEST(AutoTranslate, StopInTheMenusAbortsStopInTheStringsCompletes) {
    {
        auto project = SmallProject();
        project->m_Dictionary.AddEntry("Open", "Öffnen", 0, ItemKind::All);
        Recorder recorder;
        CAutoTranslator translator(project->m_ResourceInfo, project->m_Dictionary, project->GetCodePage(), &recorder);
        recorder.translator = &translator;
        recorder.stopAtStep = 2; // while the menu's popup is translated
        AutoTranslateResult result = translator.Run();
        EXPECT_EQ(result.ending, AutoTranslateResult::Ending::Aborted);
        EXPECT_EQ(recorder.statuses.back(), "Aborted");
        EXPECT_EQ(recorder.maxima.back(), 0u);
        EXPECT_TRUE(recorder.closeEnabled);
        EXPECT_EQ(project->m_ResourceInfo.m_nTranslated, 0u);
    }
    {
        auto project = SmallProject();
        project->m_Dictionary.AddEntry("Ready", "Bereit", 0, ItemKind::All);
        project->m_Dictionary.AddEntry("Busy", "Belegt", 0, ItemKind::All);
        Recorder recorder;
        CAutoTranslator translator(project->m_ResourceInfo, project->m_Dictionary, project->GetCodePage(), &recorder);
        recorder.translator = &translator;
        recorder.stopAtStep = 6; // five menu nodes (separator included), then "Ready"
        AutoTranslateResult result = translator.Run();
        EXPECT_EQ(result.ending, AutoTranslateResult::Ending::Completed);
        EXPECT_EQ(recorder.statuses.back(), "Complete 14% translated.");
        EXPECT_EQ(result.translated, 1u);
        EXPECT_FALSE(project->m_ResourceInfo.m_Strings.GetChildren()[1]->IsTranslated());
    }
}

TEST(AutoTranslate, RealProjectRunTwiceChangesNothingTheSecondTime) {
    NewProjectSettings settings;
    settings.modulePath = Fixture("basic64.exe");
    settings.targetLanguage = 0x0407;
    auto project = std::move(CreateProject(settings)).Value();
    CDictonary& dictionary = project->m_Dictionary;
    dictionary.AddEntry("File", "Datei", 'D', ItemKind::PopupMenu);
    dictionary.AddEntry("Edit", "Bearbeiten", 'B', ItemKind::PopupMenu);
    dictionary.AddEntry("Help", "Hilfe", 'H', ItemKind::MenuItem);
    dictionary.AddEntry("Open\\tCtrl+O", "Öffnen\\tStrg+O", 'f', ItemKind::MenuItem);
    dictionary.AddEntry("Level2", "Ebene2", 'E', ItemKind::PopupMenu);
    dictionary.AddEntry("Hello", "Hallo", 0, ItemKind::String);
    dictionary.AddEntry("Browse...", "Durchsuchen...", 'D', ItemKind::All);
    dictionary.AddEntry("Name:", "Name:", 'N', ItemKind::Control);
    CAutoTranslator first(project->m_ResourceInfo, project->m_Dictionary, project->GetCodePage());
    AutoTranslateResult result = first.Run();
    EXPECT_EQ(result.translated, 7u);
    const CResourceItem& top = *project->m_ResourceInfo.m_Menus.GetChildren()[0];
    EXPECT_EQ(top.GetChildren()[0]->m_chTransHotkey, 'D');
    EXPECT_EQ(top.GetChildren()[1]->m_chTransHotkey, 'B');
    EXPECT_EQ(top.GetChildren()[0]->GetChildren()[0]->m_chTransHotkey, 'f');
    const CResourceItem& dialog = *project->m_ResourceInfo.m_Dialogs.GetChildren()[0];
    EXPECT_EQ(dialog.GetChildren()[2]->m_strTranslation, "Durchsuchen...");
    EXPECT_FALSE(dialog.GetChildren()[0]->IsTranslated());

    CResourceInfo after(project->m_ResourceInfo);
    CAutoTranslator second(project->m_ResourceInfo, project->m_Dictionary, project->GetCodePage());
    AutoTranslateResult again = second.Run();
    EXPECT_EQ(again.translated, result.translated);
    EXPECT_EQ(project->m_ResourceInfo, after);
}
