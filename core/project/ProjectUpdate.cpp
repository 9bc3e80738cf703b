#include "project/ProjectUpdate.h"

#include <algorithm>

#include <map>

#include "model/ChildIndex.h"
#include "model/TreeRoots.h"
#include "project/NewProject.h"
#include "project/Project.h"

namespace quillon {

namespace {

bool IsSeparator(const CResourceItem& item) {
    return item.GetKind() == ItemKind::MenuItem && item.m_nID == 0 && (item.m_dwState & RIS_FIXED);
}

// Menu children are found by ID (and text for unnamed IDs). Separators all
// share ID 0, so the n-th separator of a level stands for the n-th one of the
// other version: added and removed separators then follow the module.
CResourceItem* FindMenuChild(const CResourceItem& parent, const CResourceItem& wanted, std::size_t separatorIndex) {
    if (!IsSeparator(wanted)) return parent.FindChild(wanted.m_strText, wanted.m_nID);
    std::size_t seen = 0;
    for (const auto& child : parent.GetChildren())
        if (IsSeparator(*child) && seen++ == separatorIndex) return child.get();
    return nullptr;
}

class Merger {
public:
    Merger(UpdateReport& report, IProgress* progress) : m_report(report), m_progress(progress) {}

    void Strings(CResourceItem& old, const CResourceItem& fresh) {
        ChildIndex oldIndex(old);
        ChildIndex freshIndex(fresh);
        for (const auto& entry : fresh.GetChildren()) {
            CResourceItem* match = oldIndex.Find(entry->m_strText, entry->m_nID);
            if (!match) {
                old.AddChild(std::make_unique<CStringEntry>(entry->m_strText, 0, entry->m_nID));
                ++m_report.added;
            } else {
                PlainTextRule(*match, *entry);
            }
            Step();
        }
        RemoveMissing(old, [&](const CResourceItem& item) { return freshIndex.Find(item.m_strText, item.m_nID); });
    }

    void Dialogs(CResourceItem& old, const CResourceItem& fresh) {
        ChildIndex oldIndex(old);
        ChildIndex freshIndex(fresh);
        for (const auto& dialog : fresh.GetChildren()) {
            CResourceItem* match = oldIndex.Find(dialog->m_strText, dialog->m_nID);
            if (!match) {
                if (dialog->GetKind() == ItemKind::Dialog) {
                    old.AddChild(dialog->Clone());
                    m_report.added += 1 + dialog->GetCount();
                }
            } else {
                PlainTextRule(*match, *dialog);
                if (!std::ranges::equal(match->GetData(), dialog->GetData())) {
                    std::unique_ptr<CResourceItem> rebuilt = Rebuild(*match, *dialog);
                    oldIndex.Replace(*match, *rebuilt);
                    for (auto& slot : old.GetChildren())
                        if (slot.get() == match) {
                            slot = std::move(rebuilt); // the old dialog and its controls go here
                            break;
                        }
                }
            }
            Step();
        }
        RemoveMissing(old, [&](const CResourceItem& item) { return freshIndex.Find(item.m_strText, item.m_nID); });
    }

    void Menus(CResourceItem& old, const CResourceItem& fresh) {
        for (const auto& menu : fresh.GetChildren()) {
            CResourceItem* match = old.FindChild(menu->m_strText, menu->m_nID);
            if (!match) {
                if (menu->GetKind() == ItemKind::PopupMenu) {
                    old.AddChild(menu->Clone());
                    m_report.added += CountNodes(*menu);
                }
            } else {
                MenuTextRule(*match, *menu);
                MergeMenu(*match, *menu);
            }
            Step();
        }
        RemoveMissing(old, [&](const CResourceItem& item) { return fresh.FindChild(item.m_strText, item.m_nID); });
    }

    // The top level of the version resource: blocks are found by key.
    void Version(CVersionBlock& old, const CVersionBlock& fresh) { MergeVersionBlock(old, fresh, false); }

private:
    void Step() {
        if (m_progress) m_progress->Step();
    }

    static std::size_t CountNodes(const CResourceItem& item) {
        std::size_t count = 1;
        for (const auto& child : item.GetChildren()) count += CountNodes(*child);
        return count;
    }

    // A changed source text drops the translation and marks the item.
    void PlainTextRule(CResourceItem& old, const CResourceItem& fresh) {
        if (old.m_strText == fresh.m_strText) {
            ++m_report.kept;
            return;
        }
        old.m_strText = fresh.m_strText;
        old.SetTranslation(old.m_strText, old.m_chHotkey);
        old.SetCarried(true);
        ++m_report.reset;
    }

