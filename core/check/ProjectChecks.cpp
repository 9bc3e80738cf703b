#include "check/ProjectChecks.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "check/HunspellSpelling.h"
#include "check/TextChecks.h"
#include "check/TextFit.h"
#include "dictionary/Hotkeys.h"
#include "model/ItemPath.h"
#include "project/NewProject.h"
#include "project/Project.h"
#include "model/TextEscapes.h"
#include "target/TextPreparation.h"

namespace quillon {

namespace {

bool HasHotkeys(ItemKind kind) {
    return kind == ItemKind::MenuItem || kind == ItemKind::PopupMenu || kind == ItemKind::Control;
}

class Checker {
public:
    Checker(const CodePage& codePage, const CheckOptions& options)
        : m_codePage(codePage), m_alphabet(HotkeyAlphabet::Of(codePage)), m_options(options) {}

    void Item(const CResourceItem& item, const std::string& path) {
        if (!item.IsTranslatable()) return;
        if (!item.IsTranslated()) {
            if (m_options.untranslated) Add(CheckCode::Untranslated, item, path, "not translated");
            return;
        }
        for (TextFinding& found : CheckTexts(item.GetText(), item.GetTranslation(), item.GetKind(), m_codePage))
            Add(found.code, item, path, std::move(found.message));
        if (HasHotkeys(item.GetKind())) Hotkey(item, path);
        if (m_options.spelling) Spelling(item, path);
    }

    // A word the source has too is a name, a file type or a term the
    // translator kept on purpose ("Quill Pad", "*.txt"), not a misspelling.
    void Spelling(const CResourceItem& item, const std::string& path) {
        auto readable = [&](const std::string& text) { return m_codePage.ToUtf8(UnescapeText(text, m_codePage)); };
        std::vector<std::string> unknown = m_options.spelling->Unknown(readable(item.GetTranslation()));
        if (unknown.empty()) return;
        const std::vector<std::string> kept = SpellingWords(readable(item.GetText()));
        for (const std::string& word : unknown)
            if (std::find(kept.begin(), kept.end(), word) == kept.end())
                Add(CheckCode::Spelling, item, path, "unknown word \"" + word + "\"");
    }

    // A clash the module itself has is not the translation's doing: only
    // clashes with a translated item are reported, on the translated items
    // after the first of the clash (or on the first when it alone is).
    void Level(const CResourceItem& level, const std::unordered_map<const CResourceItem*, std::string>& paths) {
        for (const HotkeyClash& clash : DuplicateHotkeys(level, m_codePage)) {
            const auto& items = clash.items;
            auto translated = [](const CResourceItem* item) { return item->IsTranslated(); };
            std::size_t later = static_cast<std::size_t>(std::count_if(items.begin() + 1, items.end(), translated));
            if (later == 0 && items.front()->IsTranslated()) {
                Clash(*items.front(), paths.at(items.front()), *items[1], paths.at(items[1]), clash.hotkey);
                continue;
            }
            for (std::size_t i = 1; i < items.size(); ++i)
                if (items[i]->IsTranslated())
                    Clash(*items[i], paths.at(items[i]), *items.front(), paths.at(items.front()), clash.hotkey);
        }
    }

    void Clash(const CResourceItem& item, const std::string& path, const CResourceItem& other,
               const std::string& otherPath, std::uint8_t hotkey) {
        Add(CheckCode::HotkeyDuplicate, item, path,
            "hotkey " + Key(hotkey) + " is also used by \"" + m_codePage.ToUtf8(other.GetTargetText()) + "\" (" +
                otherPath + ")");
    }

    std::string Key(std::uint8_t c) const { return "'" + m_codePage.ToUtf8(std::string(1, static_cast<char>(c))) + "'"; }

    void Fit(const CResourceItem& dialog, const std::unordered_map<const CResourceItem*, std::string>& paths,
             std::optional<FitCandidate> candidate = std::nullopt) {
        for (FitProblem& problem : FitProblems(dialog, m_codePage, TextMeasure::Shared(), candidate)) {
            auto path = paths.find(problem.item);
            Add(CheckCode::DoesNotFit, *problem.item, path != paths.end() ? path->second : std::string(),
                std::move(problem.message));
        }
    }

    std::vector<Finding> Take() { return std::move(m_findings); }

    void Add(CheckCode code, const CResourceItem& item, const std::string& path, std::string message) {
        m_findings.push_back({code, InfoOf(code).severity, path, &item, std::move(message)});
    }

private:
    void Hotkey(const CResourceItem& item, const std::string& path) {
        std::uint8_t given = HotkeyByte(item.m_chTransHotkey);
        if (given != 0 && !HotkeyOccursIn(item.GetTranslation(), given, m_codePage)) {
            Add(CheckCode::HotkeyMissing, item, path,
                "the hotkey " + Key(given) + " is not a character of its own in the translation");
            return;
        }
        std::uint8_t target = TargetHotkey(item, m_codePage);
        std::uint8_t source = HotkeyByte(item.m_chHotkey);
        if (target == 0 && HotkeyOccursIn(item.GetText(), source, m_codePage))
            Add(CheckCode::HotkeyDropped, item, path,
                "the source has the hotkey " + Key(source) + ", the translation has none");
        else if (target != 0 && !m_alphabet.IsLetterOrDigit(target) &&
                 m_codePage.ToUtf16(item.GetTranslation()).size() > 1)
            Add(CheckCode::HotkeyNotLetter, item, path, "the hotkey " + Key(target) + " is no letter or digit");
    }

