#pragma once
// The application's file dialog: Qt's own (not the desktop's) dialog, so that
// it can carry a places bar of the folders the user works in and a pane that
// previews a Windows module before it is chosen: its icon, what its version
// resource says about it and how much there is to translate in it.

#include <QFileDialog>
#include <QFrame>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <cstdint>
#include <optional>

#include "model/ResourceInfo.h"

class QLabel;
class QFormLayout;

namespace quillon {
class ResourceModule;
struct IconImage;
}

namespace quillon::gui {

// ---- Icons of modules -------------------------------------------------------

// The core's decoded icon as an image with alpha; a null image when a PNG
// does not decode to the size its header gave.
QImage ToImage(const IconImage& icon);

// The module's own icon (core's LoadModuleIcon), scaled down to at most
// maxSize pixels across; a null image when it has none that decodes.
QImage ModuleIconImage(const ResourceModule& module, int maxSize = 32);

// ---- What the preview shows ---------------------------------------------------

struct ModuleSummary {
    QImage icon;               // null when the module has no usable icon
    QString description;       // FileDescription of the version resource
    QString version;           // fixed file version, "1.2.3.4"
    QString language;          // English name of the module's language
    bool hasResources = false; // false: nothing to count
    ResourceCounters counts;
};

// Modules larger than this are not read for a preview: reading one happens
// while the user moves through the file list.
inline constexpr qint64 kMaxPreviewBytes = 64ll << 20;

// The summary of a file that parses as a Windows module, or nothing.
std::optional<ModuleSummary> SummarizeModule(const QString& path);

// ---- The preview pane ---------------------------------------------------------

class ModulePreview : public QFrame {
    Q_OBJECT
public:
    explicit ModulePreview(QWidget* parent = nullptr);

    // Shows the module at `path`; any other file, a folder or an empty path
    // clears the pane.
    void ShowFile(const QString& path);

    bool ShowsModule() const { return m_bModule; }
    // True when the icon label shows the module's own icon, not the glyph.
    bool HasModuleIcon() const { return !m_icon.isNull(); }
    const QImage& Icon() const { return m_icon; }

    QLabel* IconLabel() const { return m_iconLabel; }
    QLabel* DescriptionLabel() const { return m_description; }
    QLabel* VersionLabel() const { return m_version; }
    QLabel* LanguageLabel() const { return m_language; }
    QLabel* StringsLabel() const { return m_strings; }
    QLabel* MenuItemsLabel() const { return m_menuItems; }
    QLabel* DialogsLabel() const { return m_dialogs; }
    QLabel* ControlsLabel() const { return m_controls; }
    // "No resources" and similar remarks.
    QLabel* NoteLabel() const { return m_note; }

private:
    QLabel* AddRow(const char* caption);
    void SetRow(QLabel* value, const QString& text);
    void Clear();
    void Show(const ModuleSummary& summary);
    void ShowCounts(const ModuleSummary& summary);

    QFormLayout* m_form;
    QLabel* m_iconLabel;
    QLabel* m_description;
    QLabel* m_version;
    QLabel* m_language;
    QLabel* m_strings;
    QLabel* m_menuItems;
    QLabel* m_dialogs;
    QLabel* m_controls;
    QLabel* m_note;
    QImage m_icon;
    bool m_bModule = false;
};

// ---- Places ---------------------------------------------------------------------

// Settings of the application (organisation and application "Quillon").
inline constexpr const char* kRecentProjectsKey = "Settings/recentProjects";
inline constexpr const char* kRecentFilesKey = "FileDialog/recentFiles";

// The folders the places bar offers, in order: those of files recently chosen
// in this dialog, those of recent projects, then Documents, Desktop and Home.
QStringList PlaceFolders();
// `folders` as places: only folders that exist, each once (however spelled).
QList<QUrl> PlaceUrls(const QStringList& folders);

// ---- The dialog -------------------------------------------------------------------

class CFileDialog : public QFileDialog {
    Q_OBJECT
public:
    enum class Mode {
        Open,          // an existing file
        Save,          // any name; replacing a file needs confirmation
        NewOrExisting, // any name, opened or created later; no confirmation
    };

    CFileDialog(QWidget* parent, Mode mode, const QString& title, const QString& filter,
                const QString& defaultSuffix = {});

    ModulePreview* Preview() const { return m_preview; }
    // False when Qt's dialog layout was not the grid it is known to be, so
    // the pane could not be placed (the dialog still works without it).
    bool HasPreviewPane() const { return m_bPreviewPane; }

    // Starts in the folder of `path` with its name filled in; an empty path
    // starts in the folder of the file chosen last.
    void StartAt(const QString& path);
    // Runs the dialog modally: the chosen path, or "" when cancelled.
    QString Run();

    static QString GetOpenFileName(QWidget* parent, const QString& title, const QString& filter,
                                   const QString& current = {});
    static QString GetSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                   const QString& defaultSuffix, const QString& current = {});
    // For a file that may not exist yet (a dictionary is created on first save).
    static QString GetNewOrExistingFileName(QWidget* parent, const QString& title, const QString& filter,
                                            const QString& defaultSuffix, const QString& current = {});

    // Puts `path` first in the list of recently chosen files.
    static void RememberFile(const QString& path);

protected:
    void done(int result) override;

private:
    void ApplyMode(Mode mode);
    void AddPreviewPane();

    ModulePreview* m_preview;
    bool m_bPreviewPane = false;
};

} // namespace quillon::gui
