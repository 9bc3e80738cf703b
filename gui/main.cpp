#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QProcess>
#include <QTimer>

#include "io/FileIo.h"
#include "io/Heap.h"
#include "ui/MainFrame.h"
#include "ui/Translations.h"

namespace {

// The file manager hands every selected project to one start (%F in the
// desktop entry). Each window holds one project, so every project after the
// first gets a window of its own, in a process of its own, and nothing a
// window holds is closed for it.
void OpenOthersInOwnWindows(const QStringList& projects) {
    for (qsizetype i = 1; i < projects.size(); ++i)
        QProcess::startDetached(QApplication::applicationFilePath(), {projects.at(i)});
}

} // namespace

int main(int argc, char** argv) {
    quillon::PrepareHeapForLargeTrees();
    QApplication app(argc, argv);
    quillon::InstallTemporaryFileCleanup();
    QApplication::setOrganizationName("Quillon");
    QApplication::setApplicationName("Quillon");
    QApplication::setApplicationVersion(QUILLON_VERSION);
    // The desktop entry's name: window managers find the icon and the entry through it.
    QGuiApplication::setDesktopFileName("org.quillon.Quillon");
    QApplication::setWindowIcon(QIcon::fromTheme("org.quillon.Quillon"));
    // The desktop's language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG) decides.
    quillon::gui::InstallTranslators(app, QLocale::system());

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "Translate the user interface of Windows modules."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        "project",
        QCoreApplication::translate("main",
                                    "Quillon project (.prj) to open; more projects open in windows of their own."),
        "[PROJECT.prj...]");
    parser.process(app);
    const QStringList projects = parser.positionalArguments();

    quillon::gui::CMainFrame frame;
    frame.show();
    // A project named on the command line (or opened from the file manager)
    // opens in this window; without one, the New Project dialog follows once
    // the window is up.
    bool opened = !projects.isEmpty() && frame.OpenProject(projects.first());
    OpenOthersInOwnWindows(projects);
    if (!opened && !qEnvironmentVariableIsSet("QUILLON_NO_NEW_PROJECT_DIALOG"))
        QTimer::singleShot(0, &frame, [&frame] { frame.OnFileNew(); });
    // For scripted screenshots and demonstrations: commands of the menus, by
    // their names, run in order once the window is up ("NextUntranslated,Translate").
    const QStringList commands = qEnvironmentVariable("QUILLON_RUN_COMMANDS").split(',', Qt::SkipEmptyParts);
    if (!commands.isEmpty())
        QTimer::singleShot(500, &frame, [&frame, commands] {
            for (const QString& name : commands)
                if (QAction* command = frame.Action(name.trimmed()); command && command->isEnabled()) command->trigger();
        });
    return QApplication::exec();
}
