#include <QApplication>
#include <QTimer>

#include "io/FileIo.h"
#include "ui/MainFrame.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quillon::InstallTemporaryFileCleanup();
    QApplication::setOrganizationName("Quillon");
    QApplication::setApplicationName("Quillon");
    quillon::gui::CMainFrame frame;
    frame.show();
    // A project named on the command line opens first; the New Project
    // dialog follows once the window is up, as it does at every start.
    QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) frame.OpenProject(arguments.at(1));
    if (!qEnvironmentVariableIsSet("QUILLON_NO_NEW_PROJECT_DIALOG"))
        QTimer::singleShot(0, &frame, [&frame] { frame.OnFileNew(); });
    return QApplication::exec();
}
