// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace gvt::platform {

// How a Windows program starts in a prefix: `program arguments… <executable> <words…>`, with
// these variables besides WINEPREFIX.
struct WineStart {
    QString program;       // empty: the wine program of this machine
    QStringList arguments; // before the executable: "run" for Proton
    QList<QPair<QString, QString>> variables;
};

// A Wine prefix a user keeps: who keeps it ("Wine", "Lutris", "Bottles", "Steam", "Heroic", as
// the user knows them), its folder, and how that manager starts a program in it.
struct KnownPrefix {
    QString manager;
    QString folder;
    WineStart start;
};

} // namespace gvt::platform
