// SPDX-License-Identifier: GPL-3.0-or-later
#include "music/MenuMusic.h"

#include "common/CodePage.h"

namespace gvt::music {

QString initConPath(const QString& gameFolder) {
    return gameFolder + QStringLiteral("\\Mods\\GvTarsis\\Init.con");
}

QString menuMusicNameFrom(const QByteArray& line) {
    QString name = common::fromGameText(line.mid(27).mid(6)) + QStringLiteral(".bik");
    name.remove(u'"');
    return name;
}

QByteArray menuMusicLine(const QString& chosenName) {
    const QString base = chosenName.left(std::max<qsizetype>(0, chosenName.size() - 4));
    return "Game.setMenuMusicFilename \"music/" + common::toGameText(base) + '"';
}

} // namespace gvt::music
