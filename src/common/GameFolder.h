#pragma once

#include <QString>
#include <QStringList>

namespace gvt::common {

// The game folder as the installer recorded it, used exactly as read (empty when missing).
QString readGameFolder();

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
