// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Registry.h"

#include <QString>
#include <QStringList>

namespace gvt::platform {
struct Platform;
}

namespace gvt::common {

// The game folder as the installer recorded it for this launcher, used exactly as read (empty
// when missing); it also chooses the Wine prefix in use.
QString readGameFolder(const platform::Platform& platform);

// The same, and where it was looked for when it was not found.
using GameFolderLookup = platform::GameDirLookup;
GameFolderLookup lookUpGameFolder(const platform::Platform& platform);

// What the user is told once when the game folder was not found.
QString gameNotFoundMessage(const QStringList& lookedIn);

// Folders directly below "<game folder>\Mods", in search order ("." and ".." and plain files
// skipped; hidden folders are mods too).
QStringList listModFolders(const QString& gameFolder);

// Profile folders below "<game folder>\Mods\GVTarsis\Settings\Profiles", in search order.
QStringList listProfileFolders(const QString& gameFolder);

// The names a mod is shown under and launched as: "GvTarsis" is shown as "Grimvale Tarsis",
// "vorlok" as "Vorlok"; every other folder under its own name. Exact, case-sensitive.
QString displayNameOf(const QString& folderName);
QString folderNameOf(const QString& displayName);

// Folder names found by a search, "." and ".." and plain files skipped.
QStringList listSubFolders(const QString& patternText);

} // namespace gvt::common