    // Menus take the new option word (state and structure bits) and, with a
    // changed text, the new text's hotkey.
    void MenuTextRule(CResourceItem& old, const CResourceItem& fresh) {
        auto* oldMenu = dynamic_cast<CMenuNode*>(&old);
        auto* freshMenu = dynamic_cast<const CMenuNode*>(&fresh);
        if (oldMenu && freshMenu) oldMenu->m_dwOptions = freshMenu->m_dwOptions;
        if (old.m_strText == fresh.m_strText) {
            ++m_report.kept;
            return;
        }
        old.m_strText = fresh.m_strText;
        old.m_chHotkey = fresh.m_chHotkey;
        old.SetTranslation(old.m_strText, old.m_chHotkey);
        old.SetCarried(true);
        ++m_report.reset;
    }

    void MergeMenu(CResourceItem& old, const CResourceItem& fresh) {
        std::size_t separators = 0;
        std::vector<const CResourceItem*> order; // the old level's nodes in the new module's order
        for (std::size_t i = 0; i < fresh.GetCount(); ++i) {
            const CResourceItem& child = *fresh.GetChildren()[i];
            CResourceItem* match = FindMenuChild(old, child, separators);
            if (IsSeparator(child)) ++separators;
            order.push_back(match);
            if (!match) {
                auto copy = child.Clone();
                copy->SetCarried(true);
                order.back() = copy.get();
                auto& children = old.GetChildren();
                children.insert(children.begin() + static_cast<std::ptrdiff_t>(std::min(i, children.size())),
                                std::move(copy));
                m_report.added += CountNodes(child);
            } else {
                MenuTextRule(*match, child);
                if (match->GetKind() == ItemKind::PopupMenu && child.GetKind() == ItemKind::PopupMenu) MergeMenu(*match, child);
            }
            Step();
        }
        std::size_t oldSeparators = 0;
        RemoveMissing(old, [&](const CResourceItem& item) {
            std::size_t index = IsSeparator(item) ? oldSeparators++ : 0;
            return FindMenuChild(fresh, item, index);
        });
        FollowOrder(old, order);
    }

    // The menu is written from the tree, so a level takes the new module's
    // order (an item that moved, a separator added before kept items). Left
    // as it is when the level does not pair one to one with the new one.
    static void FollowOrder(CResourceItem& level, const std::vector<const CResourceItem*>& order) {
        auto& children = level.GetChildren();
        if (order.size() != children.size()) return;
        std::map<const CResourceItem*, std::size_t> position;
        for (std::size_t i = 0; i < children.size(); ++i) position.emplace(children[i].get(), i);
        std::vector<std::size_t> from;
        for (const CResourceItem* wanted : order) {
            auto found = position.find(wanted);
            if (found == position.end()) return;
            from.push_back(found->second);
            position.erase(found); // each node once
        }
        std::vector<std::unique_ptr<CResourceItem>> sorted;
        sorted.reserve(children.size());
        for (std::size_t index : from) sorted.push_back(std::move(children[index]));
        children = std::move(sorted);
    }

    static CVersionBlock* FindKey(const CResourceItem& block, const std::string& key) {
        for (const auto& child : block.GetChildren()) {
            auto* candidate = dynamic_cast<CVersionBlock*>(child.get());
            if (candidate && candidate->m_strKey == key) return candidate;
        }
        return nullptr;
    }

    void MergeVersionBlock(CVersionBlock& old, const CVersionBlock& fresh, bool markInserted) {
        for (std::size_t i = 0; i < fresh.GetCount(); ++i) {
            const auto* child = dynamic_cast<const CVersionBlock*>(fresh.GetChildren()[i].get());
            if (!child) continue;
            CVersionBlock* match = FindKey(old, child->m_strKey);
            if (!match) {
                auto copy = child->Clone();
                auto& children = old.GetChildren();
                if (markInserted) {
                    copy->SetCarried(true);
                    children.insert(children.begin() + static_cast<std::ptrdiff_t>(std::min(i, children.size())),
                                    std::move(copy));
                } else {
                    children.push_back(std::move(copy));
                }
                m_report.added += CountNodes(*child);
            } else {
                match->m_pValue = child->m_pValue;
                PlainTextRule(*match, *child);
                MergeVersionBlock(*match, *child, true);
            }
            Step();
        }
        RemoveMissing(old, [&](const CResourceItem& item) {
            auto* block = dynamic_cast<const CVersionBlock*>(&item);
            return block ? FindKey(fresh, block->m_strKey) : nullptr;
        });
    }

