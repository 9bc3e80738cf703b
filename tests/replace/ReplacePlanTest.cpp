// Find and Replace in translations: what each kind of search finds, what the
// translation becomes in the tree's form, and what the rows' checks show,
// on the sample module's German project.

#include <gtest/gtest.h>

#include <algorithm>

#include "interchange/InterchangeProjects.h"
#include "model/ItemPath.h"
#include "replace/ReplacePlan.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

constexpr FindOptions kPlain{};
constexpr FindOptions kCase{.matchCase = true};
constexpr FindOptions kWord{.wholeWord = true};
constexpr FindOptions kRegex{.regularExpression = true};

void Translate(CProject& project, CResourceItem& item, const std::string& utf8, char hotkey) {
    CodePage codePage(project.GetCodePage());
    Assign(item, PlanTranslation(item, codePage.FromUtf8(utf8), std::uint8_t(hotkey)).after);
}

} // namespace

// Texts are in the tree's form (escapes as the list shows them), UTF-8 here.
TEST(ReplacePlan, FindsAndReplacesAsEachOptionSays) {
    // The item's translation and hotkey, what is replaced with what, and the row: the translation after (nullptr:
    // no row), the outcome, the hotkey after and a check code it shows (nullptr: none, "*": any).
    struct { const char *path, *translation; char hotkey; const char *find, *with; FindOptions options;
             const char* after; ReplaceOutcome outcome = ReplaceOutcome::Replaced; char hotkeyAfter = 0;
             const char* finding = nullptr; } cases[] = {
        {"strings/3", "%1 - Federblock", 0, "feder", "Schreib", kPlain, "%1 - Schreibblock"},
        {"strings/3", "%1 - Federblock", 0, "feder", "Schreib", kCase, nullptr},
        {"strings/1", "ÖFFNEN oder öffnen", 0, "öffnen", "laden", kPlain, "laden oder laden"},
        {"strings/1", "Block im Federblock", 0, "block", "Heft", kWord, "Heft im Federblock"},
        {"strings/1", "Öffnen", 0, "ffnen", "x", kWord, nullptr}, // Ö is a letter of the word
        {"strings/15", "Seite %1 von %2", 0, R"((%\d) von (%\d))", "$2 / $1 ($$)", kRegex, "Seite %2 / %1 ($)"},
        // Matches never overlap; empty ones come once at each place.
        {"strings/1", "aaa", 0, "aa", "b", kPlain, "ba"},
        {"strings/1", "ab", 0, "x*", "-", kRegex, "-a-b-"},
        // An empty replacement removes the match; a placeholder lost shows.
        {"strings/4", "Änderungen an %1 speichern?", 0, " an %1", "", kPlain, "Änderungen speichern?",
         ReplaceOutcome::Replaced, 0, "placeholder-missing"},
        {"strings/1", "Fertig", 0, "Fertig", "", kPlain, "", ReplaceOutcome::Emptied},
        {"strings/1", "Fertig", 0, "Fertig", "Ωmega", kPlain, "?mega", ReplaceOutcome::Unencodable},
        // Escapes: matched as the characters they stand for, never split.
        {"strings/8", R"(%1 gibt es.\r\nÜberschreiben?)", 0, "n", "m", kPlain, R"(%1 gibt es.\r\nÜberschreibem?)"},
        {"strings/8", R"(%1 gibt es.\r\nÜberschreiben?)", 0, R"(\r\n)", " ", kPlain, "%1 gibt es. Überschreiben?",
         ReplaceOutcome::Replaced, 0, "*"},
        {"strings/8", R"(%1 a\r\nb\r\nc)", 0, R"(\r\n)", R"(\n)", kRegex, R"(%1 a\nb\nc)", ReplaceOutcome::Replaced,
         0, "line-breaks"},
        {"strings/1", R"(C:\\temp\\neu)", 0, R"(\\)", "/", kPlain, "C:/temp/neu"},
        {"strings/1", R"(C:\\temp\\neu)", 0, "t", R"(\t)", kPlain, R"(C:\\\temp\\neu)"},
        {"strings/1", R"(C:\\temp)", 0, R"(\\(\w+))", R"(\\[$1])", kRegex, R"(C:\\[temp])"},
        // The hotkey stays where its character does; else the check says it went.
        {"menus/100/-1/1002", R"(Öffnen...\tStrg+O)", 'f', "Öffnen", "Öffne", kPlain, R"(Öffne...\tStrg+O)",
         ReplaceOutcome::Replaced, 'f'},
        {"menus/100/-1/1002", R"(Öffnen...\tStrg+O)", 'f', "Öffnen", "Laden", kPlain, R"(Laden...\tStrg+O)",
         ReplaceOutcome::Replaced, 0, "hotkey-dropped"},
        {"menus/100/-1/1002", R"(Öffnen...\tStrg+O)", 'f', "Öffnen", "Open", kPlain, R"(Open...\tStrg+O)",
         ReplaceOutcome::Replaced, 'O'},
        {"menus/100/-1/1002", "Oeffnen...", 'O', "Oeffnen", "oeffnen", kCase, "oeffnen...", ReplaceOutcome::Replaced, 'o'},
        // A kept hotkey that another entry of the popup has now: New (N).
        {"menus/100/-1/1002", "Öffnen", 'n', "Öff", "Sp", kPlain, "Spnen", ReplaceOutcome::Replaced, 'n',
         "hotkey-duplicate"},
    };
    auto project = NewProjectOf(SamplePath("quillpad.exe"));
    CodePage codePage(project->GetCodePage());
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.translation) + " / " + c.find + " -> " + c.with);
        CResourceItem& item = ItemAt(*project, c.path);
        Translate(*project, item, c.translation, c.hotkey);
        auto matcher = TextMatcher::Compile(c.find, c.with, c.options);
        ASSERT_TRUE(matcher) << matcher.GetError().message;
        std::vector<ReplaceRow> rows = PlanReplace(*project, matcher.Value(), &item);
        if (!c.after) {
            EXPECT_TRUE(rows.empty());
            continue;
        }
        ASSERT_EQ(rows.size(), 1u);
        const ReplaceRow& row = rows[0];
        // The row's path, translation before and after, and outcome.
        EXPECT_EQ(std::tuple(row.path, codePage.ToUtf8(row.Before()), codePage.ToUtf8(row.After()), row.outcome),
                  std::tuple(c.path, c.translation, c.after, c.outcome));
        EXPECT_EQ(row.chosen, c.outcome == ReplaceOutcome::Replaced);
        if (c.outcome != ReplaceOutcome::Replaced) continue;
        EXPECT_EQ(row.edit.after.text, row.After());
        EXPECT_EQ(row.edit.after.hotkey, std::uint8_t(c.hotkeyAfter));
        if (!c.finding) {
            EXPECT_TRUE(row.findings.empty()) << row.findings.front().message;
        } else if (std::string_view(c.finding) != "*") {
            EXPECT_TRUE(std::ranges::any_of(row.findings,
                                            [&](const Finding& f) { return InfoOf(f.code).name == c.finding; }));
        }
        for (const Finding& finding : row.findings) // names the other item by its address
            EXPECT_TRUE(finding.code != CheckCode::HotkeyDuplicate || finding.message.ends_with("(menus/100/-1/1001)"))
                << finding.message;
    }
}

