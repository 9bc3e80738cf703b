#include "interchange/ProjectUnits.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "check/ProjectChecks.h"
#include "dictionary/ManualTranslation.h"
#include "interchange/LanguageTags.h"
#include "interchange/UnitText.h"
#include "io/Utf8.h"
#include "model/ItemPath.h"
#include "project/Project.h"

namespace quillon {

namespace {

std::string NoteOf(const CResourceItem& item) {
    std::string note(KindName(item.GetKind()));
    if (const auto* block = dynamic_cast<const CVersionBlock*>(&item)) return note + " " + block->m_strKey;
    return note + " " + std::to_string(item.m_nID);
}

bool Exported(const CResourceItem& item) { return item.IsTranslatable() && !item.GetText().empty(); }

// The unit an item makes. Export and import both ask this, so an item whose
// unit comes back as it went out is left exactly as it is.
TranslationUnit UnitOf(const CResourceItem& item, std::string path, const CodePage& codePage) {
    TranslationUnit unit;
    unit.id = std::move(path);
    ItemKind kind = item.GetKind();
    unit.source = UnitTextOf(kind, item.GetText(), item.m_chHotkey, codePage);
    bool carried = (item.m_dwState & RIS_CARRIED) != 0;
    unit.state = carried               ? UnitState::NeedsReview
                 : item.IsTranslated() ? UnitState::Translated
                                       : UnitState::Untranslated;
    if (unit.state != UnitState::Untranslated) {
        std::uint16_t hotkey = item.m_chTransHotkey != 0 ? item.m_chTransHotkey : item.m_chHotkey;
        unit.target = UnitTextOf(kind, item.GetTranslation(), hotkey, codePage);
    }
    unit.notes.push_back(NoteOf(item));
    return unit;
}

std::string FileName(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Joined(const std::vector<std::string>& characters) {
    std::string text;
    for (const std::string& c : characters) text.append(text.empty() ? "" : " ").append(c);
    return text;
}

class Importer {
public:
    explicit Importer(CProject& project) : m_project(project), m_codePage(project.GetCodePage()) {
        const CResourceInfo& info = project.m_ResourceInfo;
        m_items.reserve(std::size_t(info.m_nTranslatable) + info.m_nNotTranslatable);
        WalkPaths(project.m_ResourceInfo,
                  [&](CResourceItem& item, const std::string& path) { m_items.emplace(path, Target{&item}); });
    }

    void Take(const TranslationUnit& unit);
    ImportPlan Finish();

private:
    void Refuse(const TranslationUnit& unit, Refusal reason, std::string detail = {}) {
        m_plan.refused.push_back({unit.id, reason, std::move(detail)});
    }
    void Translate(CResourceItem& item, const TranslationUnit& unit);
    void Count(const ItemEdit& edit);

    CProject& m_project;
    CodePage m_codePage;
    // Every item by its address, and whether a unit of the file named it already.
    struct Target {
        CResourceItem* item = nullptr;
        bool named = false;
    };
    std::unordered_map<std::string, Target> m_items;
    ImportPlan m_plan;
    std::int64_t m_translatedDelta = 0;
};

void Importer::Take(const TranslationUnit& unit) {
    auto found = m_items.find(unit.id);
    if (found == m_items.end()) return Refuse(unit, Refusal::UnknownAddress);
    CResourceItem& item = *found->second.item;
    if (!Exported(item)) return Refuse(unit, Refusal::NotTranslatable);
    if (std::exchange(found->second.named, true)) return Refuse(unit, Refusal::Duplicate);
    TranslationUnit now = UnitOf(item, unit.id, m_codePage);
    if (now.source != unit.source) return Refuse(unit, Refusal::SourceChanged, now.source);
    bool untranslated = unit.state == UnitState::Untranslated || unit.target.empty();
    if (untranslated ? now.state == UnitState::Untranslated : now.state == unit.state && now.target == unit.target) {
        ++m_plan.unchanged;
        return;
    }
    if (!untranslated) return Translate(item, unit);
    ItemEdit edit = PlanRestore(item);
    // A restore of an item that was only marked as changed keeps its state bits otherwise.
    edit.after.state &= ~RIS_CARRIED;
    Count(edit);
    m_plan.change.Add(std::move(edit));
    ++m_plan.untranslated;
}

void Importer::Translate(CResourceItem& item, const TranslationUnit& unit) {
    std::vector<std::string> missing = CharactersNotIn(unit.target, m_codePage);
    if (!missing.empty()) return Refuse(unit, Refusal::Unencodable, Joined(missing));
    HotkeyText text = TreeTextOf(item.GetKind(), unit.target, m_codePage);
    auto edit = PlanManualTranslation(item, text.text, text.hotkey, m_codePage);
    if (!edit) return Refuse(unit, Refusal::HotkeyNotInText, edit.GetError().message);
    if (unit.state == UnitState::NeedsReview) edit.Value().after.state |= RIS_CARRIED;
    // A translation without '&' of an item with a source hotkey reads back as the item holds it.
    if (edit.Value().ChangesNothing()) {
        ++m_plan.unchanged;
        return;
    }
    for (Finding& finding : CheckEntryTexts(item.GetText(), text.text, text.hotkey, item.GetKind(), m_codePage)) {
        finding.path = unit.id;
        finding.item = &item;
        m_plan.findings.push_back(std::move(finding));
    }
    ++(unit.state == UnitState::NeedsReview ? m_plan.review : m_plan.translated);
    Count(edit.Value());
    m_plan.change.Add(std::move(edit).Value());
}

void Importer::Count(const ItemEdit& edit) {
    auto translated = [](std::uint32_t state) { return (state & RIS_TRANSLATED) == RIS_TRANSLATED; };
    m_translatedDelta += int(translated(edit.after.state)) - int(translated(edit.before.state));
}

ImportPlan Importer::Finish() {
    const CResourceInfo& info = m_project.m_ResourceInfo;
    std::int64_t after = std::int64_t(info.m_nTranslated) + m_translatedDelta;
    std::int64_t most = std::int64_t(info.m_nTranslatable) + info.m_nNotTranslatable;
    m_plan.change.SetTranslatedCount(info.m_nTranslated, std::uint32_t(std::clamp<std::int64_t>(after, 0, most)));
    return std::move(m_plan);
}

} // namespace

UnitFile UnitsOf(const CProject& project) {
    UnitFile file;
    file.original = ValidUtf8(FileName(project.m_strModulePath));
    file.sourceLanguage = LanguageTag(project.m_ResourceInfo.m_wLanguage);
    file.targetLanguage = LanguageTag(project.m_wTargetLanguage);
    CodePage codePage(project.GetCodePage());
    std::string name = codePage.ToUtf8(project.GetTranslator()), email = codePage.ToUtf8(project.GetEMail());
    file.translator = email.empty() ? name : name.empty() ? "<" + email + ">" : name + " <" + email + ">";
    file.revised = project.m_ResourceInfo.m_timeSaved;
    WalkPaths(project.m_ResourceInfo, [&](const CResourceItem& item, const std::string& path) {
        if (Exported(item)) file.units.push_back(UnitOf(item, path, codePage));
    });
    return file;
}

std::string Describe(const RefusedUnit& refused) {
    std::string text = refused.id + ": ";
    switch (refused.reason) {
    case Refusal::UnknownAddress: return text + "no item has this address";
    case Refusal::NotTranslatable: return text + "the item is not translated (fixed or empty)";
    case Refusal::Duplicate: return text + "the address comes twice; the first unit was taken";
    case Refusal::SourceChanged: return text + "the source changed; it is now \"" + refused.detail + "\"";
    case Refusal::Unencodable: return text + "the project's code page cannot hold " + refused.detail;
    case Refusal::HotkeyNotInText: return text + refused.detail;
    }
    return text;
}

Result<ImportPlan> PlanImport(CProject& project, const UnitFile& file) {
    // A file for another language would put that language's texts into
    // the project; one that names no language (or "und") is taken as it is.
    const std::string ours = PrimaryLanguageTag(project.m_wTargetLanguage);
    const std::optional<std::string> theirs = PrimaryTag(file.targetLanguage);
    if (!ours.empty() && theirs && *theirs != "und" && *theirs != ours)
        return MakeError(Error::Code::Refused, "the file translates into " + file.targetLanguage +
                                                   ", the project into " + LanguageTag(project.m_wTargetLanguage));
    Importer importer(project);
    for (const TranslationUnit& unit : file.units) importer.Take(unit);
    ImportPlan plan = importer.Finish();
    plan.skipped = file.skipped;
    return plan;
}

} // namespace quillon
