// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace gvt::platform {

// A Wine prefix a user keeps: who keeps it ("Wine", "Lutris", "Bottles", "Steam", "Heroic", as
// the user knows them), its folder, and where that manager names it, so that how it starts a
// program there can be read for the one prefix in use.
struct KnownPrefix {
    QString manager;
    QString folder;
    QString file; // the manager's file that names it: a game's or a bottle's, Steam's compatdata
    QString key;  // what in that file: Heroic's game, Steam's app id
};

} // namespace gvt::platform
