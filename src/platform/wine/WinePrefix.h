// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/wine/KnownPrefix.h"

// Where the game meets Wine: the prefix in use, its drives, and the Wine to run.
namespace gvt::platform {

// The game reads GAMEDIR into 500 bytes with its terminating NUL: a longer one is none.
inline constexpr qsizetype kMaxGameDirBytes = 499;

// The Wine prefix in use: the one the last game lookup chose (usePrefix; the empty text goes
// back to none); before any lookup, $WINEPREFIX, else ~/.wine.
QString winePrefixInUse();
void usePrefix(const QString& folder);

// The folder a drive letter of a prefix stands for: its "dosdevices" link ("c:").
QString driveFolderOf(QChar letter, const QString& prefix);

// The nearest folder at or above `folder` that holds a system.reg and a "dosdevices" folder,
// or empty.
QString prefixHolding(const QString& folder);

// The game folder that the game's installer recorded in a prefix (GAMEDIR of its system.reg,
// as the file stands now), or empty.
QString prefixGameDir(const QString& prefix);

// The wine program named by $WINE (a path, or a name looked up on PATH), else "wine" on PATH.
// Empty when there is none.
QString wineProgram(const QString& wineVariable);

// How to start a program in a prefix: $WINE when set, else the Wine that the prefix's manager
// records, else the wine program of this machine.
WineStart wineStartFor(const QString& prefix, const UserPlaces& places);

// True when the file begins with "MZ", as every Windows program does.
bool isWindowsProgram(const QString& path);

} // namespace gvt::platform
