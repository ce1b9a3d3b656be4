// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace gvt::platform {
struct GameInstall;
}

namespace gvt::multiplayer {

// Map names of a mod: its "Archives\GvTarsis\Levels\*.rfa" files without the last four
// characters, in search order.
QStringList listMaps(const platform::GameInstall& game, const QString& gameFolder,
                     const QString& modFolder);

// Rewrites "<game folder>\Mods\GvTarsis\settings\maplist.con" whole from the rotation, in its
// order; tells the user when the file cannot be written.
void writeMapList(const platform::GameInstall& game, const QString& gameFolder,
                  const QStringList& rotation, QWidget* owner);

} // namespace gvt::multiplayer
