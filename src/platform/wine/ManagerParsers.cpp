// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wine/ManagerParsers.h"

#include "platform/files/FileName.h"
#include "platform/wine/VdfParser.h"

#include <QJsonDocument>

namespace gvt::platform {

QStringList steamLibraryFolders(QByteArrayView content) {
    QStringList folders;
    // "libraryfolders" { "0" { "path" "…" } } now; "LibraryFolders" { "1" "…" } of old.
    const VdfNode root = parseVdfText(content);
    for (const auto& [top, list] : root.children()) {
        if (top.compare("libraryfolders", Qt::CaseInsensitive) != 0)
            continue;
        for (const auto& [key, library] : list.children()) {
            const QByteArray path = library.isSection() ? library["path"].value() : library.value();
            const bool numbered = !key.isEmpty() && std::all_of(key.begin(), key.end(), [](char c) {
                return c >= '0' && c <= '9';
            });
            if (numbered && path.startsWith('/'))
                folders.append(textOfFileName(path));
        }
    }
    return folders;
}

QString protonFolderOf(QByteArrayView configInfo) {
    const QList<QByteArray> lines = configInfo.toByteArray().split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (!line.startsWith('/'))
            continue;
        const qsizetype files = line.lastIndexOf("/files/");
        const qsizetype dist = line.lastIndexOf("/dist/");
        const qsizetype cut = std::max(files, dist);
        if (cut > 0)
            return textOfFileName(line.first(cut));
    }
    return {};
}

QStringList heroicGameNames(QByteArrayView gameConfig) {
    QStringList games;
    const QJsonObject root = QJsonDocument::fromJson(gameConfig.toByteArray()).object();
    for (auto it = root.begin(); it != root.end(); ++it) {
        if (it.value().isObject())
            games.append(it.key());
    }
    return games;
}

QJsonObject heroicGameSettings(QByteArrayView gameConfig, QByteArrayView globalConfig,
                               const QString& game) {
    const QJsonObject defaults =
        QJsonDocument::fromJson(globalConfig.toByteArray()).object()[u"defaultSettings"].toObject();
    QJsonObject settings;
    for (const char* key : {"autoInstallDxvk",  "autoInstallDxvkNvapi",
                            "autoInstallVkd3d", "preferSystemLibs",
                            "enableEsync",      "enableMsync",
                            "enableFSR",        "enableFsync",
                            "maxSharpness",     "launcherArgs",
                            "nvidiaPrime",      "enviromentOptions",
                            "wrapperOptions",   "showFps",
                            "showMangohud",     "useGameMode",
                            "useSteamRuntime",  "battlEyeRuntime",
                            "eacRuntime",       "gamescope",
                            "verboseLogs",      "wineVersion",
                            "winePrefix"}) {
        const QString name = QString::fromLatin1(key);
        if (defaults.contains(name))
            settings.insert(name, defaults[name]);
    }
    const QJsonObject own =
        QJsonDocument::fromJson(gameConfig.toByteArray()).object()[game].toObject();
    for (auto it = own.begin(); it != own.end(); ++it)
        settings.insert(it.key(), it.value());
    return settings;
}

QString steamLaunchOptions(QByteArrayView localConfig, const QString& appId) {
    const VdfNode apps = parseVdfText(localConfig)
                             .at({"UserLocalConfigStore", "Software", "Valve", "Steam", "apps"});
    return textOfFileName(apps[appId.toUtf8()]["LaunchOptions"].value());
}

QString shortcutLaunchOptions(QByteArrayView shortcuts, const QString& appId) {
    const VdfNode root = parseVdfBinary(shortcuts);
    for (const auto& [index, shortcut] : root["shortcuts"].children()) {
        if (shortcut["appid"].value() == appId.toUtf8())
            return textOfFileName(shortcut["LaunchOptions"].value());
    }
    return {};
}

} // namespace gvt::platform
