#include <gtest/gtest.h>

#include "Fixtures.h"
#include "pe/ResourceModule.h"
#include "project/NewProject.h"
#include "project/ProjectUpdate.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

std::unique_ptr<CProject> TranslatedV1() {
    NewProjectSettings settings;
    settings.modulePath = Fixture("update-v1.exe");
    settings.translator = "Ann";
    settings.email = "ann@example.org";
    settings.targetLanguage = 0x0407;
    auto created = CreateProject(settings);
    EXPECT_TRUE(created);
    auto project = std::move(created).Value();
    CResourceInfo& info = project->m_ResourceInfo;
    for (std::int32_t id : {1, 2, 3, 100}) ChildWithId(info.m_Strings, id)->SetTranslation("DE " + std::to_string(id), 0);
    for (std::int32_t id : {200, 300, 600}) {
        CResourceItem* dialog = ChildWithId(info.m_Dialogs, id);
        dialog->SetTranslation("DE caption " + std::to_string(id), 0);
        for (auto& control : dialog->GetChildren())
            if (control->IsTranslatable()) control->SetTranslation("DE " + control->m_strText, 'D');
    }
    CResourceItem& file = *ChildWithId(info.m_Menus, 100)->GetChildren()[0];
    file.SetTranslation("Datei", 'D');
    file.GetChildren()[0]->SetTranslation("Öffnen", 'f');
    return project;
}

struct Updated {
    std::unique_ptr<CProject> project;
    UpdateReport report;
};

Updated UpdateToV2(std::unique_ptr<CProject> project) {
    CProject fresh;
    fresh.m_strModulePath = Fixture("update-v2.exe");
    UpdateReport report = UpdateProject(*project, fresh);
    return {std::move(project), report};
}

std::vector<std::int32_t> Ids(const CResourceItem& parent) {
    std::vector<std::int32_t> ids;
    for (const auto& child : parent.GetChildren()) ids.push_back(child->m_nID);
    return ids;
}

bool Carried(const CResourceItem& item) { return (item.m_dwState & RIS_CARRIED) != 0; }

const CVersionBlock* VersionValue(CProject& project, const char* key) {
    return FindVersionPath(project.m_ResourceInfo.m_VersionInfo.m_Root, std::string("\\StringFileInfo\\040904b0\\") + key);
}

} // namespace

TEST(ProjectUpdate, StringsKeepChangeMoveAndDisappear) {
    Updated updated = UpdateToV2(TranslatedV1());
    ASSERT_TRUE(updated.report.merged);
    const CResourceItem& strings = updated.project->m_ResourceInfo.m_Strings;
    EXPECT_EQ(Ids(strings), (std::vector<std::int32_t>{1, 2, 100, 5, 20}));
    EXPECT_EQ(ChildWithId(strings, 1)->m_strTranslation, "DE 1");
    EXPECT_TRUE(ChildWithId(strings, 1)->IsTranslated());
    const CResourceItem& changed = *ChildWithId(strings, 2);
    EXPECT_EQ(changed.m_strText, "New text");
    EXPECT_EQ(changed.m_strTranslation, "New text");
    EXPECT_FALSE(changed.IsTranslated());
    EXPECT_TRUE(Carried(changed));
    // The moved string is a new, untranslated entry at the end.
    EXPECT_EQ(ChildWithId(strings, 20)->m_strText, "Moves away");
    EXPECT_FALSE(ChildWithId(strings, 20)->IsTranslated());
    EXPECT_FALSE(Carried(*ChildWithId(strings, 20)));
}

