// Prints the file type the freedesktop database gives each file, by name
// and content as a file manager asks: a name without a known extension
// leaves the content to decide.

#include <QCoreApplication>
#include <QMimeDatabase>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QMimeDatabase database;
    for (const QString& path : QCoreApplication::arguments().mid(1))
        out << database.mimeTypeForFile(path).name() << "\n";
    return 0;
}
