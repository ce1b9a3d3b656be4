// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/IntroMovies.h"

#include "common/GameFiles.h"
#include "platform/files/FileHistory.h"
#include "settings/ConfigSection.h"
#include "ui/MessageBox.h"

namespace gvt::settings {

void switchIntroMovies(const platform::GameInstall& game, bool disable, ConfigSection& config,
                       QWidget* owner) {
    const QString gameFolder = config.read("Path");
    const QString from = disable ? QStringLiteral(".bik") : QStringLiteral(".bak");
    const QString to = disable ? QStringLiteral(".bak") : QStringLiteral(".bik");
    // The four renames are one switch, undone together.
    const platform::HistoryAction action(gameFolder,
                                         disable ? QStringLiteral("Intro movies switched off")
                                                 : QStringLiteral("Intro movies switched on"));
    for (const char* movie : {"Brume", "Oxley", "Intro", "Legal"}) {
        const QString base = gameFolder + QStringLiteral("\\Movies\\") + QString::fromLatin1(movie);
        if (const auto problem = common::renameGameFile(game, base + from, base + to)) {
            ui::showMessage(owner, *problem, ui::MessageIcon::Exclamation);
            return;
        }
    }
    config.write("Movies", disable ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace gvt::settings
