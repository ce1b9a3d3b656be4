// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/files/FileError.h"
#include "platform/files/FolderSearch.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace gvt::platform {
class FolderNames;
struct GameInstall;
} // namespace gvt::platform

// The game's files as the editors reach them: searches and renames by path text.
namespace gvt::common {

// The entries a search finds (its pattern the last component of the path text), in search
// order.
QList<platform::FoundEntry> findEntries(const platform::GameInstall& game,
                                        const QString& patternText);

// The names of the entries a search finds (folders included), in search order.
QStringList findNames(const platform::GameInstall& game, const QString& patternText);

// Renames a file, found without regard to case, to a new path text; never replaces anything.
// On failure, the message to show, naming the file and why.
[[nodiscard]] std::optional<QString> renameGameFile(const platform::GameInstall& game,
                                                    const QString& fromText, const QString& toText);

// The message for a rename that failed: the file, and why.
QString renameFailureMessage(const platform::FileError& error);

// A folder read once, for the names that match some patterns (in no particular order) and for
// renames within it that stay quick however many entries it holds.
class FolderEntries {
public:
    FolderEntries(const platform::GameInstall& game, const QString& folderText,
                  const QStringList& patterns);
    ~FolderEntries();
    const QStringList& matching(qsizetype pattern) const;
    // Renames exactly the entry `name` to `newName`, never replacing anything; on failure, the
    // message to show.
    [[nodiscard]] std::optional<QString> rename(const QString& name, const QString& newName);

private:
    std::unique_ptr<platform::FolderNames> m_folder;
};

} // namespace gvt::common
