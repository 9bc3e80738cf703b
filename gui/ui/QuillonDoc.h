#pragma once
// The application's one document: it owns the project, knows its file and
// whether it changed, and runs the project operations for the window. Views
// hold pointers into the project and are told when it is replaced.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUndoStack>

#include <functional>

#include "target/TargetBuilder.h"
#include "extract/Progress.h"
#include "io/Result.h"
#include "project/NewProject.h"
#include "project/Project.h"
#include "project/ProjectChange.h"
#include "project/ProjectUpdate.h"

namespace quillon::gui {

class CQuillonDoc : public QObject {
    Q_OBJECT
public:
    explicit CQuillonDoc(QObject* parent = nullptr);

    CProject& Project() { return m_Project; }
    const CProject& Project() const { return m_Project; }
    bool IsLoaded() const { return m_Project.m_bLoaded; }
    // At least one kind of resource to work on.
    bool HasItems() const;
    // The project's code page; kept so that its converters are opened once.
    const CodePage& GetCodePage() const {
        if (m_codePage.Id() != m_Project.GetCodePage()) m_codePage = CodePage(m_Project.GetCodePage());
        return m_codePage;
    }

    const QString& PathName() const { return m_strPathName; }
    // "<file name> - Quillon", or "Quillon" without a file.
    QString WindowTitle() const;
    bool IsModified() const { return m_bModified; }

    // The one way views and dialogs change the project: applies the change,
    // keeps it for Undo, marks the project modified and tells the views what
    // changed. An empty change does nothing.
    void Apply(ProjectChange change);
    // Keeps a change that a long run has already made in the project (Auto
    // Translate works on the tree from its own thread).
    void Record(ProjectChange change);
    // Takes back a change that a long run made and then gave up (a stopped
    // import): puts the project back and tells the views, keeping nothing
    // for Undo and leaving the modified flag as it was.
    void Discard(ProjectChange change);
    // Every change applied since the project was opened or created.
    QUndoStack& UndoStack() { return m_undo; }

    // Builds a new project from the module; the file at the project path is
    // only replaced when the project is saved.
    Status NewProject(const NewProjectSettings& settings, IProgress* progress);
    // Reads a project file; on failure the current project stays as it was.
    // `dictionaryDamaged` (when given) tells whether a refused open failed on
    // the dictionary alone, so the window can offer to open without it.
    Status OpenDocument(const QString& path, IProgress* progress = nullptr,
                        DamagedDictionary onDamage = DamagedDictionary::Refuse, bool* dictionaryDamaged = nullptr);
    // Saves under `path`, holding the project's and dictionary's locks while
    // it writes; refuses a path that is one of the project's other files.
    // Files another program changed since this document read or wrote them
    // are only written over with `overwriteChanges`.
    Status SaveDocument(const QString& path, bool overwriteChanges = false);
    // Writes the dictionary alone, to its file or to `path` (which then
    // becomes the project's dictionary), under the dictionary's lock.
    Status SaveDictionary();
    Status SaveDictionaryAs(const QString& path);
    // The project's files that another program changed since they were
    // opened or saved here (the window asks before saving over them).
    QStringList ChangedOnDisk() const;
    // Merges the module again (or a new version of it). When `accept` is
    // given and says no to the merge's report, the project stays as it was
    // and the report says it was not merged.
    UpdateReport UpdateProject(const QString& modulePath, IProgress* progress,
                               const std::function<bool(const UpdateReport&)>& accept = {});
    // What an item the last update changed held before it, while the item
    // is still marked as changed; null for every other item.
    const PreviousSource* PreviousOf(const CResourceItem& item) const;
    Result<BuildReport> BuildTarget(const QString& targetPath);

signals:
    // Emitted before the tree is replaced or merged: views must drop every
    // item pointer they hold, since those items are about to be freed.
    void projectAboutToChange();
    void projectReplaced();
    void itemsChanged();
    void dictionaryChanged();
    void titleChanged(const QString& title);
    // A change went in (`applied`) or was taken out again (Undo); its items
    // are in the tree as the signal is sent.
    void changeExchanged(const quillon::ProjectChange& change, bool applied);

private:
    friend class ChangeCommand;
    void SetPathName(const QString& path);
    void SetModifiedFlag(bool modified);
    // Puts a change in or takes it out, with the signals the views need.
    void Exchange(ProjectChange& change, bool apply);
    // Exchange without the changeExchanged signal: what Discard needs.
    void Swap(ProjectChange& change, bool apply);
    // A fresh project: nothing to undo, and `modified` as it is on disk or not.
    void StartHistory(bool modified);
    // Makes `project` the open one, with the views told before and after.
    void ReplaceProject(CProject project, const QString& path, bool modified);

    CProject m_Project;
    mutable CodePage m_codePage;
    QString m_strPathName;
    bool m_bModified = false;
    // A project never saved stays modified even when every change is undone.
    bool m_bNeverSaved = false;
    QUndoStack m_undo;
};

} // namespace quillon::gui
