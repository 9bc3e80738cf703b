#include "project/ProjectUpdate.h"

#include <algorithm>
#include <array>
#include <map>
#include <unordered_map>

#include "model/ItemPath.h"
#include "model/TreeRoots.h"
#include "project/NewProject.h"
#include "project/Project.h"

namespace quillon {

std::string_view UpdateChangeName(UpdateChangeKind kind) {
    switch (kind) {
    case UpdateChangeKind::Added: return "added";
    case UpdateChangeKind::Removed: return "removed";
    case UpdateChangeKind::Changed: return "changed";
    case UpdateChangeKind::Moved: return "moved";
    case UpdateChangeKind::Reused: return "reused";
    }
    return "changed";
}

std::size_t UpdateReport::Count(UpdateChangeKind kind) const {
    return static_cast<std::size_t>(std::ranges::count(changes, kind, &UpdateChange::kind));
}

namespace {

constexpr std::uint32_t kNone = ~0u;

bool IsSeparator(const CResourceItem& item) {
    return item.GetKind() == ItemKind::MenuItem && item.m_nID == 0 && (item.m_dwState & RIS_FIXED);
}

// What names a sibling on its level. Unnamed IDs (-1, 65535) are told apart
// by their text, version blocks by their key; siblings that still share a key
// are told apart by their order among themselves.
struct SiblingKey {
    ItemKind kind = ItemKind::Common;
    std::int32_t id = 0;
    bool separator = false;
    std::string_view text;
    bool operator==(const SiblingKey&) const = default;
};

struct SiblingKeyHash {
    std::size_t operator()(const SiblingKey& key) const {
        std::size_t hash = std::hash<std::string_view>{}(key.text);
        hash ^= std::hash<std::int32_t>{}(key.id) + 0x9e3779b97f4a7c15ull + (hash << 6) + (hash >> 2);
        return hash ^ (static_cast<std::size_t>(key.kind) << 1) ^ static_cast<std::size_t>(key.separator);
    }
};

SiblingKey KeyOf(const CResourceItem& item) {
    if (const auto* block = dynamic_cast<const CVersionBlock*>(&item)) return {ItemKind::Version, 0, false, block->m_strKey};
    if (IsSeparator(item)) return {ItemKind::MenuItem, 0, true, {}};
    if (item.m_nID == -1 || item.m_nID == 65535) return {item.GetKind(), item.m_nID, false, item.GetText()};
    return {item.GetKind(), item.m_nID, false, {}};
}

// For each child of `fresh`, the index of its partner among the children of
// `old` (kNone for none): the k-th sibling with a key pairs with the k-th.
std::vector<std::uint32_t> PairSiblings(const CResourceItem& old, const CResourceItem& fresh) {
    const auto& oldChildren = old.GetChildren();
    struct Chain {
        std::uint32_t head = kNone;
        std::uint32_t tail = kNone;
    };
    std::unordered_map<SiblingKey, Chain, SiblingKeyHash> chains;
    chains.reserve(oldChildren.size());
    std::vector<std::uint32_t> next(oldChildren.size(), kNone);
    for (std::uint32_t i = 0; i < oldChildren.size(); ++i) {
        Chain& chain = chains[KeyOf(*oldChildren[i])];
        (chain.head == kNone ? chain.head : next[chain.tail]) = i;
        chain.tail = i;
    }
    std::vector<std::uint32_t> pairs;
    pairs.reserve(fresh.GetCount());
    for (const auto& child : fresh.GetChildren()) {
        auto found = chains.find(KeyOf(*child));
        if (found == chains.end() || found->second.head == kNone) {
            pairs.push_back(kNone);
            continue;
        }
        pairs.push_back(found->second.head);
        found->second.head = next[found->second.head];
    }
    return pairs;
}

// A text whose translation left its item: the item went away, or its text
// changed. A new or changed item with that text may take the translation over.
struct GoneTranslation {
    ItemKind kind = ItemKind::Common;
    std::string path;
    std::string translation;
    std::uint16_t hotkey = 0;
    std::size_t change = 0; // its entry in the report
    bool removed = false;   // the item went away: a new one of its kind moved
};

// An item the new module added or whose text it changed, in the merged tree.
struct NewItem {
    CResourceItem* item = nullptr;
    Root root = Root::Strings;
    std::size_t change = 0; // its Added entry in the report
};

class Merger {
public:
    Merger(UpdateReport& report, IProgress* progress, PreviousSources previous,
           CResourceInfo& tree)
        : m_report(report), m_progress(progress) {
        // Marks from earlier updates that are still open keep their entries
        // under the paths their items will have after this one.
        for (auto& [path, source] : previous)
            if (auto item = Find(tree, path); item && (item.Value()->m_dwState & RIS_CARRIED))
                m_earlier.emplace(item.Value(), std::move(source));
    }