TEST(ProjectUpdate, MenusInsertAtTheirPlaceDeleteAndFollowSeparators) {
    Updated updated = UpdateToV2(TranslatedV1());
    const CResourceItem& menus = updated.project->m_ResourceInfo.m_Menus;
    EXPECT_EQ(Ids(menus), (std::vector<std::int32_t>{100, 102}));
    const CResourceItem& top = *ChildWithId(menus, 100);
    ASSERT_EQ(top.GetCount(), 4u);
    const CResourceItem& file = *top.GetChildren()[0];
    EXPECT_EQ(Ids(file), (std::vector<std::int32_t>{101, 103, 0, 102, 0, 104}));
    EXPECT_EQ(file.m_strTranslation, "Datei");
    EXPECT_EQ(file.GetChildren()[0]->m_strTranslation, "Öffnen");
    EXPECT_TRUE(Carried(*file.GetChildren()[1])); // Save, inserted
    EXPECT_TRUE(Carried(*file.GetChildren()[4])); // the second separator
    EXPECT_EQ(static_cast<const CMenuNode&>(*file.GetChildren()[3]).m_dwOptions, 0x00u); // Exit lost its end bit
    const CResourceItem& edit = *top.GetChildren()[1];
    EXPECT_EQ(Ids(edit), (std::vector<std::int32_t>{201, 203}));
    EXPECT_EQ(edit.GetChildren()[0]->m_strText, "Copy text");
    EXPECT_TRUE(Carried(*edit.GetChildren()[0]));
    const CResourceItem& zoom = *top.GetChildren()[2]->GetChildren()[0];
    EXPECT_EQ(Ids(zoom), (std::vector<std::int32_t>{301, 302, 303}));
    EXPECT_TRUE(Carried(*zoom.GetChildren()[2]));
    EXPECT_EQ(top.GetChildren()[3]->m_strText, "Help");
    EXPECT_TRUE(Carried(*top.GetChildren()[3]));
    EXPECT_FALSE(Carried(*ChildWithId(menus, 102))); // a whole new menu is appended unmarked
}

TEST(ProjectUpdate, DialogsKeepRebuildAndReplace) {
    Updated updated = UpdateToV2(TranslatedV1());
    const CResourceItem& dialogs = updated.project->m_ResourceInfo.m_Dialogs;
    EXPECT_EQ(Ids(dialogs), (std::vector<std::int32_t>{200, 300, 600, 500}));

    const CResourceItem& same = *ChildWithId(dialogs, 200);
    EXPECT_EQ(same.m_strTranslation, "DE caption 200");
    EXPECT_EQ(same.GetChildren()[0]->m_strTranslation, "DE Name:");
    EXPECT_FALSE(Carried(*same.GetChildren()[0]));

    const CResourceItem& changed = *ChildWithId(dialogs, 300);
    EXPECT_FALSE(changed.IsTranslated()); // the rebuilt caption starts untranslated
    EXPECT_FALSE(Carried(changed));
    EXPECT_EQ(Ids(changed), (std::vector<std::int32_t>{301, 302, 304, 1}));
    EXPECT_EQ(changed.GetChildren()[0]->m_strTranslation, "DE First:");
    EXPECT_EQ(changed.GetChildren()[0]->m_chTransHotkey, 'D');
    EXPECT_EQ(changed.GetChildren()[0]->m_chHotkey, 'F'); // the source hotkey survives the rebuild
    EXPECT_TRUE(changed.GetChildren()[0]->IsTranslated());
    EXPECT_TRUE(Carried(*changed.GetChildren()[0]));
    EXPECT_FALSE(changed.GetChildren()[2]->IsTranslated()); // the new check box
    EXPECT_EQ(changed.GetChildren()[2]->m_chHotkey, 'N');
    auto module = ResourceModule::Open(Fixture("update-v2.exe"));
    auto bytes = module.Value().Find(kTypeDialog, 300);
    EXPECT_TRUE(std::ranges::equal(*bytes, changed.GetData()));

    const CResourceItem& recaptioned = *ChildWithId(dialogs, 600);
    EXPECT_EQ(recaptioned.m_strText, "New caption");
    EXPECT_FALSE(recaptioned.IsTranslated());
    EXPECT_EQ(recaptioned.GetChildren()[0]->m_strTranslation, "DE Close");
}

