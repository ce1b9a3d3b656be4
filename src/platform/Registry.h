#pragma once

#include <QString>

namespace gvt::platform {

// The game folder recorded by the game's installer, GAMEDIR: first from the settings of
// organisation "Oxley Games", application "Grimvale Tarsis" (native layouts), else from the
// machine keys of the Wine prefix in use, read as the prefix's system.reg stands now. Nothing is
// written anywhere. Missing, unreadable or longer than 499 bytes: empty.
QString readGameDirValue();

// The program's own remembered values: section "Config" of organisation
// "GVTarsis Mod Manager", application = the executable's name without extension.
// A missing value reads as the empty text; each write is synced at once. A value that could
// not be saved (false) is still read back until the program ends.
QString readConfigValue(const QString& name);
bool writeConfigValue(const QString& name, const QString& value);

// The folder the "Config" values are saved in.
QString configFolder();

} // namespace gvt::platform
