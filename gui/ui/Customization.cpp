#include "ui/Customization.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QToolBar>
#include <algorithm>
#include <optional>

#include "ui/CustomizeDialog.h"
#include "controls/AppSettings.h"

namespace quillon::gui {

namespace {

const QString kGroup = QStringLiteral("Settings");


QString UserToolBarName(int slot) { return QStringLiteral("UserToolBar%1").arg(slot); }

// The slot of a saved user toolbar, or -1 when the name is not one of ours.
int UserToolBarSlot(const QString& objectName) {
    static const QRegularExpression pattern(QStringLiteral("^UserToolBar([0-9])$"));
    QRegularExpressionMatch match = pattern.match(objectName);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QString StripMnemonics(const QString& text) {
    QString visible = text.section(QLatin1Char('\t'), 0, 0);
    QString result;
    for (qsizetype i = 0; i < visible.size(); ++i) {
        if (visible[i] != QLatin1Char('&')) {
            result += visible[i];
        } else if (i + 1 < visible.size() && visible[i + 1] == QLatin1Char('&')) {
            result += QLatin1Char('&'); // "&&" is a literal ampersand
            ++i;
        }
    }
    return result;
}

std::optional<QString> VariableValue(const QString& name, const ToolVariableResolver& resolve) {
    for (const QString& known : ToolVariables()) {
        if (known.compare(name, Qt::CaseInsensitive) == 0) return resolve ? resolve(known) : QString();
    }
    return std::nullopt;
}

} // namespace

QStringList ToolVariables() {
    return {QStringLiteral("ProjectPath"), QStringLiteral("ModulePath"), QStringLiteral("TargetPath")};
}

QString ExpandToolVariables(const QString& text, const ToolVariableResolver& resolve) {
    static const QRegularExpression pattern(QStringLiteral(R"(\$\((\w+)\))"));
    QString result;
    qsizetype copied = 0;
    QRegularExpressionMatchIterator matches = pattern.globalMatch(text);
    while (matches.hasNext()) {
        QRegularExpressionMatch match = matches.next();
        result += text.mid(copied, match.capturedStart() - copied);
        result += VariableValue(match.captured(1), resolve).value_or(match.captured(0));
        copied = match.capturedEnd();
    }
    return result + text.mid(copied);
}

QStringList ExpandToolArguments(const QString& arguments, const ToolVariableResolver& resolve) {
    QStringList result;
    for (const QString& token : QProcess::splitCommand(arguments)) {
        QString expanded = ExpandToolVariables(token, resolve);
        // A variable without a value must not leave an empty argument behind.
        if (expanded.isEmpty() && !token.isEmpty()) continue;
        result << expanded;
    }
    return result;
}

QString CommandLabel(const QAction* action) {
    QString text = StripMnemonics(action->text());
    // Several commands share a text ("Open...", "Save"); their menu tells them apart.
    for (QObject* object : action->associatedObjects()) {
        auto* menu = qobject_cast<QMenu*>(object);
        if (menu != nullptr && !menu->title().isEmpty()) return StripMnemonics(menu->title()) + QStringLiteral(": ") + text;
    }
    return text;
}

QString FindShortcutOwner(const ShortcutTable& table, const QKeySequence& key, const QString& except) {
    if (key.isEmpty()) return {};
    for (const auto& [command, keys] : table) {
        if (command != except && keys.contains(key)) return command;
    }
    return {};
}

CCustomization::CCustomization(QMainWindow* window, const QList<QAction*>& commands)
    : QObject(window), m_window(window), m_customize(new QAction(tr("&Customize..."), window)),
      m_toolsMenu(new QMenu(tr("&Tools"), window)), m_toolbarsMenu(new QMenu(tr("&Toolbars"), window)) {
    m_customize->setObjectName(QStringLiteral("Customize"));
    m_customize->setStatusTip(tr("Change the toolbars, the keyboard shortcuts and the tools"));
    connect(m_customize, &QAction::triggered, this, &CCustomization::ShowCustomizeDialog);
    m_toolsMenu->setObjectName(QStringLiteral("ToolsMenu"));
    m_toolbarsMenu->setObjectName(QStringLiteral("ToolbarsMenu"));
    m_toolsMenu->addAction(m_customize);
    RegisterCommands(commands);
    for (QToolBar* bar : window->findChildren<QToolBar*>(Qt::FindDirectChildrenOnly)) {
        if (!bar->objectName().isEmpty()) m_builtinBars << bar;
    }
    CaptureDefaults();
    RebuildToolbarsMenu();
    RebuildToolsMenu();
}

CCustomization::~CCustomization() = default;

void CCustomization::RegisterCommands(const QList<QAction*>& commands) {
    for (QAction* action : commands) {
        // Qt names some actions of its own widgets (a line edit's clear
        // button): they have no text and are no commands of ours.
        if (action == nullptr || action->objectName().isEmpty() || action->text().isEmpty()) continue;
        if (Command(action->objectName()) == nullptr) m_commands << action;
    }
    if (Command(m_customize->objectName()) == nullptr) m_commands << m_customize;
}

// What the program set up is what "Reset" goes back to.
void CCustomization::CaptureDefaults() {
    for (QAction* action : m_commands) m_defaultKeys.insert(action->objectName(), action->shortcuts());
    for (QToolBar* bar : m_builtinBars) m_defaultBarCommands.insert(bar->objectName(), ToolBarCommands(bar));
}

void CCustomization::AddToggle(QAction* toggle) {
    m_toggles << toggle;
    RebuildToolbarsMenu();
}

QAction* CCustomization::Command(const QString& objectName) const {
    for (QAction* action : m_commands) {
        if (action->objectName() == objectName) return action;
    }
    return nullptr;
}

// ---- toolbars ----

QList<QToolBar*> CCustomization::ToolBars() const { return m_builtinBars + UserToolBars(); }

QList<QToolBar*> CCustomization::UserToolBars() const {
    QList<QToolBar*> bars;
    for (QToolBar* bar : m_userBars) {
        if (bar != nullptr) bars << bar;
    }
    return bars;
}

bool CCustomization::IsUserToolBar(const QToolBar* bar) const {
    return bar != nullptr && std::find(m_userBars.begin(), m_userBars.end(), bar) != m_userBars.end();
}

QToolBar* CCustomization::CreateUserToolBar(int slot, const QString& title) {
    auto* bar = new QToolBar(title.isEmpty() ? tr("User Toolbar %1").arg(slot + 1) : title, m_window);
    bar->setObjectName(UserToolBarName(slot));
    m_window->addToolBar(Qt::TopToolBarArea, bar);
    m_userBars[static_cast<std::size_t>(slot)] = bar;
    return bar;
}

QToolBar* CCustomization::AddUserToolBar(const QString& title) {
    auto free = std::find(m_userBars.begin(), m_userBars.end(), nullptr);
    if (free == m_userBars.end()) return nullptr;
    QToolBar* bar = CreateUserToolBar(static_cast<int>(free - m_userBars.begin()), title);
    RebuildToolbarsMenu();
    return bar;
}

void CCustomization::RemoveUserToolBar(QToolBar* bar) {
    auto slot = std::find(m_userBars.begin(), m_userBars.end(), bar);
    if (bar == nullptr || slot == m_userBars.end()) return;
    *slot = nullptr;
    m_window->removeToolBar(bar);
    delete bar;
    RebuildToolbarsMenu();
}

void CCustomization::RemoveAllUserToolBars() {
    for (QToolBar* bar : UserToolBars()) RemoveUserToolBar(bar);
}

QStringList CCustomization::ToolBarCommands(const QToolBar* bar) {
    QStringList names;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator())
            names << kToolBarSeparator;
        else if (!action->objectName().isEmpty())
            names << action->objectName();
    }
    return names;
}