    // One level: the result has the new module's children in its order,
    // matched ones merged in place, new ones copied, the rest deleted.
    // `markNew` marks copies inserted into a node that already existed.
    void Level(CResourceItem& old, const CResourceItem& fresh, Root root, const std::string& path, bool markNew) {
        std::vector<std::uint32_t> pairs = PairSiblings(old, fresh);
        RecordRemoved(old, pairs, root, path);
        auto& oldChildren = old.EditChildren();
        CResourceItem::Children merged;
        merged.reserve(fresh.GetCount());
        StepCounter steps(root);
        for (std::size_t i = 0; i < fresh.GetCount(); ++i) {
            const CResourceItem& freshChild = *fresh.GetChildren()[i];
            std::string childPath = path + steps.NextSuffix(freshChild);
            if (pairs[i] != kNone) {
                if (pairs[i] != i) m_report.otherChanges = true; // moved within the level
                merged.push_back(std::move(oldChildren[pairs[i]]));
                Item(*merged.back(), freshChild, root, childPath);
            } else {
                merged.push_back(freshChild.Clone());
                if (markNew) merged.back()->SetCarried(true);
                RecordAdded(*merged.back(), root, childPath);
            }
            Step();
        }
        if (merged.empty())
            old.RemoveAllChildren();
        else
            oldChildren = std::move(merged);
    }

    // New items, and items whose text changed, take the translation that
    // text had before the update: from an item that went away or one whose
    // text changed. They are marked for review.
    void ReuseTranslations() {
        std::vector<bool> dropped(m_report.changes.size(), false);
        std::map<std::size_t, UpdateChange> reusedAfter; // a changed item's entry is followed by its reuse
        for (const NewItem& added : m_added) {
            const GoneTranslation* source = DonorFor(*added.item, added.root);
            if (!source) continue;
            bool moved = source->removed && source->kind == added.item->GetKind() && !dropped[source->change];
            if (!moved && source->translation.empty()) continue; // nothing to take over
            UpdateChange& change = m_report.changes[added.change];
            change.kind = moved ? UpdateChangeKind::Moved : UpdateChangeKind::Reused;
            // One move, not a removal and an addition.
            if (moved) dropped[source->change] = true;
            TakeOver(*added.item, *source, change);
        }
        for (const NewItem& changed : m_changed) {
            const GoneTranslation* source = DonorFor(*changed.item, changed.root);
            if (!source || source->translation.empty()) continue;
            UpdateChange reused;
            reused.kind = UpdateChangeKind::Reused;
            reused.item = changed.item->GetKind();
            reused.path = m_report.changes[changed.change].path;
            TakeOver(*changed.item, *source, reused);
            reusedAfter.emplace(changed.change, std::move(reused));
        }
        std::vector<UpdateChange> changes;
        changes.reserve(m_report.changes.size() + reusedAfter.size());
        for (std::size_t i = 0; i < m_report.changes.size(); ++i) {
            if (!dropped[i]) changes.push_back(std::move(m_report.changes[i]));
            if (auto reused = reusedAfter.find(i); reused != reusedAfter.end())
                changes.push_back(std::move(reused->second));
        }
        m_report.changes = std::move(changes);
    }

    PreviousSources TakePrevious() { return std::move(m_previous); }

private:
    // Where the translation of `item`'s text was before the update: a
    // translated item that went away comes first, then one whose text changed.
    const GoneTranslation* DonorFor(const CResourceItem& item, Root root) const {
        if (!item.IsTranslatable() || item.GetText().empty()) return nullptr;
        auto index = static_cast<std::size_t>(root);
        const GoneTranslation* gone = nullptr;
        if (auto found = m_gone[index].find(item.GetText()); found != m_gone[index].end()) gone = &found->second;
        if (gone && !gone->translation.empty()) return gone;
        if (auto found = m_changedFrom[index].find(item.GetText()); found != m_changedFrom[index].end())
            return &found->second;
        return gone;
    }

    void TakeOver(CResourceItem& item, const GoneTranslation& source, UpdateChange& change) {
        change.fromPath = source.path;
        change.oldText = item.GetText();
        change.newText = item.GetText();
        if (source.translation.empty()) return;
        item.SetTranslation(source.translation, source.hotkey);
        item.SetCarried(true);
        m_previous[change.path] = {item.GetText(), source.translation};
        change.translation = source.translation;
    }

    void Step() {
        if (m_progress) m_progress->Step();
    }

