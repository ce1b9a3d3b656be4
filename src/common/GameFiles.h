#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The game's files as the editors reach them: searches and renames by path text.
namespace gvt::common {

// The names of the entries a search finds (folders included), in search order.
QStringList findNames(const QString& patternText);

// Renames a file, found without regard to case, to a new path text; never replaces anything.
// On failure, the message to show, naming the file and why.
[[nodiscard]] std::optional<QString> renameGameFile(const QString& fromText, const QString& toText);

// Renames exactly the entry `name` of a folder to `newName`; on failure, the message to show.
[[nodiscard]] std::optional<QString> renameFolderEntry(const QString& folderText,
                                                       const QString& name, const QString& newName);

} // namespace gvt::common