void CCustomization::SetToolBarCommands(QToolBar* bar, const QStringList& commands) {
    bar->clear();
    for (const QString& name : commands) {
        if (name == kToolBarSeparator) {
            bar->addSeparator();
        } else if (QAction* action = Command(name)) {
            bar->addAction(action);
        }
    }
}

QStringList CCustomization::DefaultToolBarCommands(const QToolBar* bar) const {
    return bar != nullptr ? m_defaultBarCommands.value(bar->objectName()) : QStringList();
}

// ---- menus ----

void CCustomization::FillToolbarsMenu(QMenu* menu) const {
    for (QAction* toggle : m_toggles) menu->addAction(toggle);
    for (QToolBar* bar : UserToolBars()) menu->addAction(bar->toggleViewAction());
    menu->addSeparator();
    menu->addAction(m_customize);
}

void CCustomization::RebuildToolbarsMenu() {
    m_toolbarsMenu->clear();
    FillToolbarsMenu(m_toolbarsMenu);
}

QMenu* CCustomization::CreatePopupMenu() {
    auto* menu = new QMenu(m_window);
    FillToolbarsMenu(menu);
    return menu;
}

// Customize stays in the menu throughout, so the Tools menu remains the
// first menu it belongs to and its label does not change.
void CCustomization::RebuildToolsMenu() {
    for (QAction* action : m_toolsMenu->actions()) {
        if (action == m_customize) continue;
        m_toolsMenu->removeAction(action);
        delete action;
    }
    for (int index = 0; index < static_cast<int>(m_tools.size()); ++index) {
        auto* action = new QAction(m_tools[static_cast<std::size_t>(index)].name, m_toolsMenu);
        action->setStatusTip(m_tools[static_cast<std::size_t>(index)].command);
        connect(action, &QAction::triggered, this, [this, index] { RunTool(index); });
        m_toolsMenu->insertAction(m_customize, action);
    }
    if (!m_tools.empty()) m_toolsMenu->insertSeparator(m_customize);
}

