// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/wine/LaunchDescription.h"

#include <QByteArray>
#include <QString>

// The record of the last start, in the state folder: how the game was started, then what it and
// Wine printed. The one before it is kept beside it.
namespace gvt::platform {

// $XDG_STATE_HOME/gvtarsis-modmanager/last-start.log, and the one before, last-start.1.log.
QString startRecordPath();
QString previousStartRecordPath();

// What a start record says before the game's own output.
struct StartRecordHead {
    QString gameFolder;
    const LaunchDescription* launch = nullptr; // none for a program of this machine
    QByteArray folder;                         // the folder the game starts in
    QList<QByteArray> argv;
    Environment base;        // the launcher's own environment
    Environment environment; // the game's
};
QByteArray startRecordText(const StartRecordHead& head);

// Makes this the record of the last start: the one before becomes the previous record, the
// head is written, and a descriptor is given that the game's output goes to (-1 when the
// state folder cannot be written: the game starts all the same).
int openStartRecord(const QByteArray& text);

// The previous record cut to its last `keep` bytes (8 MiB): done after the game has started.
void trimPreviousStartRecord(qint64 keep = 8 << 20);

} // namespace gvt::platform
