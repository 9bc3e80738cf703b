#include <gtest/gtest.h>

#include <algorithm>

#include "dictionary/AutoTranslator.h"
#include "dictionary/Hotkeys.h"
#include "project/FixtureProject.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

// Records what the run reports; can request a stop when a condition is met.
class Recorder : public IAutoTranslateObserver {
public:
    void SetStatus(std::string_view text) override { statuses.emplace_back(text); }
    void SetCounts(std::int32_t total, std::int32_t done, std::int32_t left) override { counts.push_back({total, done, left}); }
    void ClearCounts() override { ++cleared; }
    void ResetProgress(std::uint32_t maximum) override { maxima.push_back(maximum); }
    void StepProgress() override {
        ++steps;
        if (stopAtStep && steps == stopAtStep) translator->RequestStop();
    }
    void ClearUntranslated() override { untranslated.clear(); }
    void AddUntranslated(const CResourceItem& item) override { untranslated.push_back(item.GetText()); }
    void EnableClose(bool enabled) override { closeEnabled = enabled; }

    CAutoTranslator* translator = nullptr;
    std::uint32_t stopAtStep = 0;
    std::vector<std::string> statuses;
    std::vector<std::array<std::int32_t, 3>> counts;
    std::vector<std::uint32_t> maxima;
    std::vector<std::string> untranslated; // their source texts
    std::uint32_t steps = 0, cleared = 0;
    bool closeEnabled = false;
};

// A small project: a menu whose popup holds two items and a separator, two
// strings, a dialog with one control; seven translatable items.
std::unique_ptr<CProject> SmallProject() {
    auto project = std::make_unique<CProject>();
    project->m_wTargetLanguage = 0x0407;
    CResourceInfo& info = project->m_ResourceInfo;
    auto& menu = info.m_Menus.AddChild(std::make_unique<CMenuEntry>("", 0, 100, 0));
    auto& file = menu.AddChild(std::make_unique<CMenuEntry>("File", 'F', -1, 0x10));
    file.AddChild(std::make_unique<CMenuItem>("Open", 'O', 1, 0));
    file.AddChild(std::make_unique<CMenuItem>("Print", 'P', 2, 0));
    file.AddChild(std::make_unique<CMenuItem>("", 0, 0, 0, RIS_FIXED));
    info.m_Strings.AddChild(std::make_unique<CStringEntry>("Ready", 0, 1));
    info.m_Strings.AddChild(std::make_unique<CStringEntry>("Busy", 0, 2));
    auto& dialog = info.m_Dialogs.AddChild(std::make_unique<CDialogEntry>("Options", 0, 200));
    dialog.AddChild(std::make_unique<CDialogItem>("Name:", 'N', 10));
    info.Recount();
    return project;
}

CAutoTranslator TranslatorOf(CProject& project, IAutoTranslateObserver* observer = nullptr) {
    const auto convention = HotkeyConvention::InText;
    return CAutoTranslator(project.m_ResourceInfo, project.m_Dictionary, project.GetCodePage(), convention, observer);
}

} // namespace

TEST(AutoTranslate, FortyTwoPercentOfSeven) {
    auto project = SmallProject();
    project->m_Dictionary.AddEntry("File", "Datei", 'D', ItemKind::PopupMenu);
    project->m_Dictionary.AddEntry("Print", "Drucken", 0, ItemKind::All);
    project->m_Dictionary.AddEntry("Ready", "Bereit", 0, ItemKind::String);
    project->m_Dictionary.AddEntry("Busy", "Busy", 0, ItemKind::String); // same as the source: stays untranslated
    Recorder recorder;
    AutoTranslateResult result = TranslatorOf(*project, &recorder).Run();
    // How it ended, what it translated, the percentage, the project's count,
    // whether it changed anything and whether Close was enabled at the end.
    EXPECT_EQ(std::tuple(result.ending, result.translated, result.percent, project->m_ResourceInfo.m_nTranslated,
                         result.modified, recorder.closeEnabled),
              std::tuple(AutoTranslateResult::Ending::Completed, 3u, 42u, 3u, true, true));
    EXPECT_EQ(recorder.statuses, (std::vector<std::string>{"Analysing...", "Translating...", "Rebuilding Shortcuts...",
                                                           "Complete 42% translated."}));
    EXPECT_EQ(recorder.maxima, (std::vector<std::uint32_t>{140, 0}));
    // The total of 7 is the project's count of translatable items.
    EXPECT_EQ(recorder.counts, (std::vector<std::array<std::int32_t, 3>>{{7, 0, 7}, {7, 3, 4}}));

    EXPECT_EQ(ItemAt(*project, "menus/100/-1").m_chTransHotkey, 'D');
    // "Print" had no hotkey in the dictionary: 0 after translating, then the hotkey pass gives one.
    EXPECT_EQ(ItemAt(*project, "menus/100/-1/2").m_chTransHotkey, 'D'); // its first letter; File is on another level
    EXPECT_EQ(recorder.untranslated, (std::vector<std::string>{"Open", "Busy", "Options", "Name:"}));
}

