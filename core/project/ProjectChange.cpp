#include "project/ProjectChange.h"

#include "project/Project.h"

namespace quillon {

void ProjectChange::Add(ItemEdit edit) {
    if (!edit.ChangesNothing()) m_items.push_back(std::move(edit));
}

void ProjectChange::Add(DictionaryEdit edit) { m_dictionary.push_back(std::move(edit)); }

void ProjectChange::SetTranslatedCount(std::uint32_t before, std::uint32_t after) {
    if (before != after) m_translatedCount.emplace(before, after);
}

void ProjectChange::ExchangeTree(CResourceInfo other) { m_tree = std::make_unique<CResourceInfo>(std::move(other)); }

void ProjectChange::ExchangeVersionInfo(CVersionInfo other) {
    m_versionInfo = std::make_unique<CVersionInfo>(std::move(other));
}

void ProjectChange::ExchangeDictionary(CDictonary other) {
    m_wholeDictionary = std::make_unique<CDictonary>(std::move(other));
}

void ProjectChange::ChangeSettings(ProjectSettings before, ProjectSettings after) {
    if (before != after) m_settings.emplace(std::move(before), std::move(after));
}

ProjectSettings SettingsOf(const CProject& project) {
    return {project.m_strModulePath, project.m_strTargetPath, project.m_strDictionaryPath, project.m_strTranslator,
            project.m_strEMail,      project.m_wTargetLanguage, project.m_nCodePage};
}

void ApplySettings(CProject& project, const ProjectSettings& settings) {
    project.m_strModulePath = settings.modulePath;
    project.m_strTargetPath = settings.targetPath;
    project.m_strDictionaryPath = settings.dictionaryPath;
    project.m_strTranslator = settings.translator;
    project.m_strEMail = settings.email;
    project.m_wTargetLanguage = settings.targetLanguage;
    project.m_nCodePage = settings.codePage;
}

bool ProjectChange::Empty() const {
    return m_items.empty() && m_dictionary.empty() && !m_translatedCount && !m_tree && !m_settings && !m_wholeDictionary && !m_versionInfo;
}

void ProjectChange::SwapTree(CProject& project) {
    if (m_tree) std::swap(*m_tree, project.m_ResourceInfo);
    if (m_wholeDictionary) std::swap(*m_wholeDictionary, project.m_Dictionary);
    if (m_versionInfo) std::swap(*m_versionInfo, project.m_ResourceInfo.m_VersionInfo);
}

void ProjectChange::Apply(CProject& project) {
    if (m_applied) return;
    SwapTree(project);
    if (m_settings) ApplySettings(project, m_settings->second);
    for (const ItemEdit& edit : m_items) Assign(*edit.item, edit.after);
    for (const DictionaryEdit& edit : m_dictionary) ApplyEdit(project.m_Dictionary, edit);
    if (m_translatedCount) project.m_ResourceInfo.m_nTranslated = m_translatedCount->second;
    m_applied = true;
}

void ProjectChange::Revert(CProject& project) {
    if (!m_applied) return;
    if (m_translatedCount) project.m_ResourceInfo.m_nTranslated = m_translatedCount->first;
    for (auto edit = m_dictionary.rbegin(); edit != m_dictionary.rend(); ++edit) RevertEdit(project.m_Dictionary, *edit);
    for (auto edit = m_items.rbegin(); edit != m_items.rend(); ++edit) Assign(*edit->item, edit->before);
    if (m_settings) ApplySettings(project, m_settings->first);
    SwapTree(project);
    m_applied = false;
}

} // namespace quillon