    // A dialog whose template changed is rebuilt from the new template; the
    // controls still found by ID keep their translations and are marked.
    std::unique_ptr<CResourceItem> Rebuild(const CResourceItem& old, const CResourceItem& fresh) {
        auto rebuilt = std::make_unique<CDialogEntry>(fresh.m_strText, 0, fresh.m_nID);
        rebuilt->SetData(fresh.GetData());
        for (const auto& control : fresh.GetChildren()) {
            CResourceItem* match = old.FindChild(control->m_strText, control->m_nID);
            const CResourceItem& source = match ? *match : *control;
            std::uint32_t state = source.m_dwState & (RIS_FIXED | RIS_EMPTY);
            auto item = std::make_unique<CDialogItem>(source.m_strText, source.m_chHotkey, source.m_nID, state);
            if (match) {
                item->m_strTranslation = match->m_strTranslation;
                item->m_chTransHotkey = match->m_chTransHotkey;
                item->SetTranslated(!item->m_strTranslation.empty() && item->m_strTranslation != item->m_strText);
                item->SetCarried(true);
            } else {
                ++m_report.added;
            }
            rebuilt->AddChild(std::move(item));
        }
        ++m_report.rebuilt;
        m_report.removed += CountRemovedControls(old, fresh);
        return rebuilt;
    }

    static std::size_t CountRemovedControls(const CResourceItem& old, const CResourceItem& fresh) {
        std::size_t removed = 0;
        for (const auto& control : old.GetChildren())
            if (!fresh.FindChild(control->m_strText, control->m_nID)) ++removed;
        return removed;
    }

    template <typename Finder>
    void RemoveMissing(CResourceItem& old, Finder stillThere) {
        auto& children = old.GetChildren();
        std::vector<std::unique_ptr<CResourceItem>> kept;
        kept.reserve(children.size());
        for (auto& child : children) {
            if (stillThere(*child))
                kept.push_back(std::move(child));
            else
                m_report.removed += CountNodes(*child);
        }
        children = std::move(kept);
    }

    UpdateReport& m_report;
    IProgress* m_progress;
};

} // namespace

UpdateReport UpdateProject(CProject& project, CProject& fresh, IProgress* progress) {
    UpdateReport report;
    if (!HasResources(fresh.m_ResourceInfo)) {
        fresh.m_nCodePage = project.GetCodePage();
        if (!fresh.ExtractFrom(fresh.m_strModulePath, progress)) return report;
        if (!HasResources(fresh.m_ResourceInfo)) return report;
    }
    // The new module's version values get the translator's entries and the
    // target language first, so that merging them changes nothing that the
    // project already has.
    fresh.m_wTargetLanguage = project.m_wTargetLanguage;
    fresh.m_strTranslator = project.m_strTranslator;
    fresh.m_strEMail = project.m_strEMail;
    if (fresh.m_wTargetLanguage != 0) AddTranslatorToVersion(fresh);

    CResourceInfo& old = project.m_ResourceInfo;
    const CResourceInfo& next = fresh.m_ResourceInfo;
    if (progress) progress->Show(kUpdateMessage, next.m_nTranslatable + next.m_nNotTranslatable);

    Merger merger(report, progress);
    merger.Strings(old.m_Strings, next.m_Strings);
    merger.Dialogs(old.m_Dialogs, next.m_Dialogs);
    merger.Menus(old.m_Menus, next.m_Menus);
    old.m_VersionInfo.m_FixedInfo = next.m_VersionInfo.m_FixedInfo;
    // The texts now come from the new module, read in its language: that is
    // the language a build replaces.
    old.m_wLanguage = next.m_wLanguage;
    merger.Version(old.m_VersionInfo.m_Root, next.m_VersionInfo.m_Root);

    std::uint32_t translated = old.m_nTranslated;
    old.Recount();
    // A smaller module has fewer items than were translated before.
    old.m_nTranslated = std::min(translated, old.m_nTranslatable + old.m_nNotTranslatable);
    if (progress) progress->Hide();
    report.merged = true;
    return report;
}

} // namespace quillon
