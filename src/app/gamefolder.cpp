// Tells the install script where the game is, found exactly as the launcher finds it: the
// game folder text, the folder to place the launcher in, and the Wine prefix in use. Given a
// folder (a path of this machine or a drive path of the prefix), it reports that one instead.
#include "common/GameFolder.h"
#include "platform/FileName.h"
#include "platform/PathText.h"
#include "platform/WinePrefix.h"

#include <QCoreApplication>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    using gvt::platform::fileNameOfText;
    // Paths come in and go out as their own bytes, also those that are not UTF-8.
    const QString gameFolder =
        argc > 1 ? gvt::platform::textOfFileName(argv[1]) : gvt::common::readGameFolder();
    const QByteArray folder = gameFolder.isEmpty()
                                  ? QByteArray()
                                  : fileNameOfText(gvt::platform::resolvePath(gameFolder));
    struct stat st {};
    char real[PATH_MAX];
    if (folder.isEmpty() || ::stat(folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        !::realpath(folder.constData(), real)) {
        std::fprintf(stderr, "No game folder found%s%s.\n", gameFolder.isEmpty() ? "" : ": ",
                     fileNameOfText(gameFolder).constData());
        return 1;
    }
    // The launcher compares its own folder with a path of this machine byte for byte, and with
    // a drive path as a folder on disk.
    const QByteArray place =
        gvt::platform::isDrivePathText(gameFolder) ? QByteArray(real) : fileNameOfText(gameFolder);
    std::printf("%s\n%s\n%s\n", fileNameOfText(gameFolder).constData(), place.constData(),
                fileNameOfText(gvt::platform::winePrefixInUse()).constData());
    return 0;
}
