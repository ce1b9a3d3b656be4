// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/GameFiles.h"

#include "platform/GameInstall.h"
#include "platform/files/FileRename.h"
#include "platform/files/FolderNames.h"
#include "platform/files/FolderSearch.h"
#include "platform/files/PathLookup.h"

namespace gvt::common {

namespace {

std::optional<QString> failureMessage(const std::optional<platform::FileError>& error,
                                      const QString& text = {}) {
    if (!error)
        return std::nullopt;
    // Without a game folder the path names nothing on this machine: say so, not "/…".
    if (error->path.isEmpty())
        return QStringLiteral("The file \"%1\" could not be renamed: the game folder was not "
                              "found.")
            .arg(text);
    return renameFailureMessage(*error);
}

} // namespace

QString renameFailureMessage(const platform::FileError& error) {
    QString why;
    switch (error.kind) {
    case platform::FileError::Kind::NotFound:
        why = error.otherPath.isEmpty()
                  ? QStringLiteral("it was not found")
                  : QStringLiteral("the folder \"%1\" was not found").arg(error.otherPath);
        break;
    case platform::FileError::Kind::Exists:
        why = QStringLiteral("\"%1\" already exists").arg(error.otherPath);
        break;
    case platform::FileError::Kind::Denied:
        why = QStringLiteral("permission was denied");
        break;
    case platform::FileError::Kind::Other:
        why = QStringLiteral("the file system refused it");
        break;
    }
    return QStringLiteral("The file \"%1\" could not be renamed: %2.").arg(error.path, why);
}

QList<platform::FoundEntry> findEntries(const platform::GameInstall& game,
                                        const QString& patternText) {
    const platform::PathSplit split = platform::splitLastComponent(patternText);
    return platform::findEntries(game.resolve(split.folderText), split.lastComponent);
}

QStringList findNames(const platform::GameInstall& game, const QString& patternText) {
    const QList<platform::FoundEntry> found = findEntries(game, patternText);
    QStringList names;
    names.reserve(found.size());
    for (const platform::FoundEntry& entry : found)
        names.append(entry.name);
    return names;
}

std::optional<QString> renameGameFile(const platform::GameInstall& game, const QString& fromText,
                                      const QString& toText) {
    const platform::PathSplit target = platform::splitLastComponent(toText);
    return failureMessage(platform::renameFile(game.resolve(fromText),
                                               game.resolve(target.folderText),
                                               target.lastComponent),
                          fromText);
}

FolderEntries::FolderEntries(const platform::GameInstall& game, const QString& folderText,
                             const QStringList& patterns)
    : m_folder(std::make_unique<platform::FolderNames>(game.resolve(folderText), patterns)) {}

FolderEntries::~FolderEntries() = default;

const QStringList& FolderEntries::matching(qsizetype pattern) const {
    return m_folder->matching(pattern);
}

std::optional<QString> FolderEntries::rename(const QString& name, const QString& newName) {
    return failureMessage(m_folder->rename(name, newName));
}

} // namespace gvt::common
