// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// What the game managers write about their prefixes and launches, read from the bytes of their
// files: no file access here, and any content reads without a crash or a hang.
namespace gvt::platform {

// The library folders that Steam's libraryfolders.vdf lists, old and new forms.
QStringList steamLibraryFolders(QByteArrayView content);

// The Proton folder that a Steam prefix's config_info names (its lines after the first are
// files of that Proton's "files" or "dist" folder); empty when it names none.
QString protonFolderOf(QByteArrayView configInfo);

// The games one of Heroic's GamesConfig files holds (its keys that hold a game's settings).
QStringList heroicGameNames(QByteArrayView gameConfig);

// A game's settings as Heroic reads them: the defaults of its config.json for the keys a game
// inherits, overlaid by the game's own, key by key.
QJsonObject heroicGameSettings(QByteArrayView gameConfig, QByteArrayView globalConfig,
                               const QString& game);

// The launch options of a Steam app: of a Steam game in localconfig.vdf, of a non-Steam game
// (its unsigned 32-bit id) in the binary shortcuts.vdf. Empty when there are none.
QString steamLaunchOptions(QByteArrayView localConfig, const QString& appId);
QString shortcutLaunchOptions(QByteArrayView shortcuts, const QString& appId);

} // namespace gvt::platform
