// Tells the install script where the game is, found exactly as the launcher finds it: the
// game folder text, the folder to place the launcher in, and the Wine prefix in use. Given a
// folder (a path of this machine or a drive path of the prefix), it reports that one instead.
#include "common/GameFolder.h"
#include "platform/PathText.h"
#include "platform/WinePrefix.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString gameFolder =
        arguments.size() > 1 ? arguments.at(1) : gvt::common::readGameFolder();
    const QString folder =
        gameFolder.isEmpty() ? QString() : gvt::platform::resolvePath(gameFolder);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        std::fprintf(stderr, "No game folder found%s%s.\n", gameFolder.isEmpty() ? "" : ": ",
                     qPrintable(gameFolder));
        return 1;
    }
    // The launcher compares its own folder with a path of this machine byte for byte, and with
    // a drive path as a folder on disk.
    const QString place = gvt::platform::isDrivePathText(gameFolder)
                              ? QFileInfo(folder).canonicalFilePath()
                              : gameFolder;
    std::printf("%s\n%s\n%s\n", qPrintable(gameFolder), qPrintable(place),
                qPrintable(gvt::platform::winePrefixInUse()));
    return 0;
}
