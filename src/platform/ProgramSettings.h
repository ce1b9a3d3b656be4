// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>

namespace gvt::platform {

// The program's own remembered values: section "Config" of organisation
// "GVTarsis Mod Manager", application = the executable's name without extension.
// A missing value reads as the empty text. Values are set in memory and saved together, once
// for each thing the user does: a save writes the settings file once. A value that could not
// be saved (false) is still read back until the program ends, and saved with the next.
QString readConfigValue(const QString& name);
void setConfigValue(const QString& name, const QString& value);
bool saveConfigValues();

// A value of a settings file as its text: one the file split at its commas joined back.
QString settingsText(const QVariant& value);

// The folder the "Config" values are saved in.
QString configFolder();

// What install.sh keeps for a launcher it placed in a game folder of a prefix no game manager
// keeps, since the menu entry starts the launcher with no variables: the prefix, and the $WINE
// it was installed with (or empty). Group "Installs" of the launcher's own settings, one group
// per launcher folder.
struct KeptInstall {
    QString prefix;
    QString wine;
};

// What was kept for a launcher in `launcherFolder` (compared on disk); empty when nothing was.
KeptInstall readKeptInstall(const QString& launcherFolder);

// Keeps, or forgets, the install of the launcher in `launcherFolder` in the settings of the
// program named `application` (the launcher's file name without extension). False when the
// settings could not be saved. Forgetting the last value removes the settings file.
bool keepInstall(const QString& application, const QString& launcherFolder,
                 const KeptInstall& kept);
bool forgetInstall(const QString& application, const QString& launcherFolder);

} // namespace gvt::platform
