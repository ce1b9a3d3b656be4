// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/LineFile.h"

#include <QString>

namespace gvt::multiplayer {

// The values behind the Multiplayer dialog's controls. It outlives the dialog's window, so
// some fields carry over from one opening to the next.
struct MultiplayerForm {
    enum class Mode { Server, Client };

    Mode mode = Mode::Server;
    bool dedicated = false;
    bool clientInternet = false;
    QString ipAddress;
    QString clientPassword;
    QString serverName;
    QString maxPlayers;
    QString serverPassword;
    QString roundTime;
    QString numberOfRounds;
    QString spawnTime;
    QString startDelay;
    int ticketRatio = 100;
    int friendlyFireSoldiers = 100;
    int friendlyFireVehicles = 100;
    int aiSkill = 100;
    bool serverInternet = false;
    bool coop = false;

    QString gameFolder;
    // ServerSettings.con as last read, 39 lines; empty until the first successful read.
    common::Lines serverSettingsLines = common::Lines(39);
};

} // namespace gvt::multiplayer
