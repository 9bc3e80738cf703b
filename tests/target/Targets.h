#pragma once
// What the target tests share: projects whose every translatable item is
// translated into a longer text, so that a build has to grow or move the
// resource section, and a built module scanned back into a tree.

#include <memory>
#include <string>

#include "extract/ResourceExtractor.h"
#include "model/ResourceInfo.h"
#include "project/FixtureProject.h"
#include "project/Project.h"

namespace quillon::testing {

inline void TranslateLonger(CResourceItem& item, const std::string& added) {
    if (item.IsTranslatable() && !item.GetText().empty())
        item.SetTranslation(item.GetText() + added, item.m_chHotkey);
    for (auto& child : item.GetChildren()) TranslateLonger(*child, added);
}

// A German project of `module` whose every string, menu and dialog text is
// translated into itself followed by `added` (none when empty).
inline std::unique_ptr<CProject> GermanProject(const std::string& module, const std::string& added) {
    auto project = NewProjectOf(module);
    if (!added.empty())
        for (CResourceItem* root : {&project->m_ResourceInfo.m_Strings, &project->m_ResourceInfo.m_Menus,
                                    &project->m_ResourceInfo.m_Dialogs})
            TranslateLonger(*root, added);
    return project;
}

// The tree a scan of the built module gives.
inline CResourceInfo Rescan(const std::string& module, std::uint32_t codePage = 1252) {
    CResourceInfo tree;
    CResourceExtractor(module, tree, CodePage(codePage)).Extract();
    return tree;
}

} // namespace quillon::testing
