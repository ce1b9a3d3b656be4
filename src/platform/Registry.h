// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace gvt::platform {

// The game folder recorded by the game's installer, GAMEDIR, for a launcher at `launcherPath`:
// first from the settings of organisation "Oxley Games", application "Grimvale Tarsis" (native
// layouts), else from the Wine prefix that records the launcher's own folder (or, when none
// does, the first that records any), read as its system.reg stands now. That prefix becomes the
// prefix in use. Nothing is written anywhere. Missing, unreadable or longer than 499 bytes:
// empty, and `lookedIn` says, for the user, where it was looked for.
struct GameDirLookup {
    QString gameFolder;
    QStringList lookedIn;
};
GameDirLookup lookUpGameDir(const QString& launcherPath);

// GAMEDIR of the installer's settings file, exactly as written: the rest of its line after
// "GAMEDIR=", without surrounding blanks, commas and semicolons included. A value in double
// quotes, as Qt programs save one, is read the way they wrote it. Empty when there is none.
QString settingsFileGameDir();
QString settingsFilePath();

// A game the launcher could be placed in: the settings file's (also when its folder is
// missing: it comes before any prefix), then each prefix's whose folder exists.
struct InstalledGame {
    QString manager; // "settings file", or the prefix's manager
    QString prefix;
    QString gameFolder; // the text the launcher finds
    QString place;      // where the launcher goes (empty when missing): see placeOf()
};
QList<InstalledGame> findInstalledGames();

// The program's own remembered values: section "Config" of organisation
// "GVTarsis Mod Manager", application = the executable's name without extension.
// A missing value reads as the empty text. Values are set in memory and saved together, once
// for each thing the user does: a save writes the settings file once. A value that could not
// be saved (false) is still read back until the program ends, and saved with the next.
QString readConfigValue(const QString& name);
void setConfigValue(const QString& name, const QString& value);
bool saveConfigValues();

// The folder the "Config" values are saved in.
QString configFolder();

} // namespace gvt::platform