TEST(ReplacePlan, RefusesPatternsItCannotUse) {
    const struct { const char *find, *with; std::uint64_t offset; } cases[] = {
        {"", "x", 0}, {"(ab", "x", 3}, {"a(b)", "$2", 0}, {"a(b)", "x${3}", 1}};
    for (const auto& c : cases) {
        auto matcher = TextMatcher::Compile(c.find, c.with, kRegex);
        ASSERT_FALSE(matcher) << c.find;
        EXPECT_EQ(matcher.GetError().code, Error::Code::Refused);
        EXPECT_EQ(matcher.GetError().offset, c.offset) << c.find << " " << matcher.GetError().message;
    }
    // A plain text is no pattern: its brackets and dollars are characters.
    auto plain = TextMatcher::Compile("(a$1", "$1", kPlain);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain.Value().Matches("x(a$1"), (std::vector<TextMatch>{{1, 4, "$1"}}));
}

// The rows chosen go in as one change, the one left out stays, and taking
// the change back gives every item its text and hotkey again. Untranslated
// items and items outside the scope are not searched.
TEST(ReplacePlan, ChosenRowsAreOneChangeToTakeBack) {
    auto project = NewProjectOf(SamplePath("quillpad.exe"));
    CodePage codePage(project->GetCodePage());
    for (auto [path, text, hotkey] : {std::tuple{"strings/1", "Federblock", '\0'}, {"strings/3", "%1 - Federblock", '\0'},
                                      {"menus/100/-1/1007", "Feder beenden", 'F'}, {"menus/100/-1/1003", "Speichern", 'S'}})
        Translate(*project, ItemAt(*project, path), text, hotkey);
    std::vector<std::uint8_t> before = ProjectRecord(*project);
    auto matcher = TextMatcher::Compile("Feder", "Schreib", kPlain);
    ASSERT_TRUE(matcher);

    std::vector<ReplaceRow> inMenus = PlanReplace(*project, matcher.Value(), &RootItem(project->m_ResourceInfo, Root::Menus));
    ASSERT_EQ(inMenus.size(), 1u);
    EXPECT_EQ(inMenus[0].path, "menus/100/-1/1007");

    std::vector<ReplaceRow> rows = PlanReplace(*project, matcher.Value());
    ASSERT_EQ(rows.size(), 3u);
    rows[1].chosen = false;
    ProjectChange change = ReplacementChange(rows);
    EXPECT_EQ(change.Label(), "Replace in Translations");
    ASSERT_EQ(change.ItemEdits().size(), 2u);
    std::uint32_t translated = project->m_ResourceInfo.m_nTranslated;
    change.Apply(*project);
    EXPECT_EQ(codePage.ToUtf8(ItemAt(*project, "strings/1").GetTranslation()), "Schreibblock");
    EXPECT_EQ(codePage.ToUtf8(ItemAt(*project, "strings/3").GetTranslation()), "%1 - Federblock");
    EXPECT_EQ(codePage.ToUtf8(ItemAt(*project, "menus/100/-1/1007").GetTranslation()), "Schreib beenden");
    EXPECT_EQ(project->m_ResourceInfo.m_nTranslated, translated);
    change.Revert(*project);
    EXPECT_EQ(ProjectRecord(*project), before);
}