TEST(ProjectUpdate, VersionValuesFollowTheModuleAndKeepTheTranslatorEntries) {
    Updated updated = UpdateToV2(TranslatedV1());
    CProject& project = *updated.project;
    EXPECT_EQ(VersionValue(project, "FileDescription")->m_strText, "Version two");
    EXPECT_TRUE(Carried(*VersionValue(project, "FileDescription")));
    EXPECT_EQ(VersionValue(project, "LegalCopyright"), nullptr);
    ASSERT_NE(VersionValue(project, "Comments"), nullptr);
    EXPECT_TRUE(Carried(*VersionValue(project, "Comments")));
    EXPECT_EQ(VersionValue(project, "Translator")->m_strText, "Ann");
    EXPECT_FALSE(Carried(*VersionValue(project, "Translator")));
    CVersionBlock& root = project.m_ResourceInfo.m_VersionInfo.m_Root;
    EXPECT_EQ(FindVersionPath(root, "\\VarFileInfo\\Translation")->m_pValue,
              (std::vector<std::uint8_t>{0x07, 0x04, 0xB0, 0x04}));
    EXPECT_EQ(FindVersionPath(root, "\\StringFileInfo\\040904b0")->m_strTargetKey, "040704b0");
    EXPECT_EQ(project.m_ResourceInfo.m_VersionInfo.m_FixedInfo[10], 2); // file version 2.0.0.0
}

TEST(ProjectUpdate, CountersAndReport) {
    Updated updated = UpdateToV2(TranslatedV1());
    const CResourceInfo& info = updated.project->m_ResourceInfo;
    EXPECT_EQ(info.m_nStrings, 5u);
    EXPECT_EQ(info.m_nDialogs, 4u);
    EXPECT_GT(updated.report.added, 0u);
    EXPECT_GT(updated.report.removed, 0u);
    EXPECT_EQ(updated.report.rebuilt, 2u);
    EXPECT_TRUE(updated.report.Changed());
}

TEST(ProjectUpdate, SecondUpdateChangesNothing) {
    Updated first = UpdateToV2(TranslatedV1());
    CResourceInfo before(first.project->m_ResourceInfo);
    Updated second = UpdateToV2(std::move(first.project));
    EXPECT_FALSE(second.report.Changed());
    EXPECT_EQ(second.project->m_ResourceInfo, before);
}

TEST(ProjectUpdate, SameModuleChangesNothing) {
    auto project = TranslatedV1();
    CResourceInfo before(project->m_ResourceInfo);
    CProject fresh;
    fresh.m_strModulePath = Fixture("update-v1.exe");
    UpdateReport report = UpdateProject(*project, fresh);
    EXPECT_TRUE(report.merged);
    EXPECT_FALSE(report.Changed());
    EXPECT_EQ(project->m_ResourceInfo, before);
}

TEST(ProjectUpdate, UnreadableModuleLeavesTheProjectAlone) {
    auto project = TranslatedV1();
    CResourceInfo before(project->m_ResourceInfo);
    for (const std::string& module : {Fixture("missing.exe"), Fixture("corrupt/not-pe.exe"), Fixture("nores.exe")}) {
        CProject fresh;
        fresh.m_strModulePath = module;
        EXPECT_FALSE(UpdateProject(*project, fresh).merged) << module;
        EXPECT_EQ(project->m_ResourceInfo, before);
    }
}

TEST(ProjectUpdate, ALevelTakesTheNewModulesOrder) {
    auto menuWith = [](std::initializer_list<std::int32_t> ids) {
        auto top = std::make_unique<CMenuEntry>("", 0, 100, 0);
        auto& file = top->AddChild(std::make_unique<CMenuEntry>("File", 'F', -1, 0x90));
        for (std::int32_t id : ids) {
            if (id == 0)
                file.AddChild(std::make_unique<CMenuItem>("", 0, 0, 0x800, RIS_FIXED));
            else
                file.AddChild(std::make_unique<CMenuItem>("Item " + std::to_string(id), 'I', id, 0));
        }
        return top;
    };
    CProject project;
    project.m_ResourceInfo.m_Menus.AddChild(menuWith({1, 0, 2}));
    project.m_ResourceInfo.m_Menus.GetChildren()[0]->GetChildren()[0]->GetChildren()[0]->SetTranslation("Eins", 'E');
    CProject fresh;
    fresh.m_ResourceInfo.m_Menus.AddChild(menuWith({0, 1, 0, 2}));
    ASSERT_TRUE(UpdateProject(project, fresh).merged);
    const CResourceItem& file = *project.m_ResourceInfo.m_Menus.GetChildren()[0]->GetChildren()[0];
    EXPECT_EQ(Ids(file), (std::vector<std::int32_t>{0, 1, 0, 2}));
    EXPECT_EQ(file.GetChildren()[1]->m_strTranslation, "Eins"); // kept, only moved
}
