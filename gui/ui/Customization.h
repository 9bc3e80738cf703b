#pragma once
// What the user may change about the main window without touching a
// project: up to ten user toolbars, the contents of the built-in toolbars,
// the keyboard shortcut of every command and up to ten external tools.
// All of it lives in QSettings under the "Settings" group:
//   UserToolBars (array: objectName, title, commands)
//   ToolBarCommands/<toolbar objectName>  built-in toolbars the user changed
//   Shortcuts/<command objectName>        PortableText; "" means no key
//   Tools (array: name, command, arguments, folder)
// Commands are named by their QAction objectName, separators by "-".

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QStringList>
#include <array>
#include <functional>
#include <map>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace quillon::gui {

struct UserTool {
    QString name;
    QString command;
    QString arguments;
    QString folder;
    bool operator==(const UserTool&) const = default;
};

// Answers $(ProjectPath), $(ModulePath) and $(TargetPath) (asked without
// "$(" and ")"); an empty answer makes the variable disappear.
using ToolVariableResolver = std::function<QString(const QString& variable)>;
// Command objectName -> its keys.
using ShortcutTable = std::map<QString, QList<QKeySequence>>;

inline constexpr int kMaxUserToolBars = 10;
inline constexpr int kMaxUserTools = 10;
inline const QString kToolBarSeparator = QStringLiteral("-");

QStringList ToolVariables();
// Replaces the known variables in text; unknown ones stay as written.
QString ExpandToolVariables(const QString& text, const ToolVariableResolver& resolve);
// Splits the argument line first, so a path with spaces stays one argument.
QStringList ExpandToolArguments(const QString& arguments, const ToolVariableResolver& resolve);
// The command as the user reads it: its menu, its text without '&' and key hint.
QString CommandLabel(const QAction* action);
// The command (other than except) that already uses key; empty when none.
QString FindShortcutOwner(const ShortcutTable& table, const QKeySequence& key, const QString& except);

class CCustomization : public QObject {
    Q_OBJECT
public:
    // commands: every action that has an objectName; the Customize command is
    // added to them. The window's toolbars that exist now are the built-in ones.
    CCustomization(QMainWindow* window, const QList<QAction*>& commands);
    ~CCustomization() override;

    // Toolbar and dock toggles for the Toolbars menus, in the order given.
    void AddToggle(QAction* toggle);
    void SetVariableResolver(ToolVariableResolver resolver) { m_resolve = std::move(resolver); }

    // Reads the settings, creates the user toolbars, applies the shortcuts and
    // builds the tools. The caller must call it BEFORE QMainWindow::restoreState,
    // which can only place toolbars that already exist.
    void Load();
    void Save() const;

    QMenu* ToolsMenu() const { return m_toolsMenu; }
    QMenu* ToolbarsMenu() const { return m_toolbarsMenu; }
    QAction* CustomizeAction() const { return m_customize; }
    void ShowCustomizeDialog();
    // For QMainWindow::createPopupMenu(); the caller owns the menu.
    QMenu* CreatePopupMenu();

    QMainWindow* Window() const { return m_window; }
    const QList<QAction*>& Commands() const { return m_commands; }
    QAction* Command(const QString& objectName) const;

    // Toolbars: the built-in ones first, then the user toolbars by slot.
    QList<QToolBar*> ToolBars() const;
    QList<QToolBar*> UserToolBars() const;
    bool IsUserToolBar(const QToolBar* bar) const;
    // Null when ten user toolbars exist. An empty title gives "User Toolbar N".
    QToolBar* AddUserToolBar(const QString& title = {});
    void RemoveUserToolBar(QToolBar* bar);
    static QStringList ToolBarCommands(const QToolBar* bar);
    void SetToolBarCommands(QToolBar* bar, const QStringList& commands);
    QStringList DefaultToolBarCommands(const QToolBar* bar) const;

    ShortcutTable Shortcuts() const;
    QList<QKeySequence> DefaultShortcuts(const QString& command) const;
    // Refuses a key another command uses; conflict then names that command.
    bool SetShortcut(const QString& command, const QKeySequence& key, QString* conflict = nullptr);
    // Takes a whole table at once, so keys may move between commands.
    void ApplyShortcuts(const ShortcutTable& table);
    void ResetShortcuts();

    const std::vector<UserTool>& Tools() const { return m_tools; }
    // Keeps the first ten.
    void SetTools(std::vector<UserTool> tools);
    QStringList ToolArguments(const UserTool& tool) const;
    bool RunTool(int index) const;

private:
    void RegisterCommands(const QList<QAction*>& commands);
    void CaptureDefaults();
    QToolBar* CreateUserToolBar(int slot, const QString& title);
    void RemoveAllUserToolBars();
    void FillToolbarsMenu(QMenu* menu) const;
    void RebuildToolbarsMenu();
    void RebuildToolsMenu();
    void ApplyShortcut(QAction* action);
    void LoadUserToolBars();
    void LoadBuiltinToolBars();
    void LoadShortcuts();
    void LoadTools();
    void SaveUserToolBars() const;
    void SaveBuiltinToolBars() const;
    void SaveShortcuts() const;
    void SaveTools() const;

    QMainWindow* m_window;
    QList<QAction*> m_commands;
    QList<QAction*> m_toggles;
    QList<QToolBar*> m_builtinBars;
    std::array<QToolBar*, kMaxUserToolBars> m_userBars{}; // by slot, null when free
    QHash<QString, QStringList> m_defaultBarCommands;
    QHash<QString, QList<QKeySequence>> m_defaultKeys;
    QHash<QString, QKeySequence> m_keyOverrides;
    std::vector<UserTool> m_tools;
    ToolVariableResolver m_resolve;
    QAction* m_customize;
    QMenu* m_toolsMenu;
    QMenu* m_toolbarsMenu;
};

} // namespace quillon::gui