// Busy and Print were translated before the run: they count as translated
// and are not listed. The hotkey pass takes Print's letter for Open, and
// undoing the run must give it back.
TEST(AutoTranslate, ItemsTranslatedEarlierCountAndOnlyTheHotkeyPassEditsThem) {
    auto project = SmallProject();
    project->m_ResourceInfo.m_Strings.GetChildren().at(1)->SetTranslation("Beschäftigt", 0);
    auto& print = *project->m_ResourceInfo.m_Menus.GetChildren().at(0)->GetChildren().at(0)->GetChildren().at(1);
    print.SetTranslation("Drucken", 'D');
    project->m_Dictionary.AddEntry("Open", "Datei", 'D', ItemKind::MenuItem);
    Recorder recorder;
    AutoTranslateResult result = TranslatorOf(*project, &recorder).Run();
    EXPECT_EQ(result.translated, 3u);
    EXPECT_EQ(recorder.counts[0], (std::array<std::int32_t, 3>{7, 2, 5})); // the analysis found them
    for (const CResourceItem* item : result.untranslated) EXPECT_TRUE(item->GetText() != "Busy" && item != &print);
    EXPECT_EQ(print.m_chTransHotkey, 'r');
    auto edit = std::find_if(result.edits.begin(), result.edits.end(), [&](const ItemEdit& e) { return e.item == &print; });
    ASSERT_NE(edit, result.edits.end());
    EXPECT_EQ(edit->before.hotkey, 'D');
}

TEST(AutoTranslate, NothingTranslatableEndsAtOnce) {
    CProject project;
    Recorder recorder;
    AutoTranslateResult result = TranslatorOf(project, &recorder).Run();
    EXPECT_EQ(result.ending, AutoTranslateResult::Ending::NothingToTranslate);
    EXPECT_EQ(recorder.statuses, (std::vector<std::string>{"Analysing..."}));
    EXPECT_TRUE(recorder.closeEnabled);
}

// A stop while the menus are translated takes the run back; one in the
// strings keeps what was done and completes.
TEST(AutoTranslate, StopInTheMenusAbortsStopInTheStringsCompletes) {
    // The texts the dictionary has, the step the stop comes at, and how the run ends.
    const struct { std::vector<const char*> sources; std::uint32_t stopAtStep; AutoTranslateResult::Ending ending;
                   const char* status; std::uint32_t translated; } cases[] = {
        {{"Open"}, 2, AutoTranslateResult::Ending::Aborted, "Aborted", 0}, // while the menu's popup is translated
        // Five menu nodes (separator included), then "Ready": "Busy" is left.
        {{"Ready", "Busy"}, 6, AutoTranslateResult::Ending::Completed, "Complete 14% translated.", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        auto project = SmallProject();
        for (const char* source : c.sources) project->m_Dictionary.AddEntry(source, std::string(source) + "-de", 0, ItemKind::All);
        Recorder recorder;
        CAutoTranslator translator = TranslatorOf(*project, &recorder);
        recorder.translator = &translator;
        recorder.stopAtStep = c.stopAtStep;
        EXPECT_EQ(translator.Run().ending, c.ending);
        // The last status and progress maximum, the Close button and the project's count.
        EXPECT_EQ(std::tuple(recorder.statuses.back(), recorder.maxima.back(), recorder.closeEnabled,
                             project->m_ResourceInfo.m_nTranslated),
                  std::tuple(std::string(c.status), 0u, true, c.translated));
    }
}

TEST(AutoTranslate, RealProjectRunTwiceChangesNothingTheSecondTime) {
    auto project = NewProjectOf(Fixture("basic64.exe"));
    for (auto [source, translation, hotkey, kind] :
         {std::tuple{"File", "Datei", 'D', ItemKind::PopupMenu}, {"Edit", "Bearbeiten", 'B', ItemKind::PopupMenu},
          {"Help", "Hilfe", 'H', ItemKind::MenuItem}, {"Open\\tCtrl+O", "Öffnen\\tStrg+O", 'f', ItemKind::MenuItem},
          {"Level2", "Ebene2", 'E', ItemKind::PopupMenu}, {"Hello", "Hallo", '\0', ItemKind::String},
          {"Browse...", "Durchsuchen...", 'D', ItemKind::All}, {"Name:", "Name:", 'N', ItemKind::Control}})
        project->m_Dictionary.AddEntry(source, translation, static_cast<std::uint8_t>(hotkey), kind);
    AutoTranslateResult result = TranslatorOf(*project).Run();
    EXPECT_EQ(result.translated, 7u);
    for (auto [path, hotkey] : {std::pair{"menus/100/-1", 'D'}, {"menus/100/-1#2", 'B'}, {"menus/100/-1/1001", 'f'}})
        EXPECT_EQ(ItemAt(*project, path).m_chTransHotkey, hotkey) << path;

    CResourceInfo after(project->m_ResourceInfo);
    EXPECT_EQ(TranslatorOf(*project).Run().translated, result.translated);
    EXPECT_EQ(project->m_ResourceInfo, after);
}
