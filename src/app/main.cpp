// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ModManagerApp.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[]) {
    // What every program of this machine answers, before anything opens a window.
    if (argc > 1) {
        if (std::strcmp(argv[1], "--help") == 0) {
            std::printf(
                "Usage: gvtarsis-modmanager [--help | --version | --where]\n"
                "Starts Grimvale Tarsis with a mod, hosts and joins networked games, and edits\n"
                "the game's profiles, intro movies and music. It finds the game in the Wine\n"
                "prefixes of this user (~/.wine, $WINEPREFIX, Lutris, Bottles, Steam's Proton,\n"
                "Heroic) and places itself in the game folder; it starts the game as the\n"
                "prefix's manager does, and records each start in\n"
                "~/.local/state/gvtarsis-modmanager/last-start.log.\n"
                "  --where    print how the game would start, and start nothing\n"
                "See gvtarsis-modmanager(6).\n");
            return 0;
        }
        if (std::strcmp(argv[1], "--version") == 0) {
            std::printf("gvtarsis-modmanager %s\n", GVT_VERSION);
            return 0;
        }
        if (std::strcmp(argv[1], "--where") == 0) {
            QCoreApplication application(argc, argv);
            return gvt::app::ModManagerApp::printWhere(QByteArray(argv[0]));
        }
        std::fprintf(stderr, "gvtarsis-modmanager: unknown argument \"%s\" (try --help)\n",
                     argv[1]);
        return 2;
    }
    const QByteArray startedAs = argc > 0 ? QByteArray(argv[0]) : QByteArray();
    QApplication application(argc, argv);
    gvt::app::ModManagerApp::setUpApplication();
    return gvt::app::ModManagerApp().run(startedAs);
}