void CCustomization::ShowCustomizeDialog() {
    CCustomizeDialog dialog(*this, m_window);
    dialog.exec();
}

// ---- shortcuts ----

ShortcutTable CCustomization::Shortcuts() const {
    ShortcutTable table;
    for (QAction* action : m_commands) table[action->objectName()] = action->shortcuts();
    return table;
}

QList<QKeySequence> CCustomization::DefaultShortcuts(const QString& command) const { return m_defaultKeys.value(command); }

void CCustomization::ApplyShortcut(QAction* action) {
    auto override = m_keyOverrides.constFind(action->objectName());
    if (override == m_keyOverrides.constEnd())
        action->setShortcuts(m_defaultKeys.value(action->objectName()));
    else
        action->setShortcut(*override); // an empty sequence removes the key
}

bool CCustomization::SetShortcut(const QString& command, const QKeySequence& key, QString* conflict) {
    if (Command(command) == nullptr) return false;
    ShortcutTable table = Shortcuts();
    QString owner = FindShortcutOwner(table, key, command);
    if (!owner.isEmpty()) {
        if (conflict != nullptr) *conflict = CommandLabel(Command(owner));
        return false;
    }
    table[command] = key.isEmpty() ? QList<QKeySequence>() : QList<QKeySequence>{key};
    ApplyShortcuts(table);
    return true;
}

void CCustomization::ApplyShortcuts(const ShortcutTable& table) {
    for (QAction* action : m_commands) {
        auto keys = table.find(action->objectName());
        if (keys == table.end()) continue;
        // Only departures from the program's keys are stored, so new default
        // keys of a later version still reach users who changed other commands.
        if (keys->second == DefaultShortcuts(keys->first))
            m_keyOverrides.remove(keys->first);
        else
            m_keyOverrides.insert(keys->first, keys->second.value(0));
        ApplyShortcut(action);
    }
}

void CCustomization::ResetShortcuts() {
    m_keyOverrides.clear();
    for (QAction* action : m_commands) ApplyShortcut(action);
}

// ---- tools ----

void CCustomization::SetTools(std::vector<UserTool> tools) {
    if (tools.size() > std::size_t{kMaxUserTools}) tools.resize(std::size_t{kMaxUserTools});
    m_tools = std::move(tools);
    RebuildToolsMenu();
}

QStringList CCustomization::ToolArguments(const UserTool& tool) const { return ExpandToolArguments(tool.arguments, m_resolve); }

bool CCustomization::RunTool(int index) const {
    if (index < 0 || index >= static_cast<int>(m_tools.size())) return false;
    const UserTool& tool = m_tools[static_cast<std::size_t>(index)];
    if (QProcess::startDetached(tool.command, ToolArguments(tool), tool.folder)) return true;
    QMessageBox::warning(m_window, tr("Tools"), tr("Could not start \"%1\".").arg(tool.command));
    return false;
}

// ---- settings ----

void CCustomization::Load() {
    LoadUserToolBars();
    LoadBuiltinToolBars();
    LoadShortcuts();
    LoadTools();
    RebuildToolbarsMenu();
    RebuildToolsMenu();
}

void CCustomization::Save() const {
    SaveUserToolBars();
    SaveBuiltinToolBars();
    SaveShortcuts();
    SaveTools();
}

void CCustomization::LoadUserToolBars() {
    RemoveAllUserToolBars();
    QSettings settings = AppSettings();
    settings.beginGroup(kGroup);
    int count = settings.beginReadArray(QStringLiteral("UserToolBars"));
    for (int index = 0; index < count; ++index) {
        settings.setArrayIndex(index);
        int slot = UserToolBarSlot(settings.value(QStringLiteral("objectName")).toString());
        if (slot < 0 || m_userBars[static_cast<std::size_t>(slot)] != nullptr) continue; // damaged or repeated entry
        QToolBar* bar = CreateUserToolBar(slot, settings.value(QStringLiteral("title")).toString());
        SetToolBarCommands(bar, settings.value(QStringLiteral("commands")).toStringList());
    }
    settings.endArray();
}

