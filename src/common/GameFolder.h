// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace gvt::platform {
struct GameInstall;
}

namespace gvt::common {

// What the user is told once when the game folder was not found.
QString gameNotFoundMessage(const QStringList& lookedIn);

// Folders directly below "<game folder>\Mods", in search order ("." and ".." and plain files
// skipped; hidden folders are mods too).
QStringList listModFolders(const platform::GameInstall& game, const QString& gameFolder);

// Profile folders below "<game folder>\Mods\GVTarsis\Settings\Profiles", in search order.
QStringList listProfileFolders(const platform::GameInstall& game, const QString& gameFolder);

// The names a mod is shown under and launched as: "GvTarsis" is shown as "Grimvale Tarsis",
// "vorlok" as "Vorlok"; every other folder under its own name. Exact, case-sensitive.
QString displayNameOf(const QString& folderName);
QString folderNameOf(const QString& displayName);

// Folder names found by a search, "." and ".." and plain files skipped.
QStringList listSubFolders(const platform::GameInstall& game, const QString& patternText);

} // namespace gvt::common