    // A matched pair: the old item takes what the module says of it.
    void Item(CResourceItem& old, const CResourceItem& fresh, Root root, const std::string& path) {
        if (auto earlier = m_earlier.find(&old); earlier != m_earlier.end())
            m_previous.emplace(path, std::move(earlier->second));
        constexpr std::uint32_t kFromModule = RIS_FIXED | RIS_EMPTY;
        std::uint32_t state = (old.m_dwState & ~kFromModule) | (fresh.m_dwState & kFromModule);
        if (state != old.m_dwState) m_report.otherChanges = true;
        old.m_dwState = state;
        FollowModuleFields(old, fresh);
        Text(old, fresh, root, path);
        if (old.GetKind() == ItemKind::Dialog) {
            if (std::ranges::equal(old.GetData(), fresh.GetData())) { // same template, same controls
                KeepEarlier(old, root, path);
                return;
            }
            old.SetData(fresh.GetData());
            ++m_report.rebuilt;
            Level(old, fresh, root, path, true);
            // Controls that kept their translation in a new layout are marked
            // for review: the space they have may have changed.
            for (auto& control : old.GetChildren())
                if (control->IsTranslated()) control->SetCarried(true);
            return;
        }
        if (old.GetCount() != 0 || fresh.GetCount() != 0) Level(old, fresh, root, path, true);
    }

    // The open changes below an item the merge does not go into.
    void KeepEarlier(const CResourceItem& item, Root root, const std::string& path) {
        if (m_earlier.empty()) return;
        StepCounter steps(root);
        for (const auto& child : item.GetChildren()) {
            std::string childPath = path + steps.NextSuffix(*child);
            if (auto earlier = m_earlier.find(child.get()); earlier != m_earlier.end())
                m_previous.emplace(childPath, std::move(earlier->second));
            KeepEarlier(*child, root, childPath);
        }
    }

    // The fields that only describe the module: menu option words, version
    // values and block types, the key a retargeted version table is written under.
    void FollowModuleFields(CResourceItem& old, const CResourceItem& fresh) {
        if (auto* menu = dynamic_cast<CMenuNode*>(&old)) {
            const auto& freshMenu = static_cast<const CMenuNode&>(fresh);
            if (menu->m_dwOptions != freshMenu.m_dwOptions) m_report.otherChanges = true;
            menu->m_dwOptions = freshMenu.m_dwOptions;
        } else if (auto* block = dynamic_cast<CVersionBlock*>(&old)) {
            const auto& freshBlock = static_cast<const CVersionBlock&>(fresh);
            if (block->m_pValue != freshBlock.m_pValue || block->m_nBlockType != freshBlock.m_nBlockType ||
                block->m_strTargetKey != freshBlock.m_strTargetKey)
                m_report.otherChanges = true;
            block->m_pValue = freshBlock.m_pValue;
            block->m_nBlockType = freshBlock.m_nBlockType;
            block->m_strTargetKey = freshBlock.m_strTargetKey;
        }
    }

    // A changed source text takes the new text and hotkey, drops the
    // translation and marks the item; what it held is kept as its previous
    // source (the first one, when an earlier change is still open).
    void Text(CResourceItem& old, const CResourceItem& fresh, Root root, const std::string& path) {
        if (old.GetText() == fresh.GetText()) {
            ++m_report.kept;
            if (old.m_chHotkey != fresh.m_chHotkey) {
                // Only the source's hotkey moved: an untranslated item follows it.
                if (!old.IsTranslated()) old.m_chTransHotkey = fresh.m_chHotkey;
                old.m_chHotkey = fresh.m_chHotkey;
                m_report.otherChanges = true;
            }
            return;
        }
        std::string lost = old.IsTranslated() ? old.GetTranslation() : std::string();
        if (!lost.empty() && !old.GetText().empty())
            m_changedFrom[static_cast<std::size_t>(root)].try_emplace(
                old.GetText(), GoneTranslation{old.GetKind(), path, lost, old.m_chTransHotkey, 0, false});
        m_previous.emplace(path, PreviousSource{old.GetText(), old.GetTranslation()});
        m_changed.push_back({&old, root, m_report.changes.size()});
        m_report.changes.push_back({UpdateChangeKind::Changed, old.GetKind(), path, {}, old.GetText(), fresh.GetText(), lost});
        old.SetText(fresh.GetText());
        old.m_chHotkey = fresh.m_chHotkey;
        old.SetTranslation(old.GetText(), old.m_chHotkey);
        old.SetCarried(true);
    }

    void RecordAdded(CResourceItem& item, Root root, const std::string& path) {
        m_added.push_back({&item, root, m_report.changes.size()});
        m_report.changes.push_back({UpdateChangeKind::Added, item.GetKind(), path, {}, {}, item.GetText(), {}});
        StepCounter steps(root);
        for (auto& child : item.GetChildren()) RecordAdded(*child, root, path + steps.NextSuffix(*child));
    }

