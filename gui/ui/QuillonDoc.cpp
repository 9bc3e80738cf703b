#include "ui/QuillonDoc.h"

#include <QFileInfo>

#include "io/FileLock.h"

namespace quillon::gui {

bool CQuillonDoc::HasItems() const {
    const CResourceInfo& info = m_Project.m_ResourceInfo;
    return info.m_Menus.GetCount() || info.m_Dialogs.GetCount() || info.m_Strings.GetCount() ||
           info.m_VersionInfo.m_Root.GetCount();
}

QString CQuillonDoc::WindowTitle() const {
    if (m_strPathName.isEmpty()) return QStringLiteral("Quillon");
    return QFileInfo(m_strPathName).fileName() + QStringLiteral(" - Quillon");
}

void CQuillonDoc::SetModifiedFlag(bool modified) {
    if (m_bModified == modified) return;
    m_bModified = modified;
    emit titleChanged(WindowTitle());
}

void CQuillonDoc::SetPathName(const QString& path) {
    m_strPathName = path;
    emit titleChanged(WindowTitle());
}

Status CQuillonDoc::NewProject(const NewProjectSettings& settings, IProgress* progress) {
    NewProjectSettings checked = settings;
    checked.projectPath = ProjectPathWithExtension(settings.projectPath);
    if (Status paths = CheckNewProjectPaths(checked); !paths) return paths;
    auto created = CreateProject(settings, progress);
    if (!created) return created.GetError();
    emit projectAboutToChange();
    m_Project = std::move(*created.Value());
    m_Project.m_bLoaded = true;
    SetPathName(QString::fromStdString(ProjectPathWithExtension(settings.projectPath)));
    m_bModified = true;
    emit titleChanged(WindowTitle());
    emit projectReplaced();
    return Done{};
}

Status CQuillonDoc::OpenDocument(const QString& path, IProgress* progress) {
    CProject opened;
    Status status = opened.Open(path.toStdString(), progress);
    if (!status) return status;
    opened.m_bLoaded = true;
    emit projectAboutToChange();
    m_Project = std::move(opened);
    SetPathName(path);
    m_bModified = false;
    emit titleChanged(WindowTitle());
    emit projectReplaced();
    return Done{};
}

Status CQuillonDoc::SaveDocument(const QString& path, bool overwriteChanges) {
    std::string file = path.toStdString();
    if (Status writable = CheckOutputFile(file, "project"); !writable) return writable;
    if (Status distinct = CheckDistinctFromProject(m_Project, file, {}); !distinct) return distinct;
    // Another program in the middle of changing the files: this save waits for nobody.
    auto projectLock = FileLock::Acquire(file, FileLock::Wait::No);
    if (!projectLock) return projectLock.GetError();
    std::string dictionaryFile = m_Project.DictionaryFile(file);
    auto dictionaryLock = dictionaryFile.empty() ? Result<FileLock>(FileLock())
                                                 : FileLock::Acquire(dictionaryFile, FileLock::Wait::No);
    if (!dictionaryLock) return dictionaryLock.GetError();
    // Asked before the locks were taken, so asked again under them.
    if (!overwriteChanges && path == m_strPathName && !m_Project.ChangedOnDisk(file).empty())
        return MakeError(Error::Code::Busy, "another program changed '" + m_Project.ChangedOnDisk(file).front() +
                                                "' just now; nothing was written");
    Status saved = m_Project.Save(file);
    if (!saved) return saved;
    SetPathName(path);
    SetModifiedFlag(false);
    return Done{};
}

Status CQuillonDoc::SaveDictionary() {
    std::string dictionaryFile = m_Project.DictionaryFile(m_strPathName.toStdString());
    auto lock = FileLock::Acquire(dictionaryFile, FileLock::Wait::No);
    if (!lock) return lock.GetError();
    return m_Project.SaveDictionary(m_strPathName.toStdString());
}

Status CQuillonDoc::SaveDictionaryAs(const QString& path) {
    std::string file = path.toStdString();
    if (Status allowed = CheckDictionaryPath(m_Project, m_strPathName.toStdString(), file); !allowed) return allowed;
    auto lock = FileLock::Acquire(file, FileLock::Wait::No);
    if (!lock) return lock.GetError();
    if (Status saved = m_Project.m_Dictionary.Save(file); !saved) return saved;
    // The copy becomes the project's dictionary from now on.
    m_Project.m_strDictionaryPath = file;
    SetModifiedFlag(true);
    return Done{};
}

QStringList CQuillonDoc::ChangedOnDisk() const {
    QStringList changed;
    if (m_strPathName.isEmpty()) return changed;
    for (const std::string& path : m_Project.ChangedOnDisk(m_strPathName.toStdString()))
        changed << QString::fromStdString(path);
    return changed;
}

UpdateReport CQuillonDoc::UpdateProject(const QString& modulePath, IProgress* progress) {
    CProject fresh;
    fresh.m_strModulePath = modulePath.toStdString();
    // The merge frees items in place while the progress window lets the views paint.
    emit projectAboutToChange();
    UpdateReport report = quillon::UpdateProject(m_Project, fresh, progress);
    if (report.merged) {
        bool moved = fresh.m_strModulePath != m_Project.m_strModulePath;
        m_Project.m_strModulePath = fresh.m_strModulePath;
        // A merge that changed anything must not be lost by closing without a prompt.
        if (report.Changed() || moved) SetModifiedFlag(true);
    }
    emit projectReplaced();
    return report;
}

Result<BuildReport> CQuillonDoc::BuildTarget(const QString& targetPath) {
    if (Status path = CheckTargetPath(m_Project, m_strPathName.toStdString(), targetPath.toStdString()); !path)
        return path.GetError();
    auto report = quillon::BuildTarget(m_Project, targetPath.toStdString());
    if (report && m_Project.m_strTargetPath != targetPath.toStdString()) {
        m_Project.m_strTargetPath = targetPath.toStdString();
        SetModifiedFlag(true);
    }
    return report;
}

void CQuillonDoc::NotifyItemsChanged() { emit itemsChanged(); }

} // namespace quillon::gui
