#pragma once

#include <QString>

// Where the game meets Wine: the prefix it was installed into, and the wine program.
namespace gvt::platform {

// The Wine prefix in use: $WINEPREFIX, else ~/.wine. Read anew at every call.
QString winePrefixInUse();

// The folder a drive letter of the prefix in use stands for: its "dosdevices" link ("c:").
QString driveFolderOf(QChar letter);

// The wine program: $WINE when set (a path, or a name looked up on PATH), else "wine" on PATH.
// Empty when there is none.
QString wineProgram();

// True when the file begins with "MZ", as every Windows program does.
bool isWindowsProgram(const QString& path);

} // namespace gvt::platform