    void RecordRemoved(const CResourceItem& old, const std::vector<std::uint32_t>& pairs, Root root,
                       const std::string& path) {
        std::vector<bool> kept(old.GetCount(), false);
        for (std::uint32_t pair : pairs)
            if (pair != kNone) kept[pair] = true;
        if (std::ranges::all_of(kept, [](bool k) { return k; })) return;
        StepCounter steps(root);
        for (std::size_t i = 0; i < old.GetCount(); ++i) {
            const CResourceItem& child = *old.GetChildren()[i];
            std::string childPath = path + steps.NextSuffix(child);
            if (!kept[i]) RecordGone(child, root, childPath);
        }
    }

    void RecordGone(const CResourceItem& item, Root root, const std::string& path) {
        std::string translation = item.IsTranslated() ? item.GetTranslation() : std::string();
        if (!item.GetText().empty()) {
            // A translated item is the better source for a text that went away twice.
            auto& gone = m_gone[static_cast<std::size_t>(root)];
            auto [slot, inserted] = gone.try_emplace(item.GetText());
            if (inserted || (slot->second.translation.empty() && !translation.empty()))
                slot->second = {item.GetKind(), path, translation, item.m_chTransHotkey, m_report.changes.size(), true};
        }
        m_report.changes.push_back({UpdateChangeKind::Removed, item.GetKind(), path, {}, item.GetText(), {}, translation});
        StepCounter steps(root);
        for (const auto& child : item.GetChildren()) RecordGone(*child, root, path + steps.NextSuffix(*child));
    }

    UpdateReport& m_report;
    IProgress* m_progress;
    std::unordered_map<const CResourceItem*, PreviousSource> m_earlier;
    PreviousSources m_previous;
    std::vector<NewItem> m_added;
    std::vector<NewItem> m_changed; // items whose source text changed
    // Per root, the first translated item with each text that went away.
    std::array<std::unordered_map<std::string, GoneTranslation>, 4> m_gone;
    // Per root, the first translated item whose text changed from each text.
    std::array<std::unordered_map<std::string, GoneTranslation>, 4> m_changedFrom;
};

} // namespace

bool PrepareFresh(const CProject& project, CProject& fresh, IProgress* progress, std::vector<std::string>* diagnostics) {
    if (!HasResources(fresh.m_ResourceInfo)) {
        fresh.m_nCodePage = project.GetCodePage();
        if (!fresh.ExtractFrom(fresh.m_strModulePath, progress, diagnostics)) return false;
        if (!HasResources(fresh.m_ResourceInfo)) return false;
    }
    // The new module's version values get the translator's entries and the
    // target language first, so that merging them changes nothing that the
    // project already has.
    fresh.m_wTargetLanguage = project.m_wTargetLanguage;
    fresh.m_strTranslator = project.m_strTranslator;
    fresh.m_strEMail = project.m_strEMail;
    if (fresh.m_wTargetLanguage != 0) {
        AddTranslatorToVersion(fresh);
        KeepTranslatorValues(project, fresh);
    }
    return true;
}

UpdateReport UpdateProject(CProject& project, CProject& fresh, IProgress* progress) {
    UpdateReport report;
    if (!PrepareFresh(project, fresh, progress, &report.scanWarnings)) return report;

    CResourceInfo& old = project.m_ResourceInfo;
    const CResourceInfo& next = fresh.m_ResourceInfo;
    if (progress) progress->Show(kUpdateMessage, next.m_nTranslatable + next.m_nNotTranslatable);

    Merger merger(report, progress, std::move(old.m_previous), old);
    for (const RootInfo& root : Roots())
        merger.Level(RootItem(old, root.root), RootItem(next, root.root), root.root, std::string(root.name), false);
    merger.ReuseTranslations();
    old.m_previous = merger.TakePrevious();
    old.m_scanWarnings = next.m_scanWarnings;

    if (old.m_VersionInfo.m_FixedInfo != next.m_VersionInfo.m_FixedInfo || old.m_wLanguage != next.m_wLanguage ||
        old.m_dwFileVersionMS != next.m_dwFileVersionMS || old.m_dwFileVersionLS != next.m_dwFileVersionLS)
        report.otherChanges = true;
    old.m_VersionInfo.m_FixedInfo = next.m_VersionInfo.m_FixedInfo;
    old.m_dwFileVersionMS = next.m_dwFileVersionMS;
    old.m_dwFileVersionLS = next.m_dwFileVersionLS;
    // The texts now come from the new module, read in its language: that is
    // the language a build replaces.
    old.m_wLanguage = next.m_wLanguage;

    std::uint32_t translated = old.m_nTranslated;
    old.Recount();
    // A smaller module has fewer items than were translated before.
    old.m_nTranslated = std::min(translated, old.m_nTranslatable + old.m_nNotTranslatable);
    if (progress) progress->Hide();
    report.merged = true;
    return report;
}

} // namespace quillon
