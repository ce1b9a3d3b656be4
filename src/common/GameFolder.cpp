// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/GameFolder.h"

#include "common/GameFiles.h"

namespace gvt::common {

QString gameNotFoundMessage(const QStringList& lookedIn) {
    constexpr qsizetype kShown = 12;
    QString places;
    for (qsizetype i = 0; i < std::min(lookedIn.size(), kShown); ++i)
        places += QStringLiteral("\n- ") + lookedIn[i];
    if (lookedIn.size() > kShown)
        places += QStringLiteral("\n- and %1 more prefixes").arg(lookedIn.size() - kShown);
    return QStringLiteral(
               "Grimvale Tarsis was not found: neither a Wine prefix nor the settings file gives "
               "its folder (the GAMEDIR its installer writes). The Mod Manager looked "
               "in:%1\n\nInstall the game with its own installer into a Wine prefix, "
               "or name its folder in the settings file as a line "
               "\"GAMEDIR=/path/to/Grimvale Tarsis\".")
        .arg(places);
}

QStringList listSubFolders(const platform::GameInstall& game, const QString& patternText) {
    QStringList names;
    for (const platform::FoundEntry& entry : findEntries(game, patternText)) {
        if (entry.isFolder && entry.name != u"." && entry.name != u"..")
            names.append(entry.name);
    }
    return names;
}

QStringList listModFolders(const platform::GameInstall& game, const QString& gameFolder) {
    return listSubFolders(game, gameFolder + QStringLiteral("\\Mods\\*.*"));
}

QStringList listProfileFolders(const platform::GameInstall& game, const QString& gameFolder) {
    return listSubFolders(game,
                          gameFolder + QStringLiteral("\\Mods\\GVTarsis\\Settings\\Profiles\\*.*"));
}

QString displayNameOf(const QString& folderName) {
    if (folderName == u"GvTarsis")
        return QStringLiteral("Grimvale Tarsis");
    if (folderName == u"vorlok")
        return QStringLiteral("Vorlok");
    return folderName;
}

QString folderNameOf(const QString& displayName) {
    if (displayName == u"Grimvale Tarsis")
        return QStringLiteral("GvTarsis");
    if (displayName == u"Vorlok")
        return QStringLiteral("vorlok");
    return displayName;
}

} // namespace gvt::common
