// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What the game managers write about their prefixes, read from the bytes of their files: no
// file access here, and any content reads without a crash or a hang.
namespace gvt::platform {

// A scalar of a YAML document at a path of mapping keys ({"game", "prefix"}), in the block
// style that Lutris and Bottles write: plain, single- or double-quoted, folded over lines.
// Nothing when the path leads to no scalar.
std::optional<QString> yamlScalar(QByteArrayView content, const QStringList& keys);

// The library folders that Steam's libraryfolders.vdf lists, old and new forms.
QStringList steamLibraryFolders(QByteArrayView content);

// The Proton folder that a Steam prefix's config_info names (its lines after the first are
// files of that Proton's "files" or "dist" folder); empty when it names none.
QString protonFolderOf(QByteArrayView configInfo);

// The games of one of Heroic's GamesConfig files: each game's prefix and Wine.
struct HeroicGame {
    QString winePrefix;
    QString wineBin;
    bool proton = false; // the prefix is then a compatdata folder, with the prefix in "pfx"
};
QList<HeroicGame> heroicGames(QByteArrayView content);

} // namespace gvt::platform