    const CodePage& m_codePage;
    const HotkeyAlphabet& m_alphabet;
    CheckOptions m_options;
    std::vector<Finding> m_findings;
};

// The levels whose children share hotkeys: each menu resource's bar, each
// popup, each dialog.
bool IsHotkeyLevel(const CResourceItem& item) {
    return item.GetCount() != 0 && (item.GetKind() == ItemKind::PopupMenu || item.GetKind() == ItemKind::Dialog);
}

// The version values the target leaves out (ReplacedInTarget), with every
// block below them.
std::unordered_set<const CResourceItem*> NotWritten(const CResourceItem& block, bool below = false) {
    std::unordered_set<const CResourceItem*> out;
    for (const auto& child : block.GetChildren()) {
        const auto* version = dynamic_cast<const CVersionBlock*>(child.get());
        bool left = below || (version && ReplacedInTarget(block, *version));
        if (left) out.insert(child.get());
        out.merge(NotWritten(*child, left));
    }
    return out;
}

} // namespace

std::vector<Finding> CheckProject(const CProject& project, const CheckOptions& options) {
    const CodePage codePage(project.GetCodePage());
    Checker checker(codePage, options);
    std::unordered_map<const CResourceItem*, std::string> paths;
    std::unordered_map<const CResourceItem*, std::size_t> order;
    std::vector<const CResourceItem*> levels;
    const auto notWritten = NotWritten(project.m_ResourceInfo.m_VersionInfo.m_Root);
    WalkPaths(project.m_ResourceInfo, [&](const CResourceItem& item, const std::string& path) {
        order.emplace(&item, order.size());
        if (notWritten.contains(&item) && item.IsTranslated()) {
            checker.Add(CheckCode::NotWritten, item, path,
                        "the build writes the translated table of the module's own language in this table's place; "
                        "this translation is left out");
            return;
        }
        checker.Item(item, path);
        if (HasHotkeys(item.GetKind())) paths.emplace(&item, path);
        if (IsHotkeyLevel(item)) levels.push_back(&item);
    });
    for (const CResourceItem* level : levels) {
        checker.Level(*level, paths);
        if (level->GetKind() == ItemKind::Dialog) checker.Fit(*level, paths);
    }
    std::vector<Finding> findings = checker.Take();
    std::stable_sort(findings.begin(), findings.end(),
                     [&](const Finding& a, const Finding& b) { return order.at(a.item) < order.at(b.item); });
    return findings;
}

std::vector<Finding> CheckCandidate(const CProject& project, const CResourceItem& item, std::string_view translation,
                                    std::uint16_t hotkey, const ISpelling* spelling) {
    std::optional<ItemPlace> place = PlaceOf(project.m_ResourceInfo, item);
    return CheckCandidate(project, item, place ? *place : ItemPlace{}, translation, hotkey, spelling);
}

std::vector<Finding> CheckCandidate(const CProject& project, const CResourceItem& item, const ItemPlace& place,
                                    std::string_view translation, std::uint16_t hotkey, const ISpelling* spelling) {
    const CodePage codePage(project.GetCodePage());
    const std::string& pathText = place.path;
    const CResourceItem* parent = place.parent;
    std::unique_ptr<CResourceItem> candidate = item.Clone();
    std::uint32_t state = candidate->m_dwState;
    candidate->SetTranslation(std::string(translation), hotkey);
    candidate->m_dwState = translation == item.GetText() ? StateAfterConfirmation(state)
                                                          : StateAfterTranslation(state, item.GetText(), translation);
    Checker checker(codePage, CheckOptions{.untranslated = false, .spelling = spelling});
    checker.Item(*candidate, pathText);

    if (parent && parent->GetKind() == ItemKind::Dialog)
        checker.Fit(*parent, {{&item, pathText}}, FitCandidate{&item, candidate.get()});
    std::uint8_t target = TargetHotkey(*candidate, codePage);
    if (parent && target != 0 && HasHotkeys(item.GetKind())) {
        const HotkeyAlphabet& alphabet = HotkeyAlphabet::Of(codePage);
        const std::string parentPath = pathText.substr(0, pathText.rfind('/'));
        StepCounter steps(place.root);
        for (const auto& sibling : parent->GetChildren()) {
            PathStep step = steps.Next(*sibling);
            std::uint8_t taken = TargetHotkey(*sibling, codePage);
            if (sibling.get() == &item || taken == 0 || !alphabet.SameKey(taken, target)) continue;
            checker.Clash(*candidate, pathText, *sibling, parentPath + "/" + StepText(place.root, step),
                          alphabet.Upper(target));
        }
    }
    std::vector<Finding> findings = checker.Take();
    for (Finding& finding : findings) finding.item = &item;
    return findings;
}

std::vector<Finding> CheckEntryTexts(std::string_view source, std::string_view translation, std::uint16_t hotkey,
                                     ItemKind kind, const CodePage& codePage) {
    std::vector<Finding> findings;
    for (TextFinding& found : CheckTexts(source, translation, kind, codePage))
        findings.push_back({found.code, InfoOf(found.code).severity, "", nullptr, std::move(found.message)});
    std::uint8_t given = HotkeyByte(hotkey);
    if (given != 0 && !HotkeyOccursIn(translation, given, codePage))
        findings.push_back({CheckCode::HotkeyMissing, Severity::Error, "", nullptr,
                            "the hotkey '" + codePage.ToUtf8(std::string(1, static_cast<char>(given))) +
                                "' is not a character of its own in the translation"});
    return findings;
}

} // namespace quillon