void CCustomization::SaveUserToolBars() const {
    QSettings settings = AppSettings();
    settings.beginGroup(kGroup);
    settings.remove(QStringLiteral("UserToolBars"));
    QList<QToolBar*> bars = UserToolBars();
    settings.beginWriteArray(QStringLiteral("UserToolBars"), static_cast<int>(bars.size()));
    for (int index = 0; index < bars.size(); ++index) {
        settings.setArrayIndex(index);
        settings.setValue(QStringLiteral("objectName"), bars[index]->objectName());
        settings.setValue(QStringLiteral("title"), bars[index]->windowTitle());
        settings.setValue(QStringLiteral("commands"), ToolBarCommands(bars[index]));
    }
    settings.endArray();
}

void CCustomization::LoadBuiltinToolBars() {
    QSettings settings = AppSettings();
    settings.beginGroup(kGroup + QStringLiteral("/ToolBarCommands"));
    for (QToolBar* bar : m_builtinBars) {
        QStringList wanted = settings.contains(bar->objectName()) ? settings.value(bar->objectName()).toStringList()
                                                                  : DefaultToolBarCommands(bar);
        if (ToolBarCommands(bar) != wanted) SetToolBarCommands(bar, wanted);
    }
}

void CCustomization::SaveBuiltinToolBars() const {
    QSettings settings = AppSettings();
    settings.beginGroup(kGroup);
    settings.remove(QStringLiteral("ToolBarCommands"));
    settings.beginGroup(QStringLiteral("ToolBarCommands"));
    for (QToolBar* bar : m_builtinBars) {
        QStringList commands = ToolBarCommands(bar);
        if (commands != DefaultToolBarCommands(bar)) settings.setValue(bar->objectName(), commands);
    }
}

void CCustomization::LoadShortcuts() {
    m_keyOverrides.clear();
    QSettings settings = AppSettings();
    settings.beginGroup(kGroup + QStringLiteral("/Shortcuts"));
    for (QAction* action : m_commands) {
        const QString name = action->objectName();
        if (settings.contains(name))
            m_keyOverrides.insert(name, QKeySequence::fromString(settings.value(name).toString(), QKeySequence::PortableText));
        ApplyShortcut(action);
    }
}

void CCustomization::SaveShortcuts() const {
    QSettings settings = AppSettings();
    settings.beginGroup(kGroup);
    settings.remove(QStringLiteral("Shortcuts"));
    settings.beginGroup(QStringLiteral("Shortcuts"));
    for (auto key = m_keyOverrides.constBegin(); key != m_keyOverrides.constEnd(); ++key)
        settings.setValue(key.key(), key.value().toString(QKeySequence::PortableText));
}

void CCustomization::LoadTools() {
    QSettings settings = AppSettings();
    settings.beginGroup(kGroup);
    int count = std::min(settings.beginReadArray(QStringLiteral("Tools")), kMaxUserTools);
    std::vector<UserTool> tools;
    for (int index = 0; index < count; ++index) {
        settings.setArrayIndex(index);
        tools.push_back({settings.value(QStringLiteral("name")).toString(), settings.value(QStringLiteral("command")).toString(),
                         settings.value(QStringLiteral("arguments")).toString(),
                         settings.value(QStringLiteral("folder")).toString()});
    }
    settings.endArray();
    m_tools = std::move(tools);
}

void CCustomization::SaveTools() const {
    QSettings settings = AppSettings();
    settings.beginGroup(kGroup);
    settings.remove(QStringLiteral("Tools"));
    settings.beginWriteArray(QStringLiteral("Tools"), static_cast<int>(m_tools.size()));
    for (int index = 0; index < static_cast<int>(m_tools.size()); ++index) {
        const UserTool& tool = m_tools[static_cast<std::size_t>(index)];
        settings.setArrayIndex(index);
        settings.setValue(QStringLiteral("name"), tool.name);
        settings.setValue(QStringLiteral("command"), tool.command);
        settings.setValue(QStringLiteral("arguments"), tool.arguments);
        settings.setValue(QStringLiteral("folder"), tool.folder);
    }
    settings.endArray();
}

} // namespace quillon::gui
