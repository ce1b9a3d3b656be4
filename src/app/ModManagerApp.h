// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace gvt::app {

// Start-up and shut-down: runs the main window modally; the program ends when it closes.
class ModManagerApp {
public:
    // What the desktop learns of the program: its icon and its menu entry (run() names a
    // game's own entry when it was started from one). No display name: the window system would
    // append it to every title bar.
    static void setUpApplication();

    // `startedAs`: the program's first argument, the path it was started by, as its bytes.
    int run(const QByteArray& startedAs);

    // "--where": how a Start of the first mod would start the game, printed, nothing started.
    // 1 when no game is found, or nothing could start.
    static int printWhere(const QByteArray& startedAs);
};

} // namespace gvt::app
