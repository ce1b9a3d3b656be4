// SPDX-License-Identifier: GPL-3.0-or-later
#include "multiplayer/MapRotation.h"

#include "common/CodePage.h"
#include "common/GameFiles.h"
#include "common/LineFile.h"
#include "ui/MessageBox.h"

namespace gvt::multiplayer {

QStringList listMaps(const platform::GameInstall& game, const QString& gameFolder,
                     const QString& modFolder) {
    QStringList maps =
        common::findNames(game, gameFolder + QStringLiteral("\\Mods\\") + modFolder +
                                    QStringLiteral("\\Archives\\GvTarsis\\Levels\\*.rfa"));
    for (QString& map : maps)
        map.chop(4);
    return maps;
}

void writeMapList(const platform::GameInstall& game, const QString& gameFolder,
                  const QStringList& rotation, QWidget* owner) {
    common::Lines lines;
    for (const QString& map : rotation)
        lines.append("game.addLevel " + common::toGameText(map));
    lines.append("game.setCurrentLevel " +
                 (rotation.isEmpty() ? QByteArray() : common::toGameText(rotation.last())));
    if (const auto result = common::rewriteWholeFile(
            game, gameFolder + QStringLiteral("\\Mods\\GvTarsis\\settings\\maplist.con"), lines);
        result != platform::RewriteResult::Rewritten)
        ui::showMessage(owner, common::writeFailedMessage(QStringLiteral("maplist.con"), result),
                        ui::MessageIcon::Exclamation);
}

} // namespace gvt::multiplayer
