#include "common/GameFolder.h"

#include "platform/FolderSearch.h"
#include "platform/Registry.h"

namespace gvt::common {

QString readGameFolder() {
    return platform::readGameDirValue();
}

QStringList listSubFolders(const QString& patternText) {
    QStringList names;
    for (const platform::FoundEntry& entry : platform::findEntries(patternText)) {
        if (entry.isFolder && entry.name != u"." && entry.name != u"..")
            names.append(entry.name);
    }
    return names;
}

QStringList listModFolders(const QString& gameFolder) {
    return listSubFolders(gameFolder + QStringLiteral("\\Mods\\*.*"));
}

QStringList listProfileFolders(const QString& gameFolder) {
    return listSubFolders(gameFolder + QStringLiteral("\\Mods\\GVTarsis\\Settings\\Profiles\\*.*"));
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
