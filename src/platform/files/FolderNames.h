// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/files/FileError.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <optional>

namespace gvt::platform {

// One folder read once: the names that match some patterns, and renames within it that never
// replace an entry whose name differs from the new one only in letter case. The kernel tells of
// every entry that comes or goes after the reading, so a rename need not read the folder again.
class FolderNames {
public:
    // Reads a folder (a path of this machine, as its bytes); the names of each pattern come in
    // the folder's own order.
    FolderNames(const QByteArray& folder, const QStringList& patterns);
    ~FolderNames();
    FolderNames(const FolderNames&) = delete;
    FolderNames& operator=(const FolderNames&) = delete;

    const QStringList& matching(qsizetype pattern) const { return m_matching[pattern]; }

    // Renames exactly the entry `name` to `newName`, spelled as given.
    std::optional<FileError> rename(const QString& name, const QString& newName);

private:
    // Reads the folder, and watches it from then on.
    void read();
    void add(const QString& name);
    void remove(const QString& name);
    // Takes in what the kernel told since the last call; false when it lost track.
    bool catchUp();

    QByteArray m_folder; // a path on this machine
    QStringList m_patterns;
    QList<QStringList> m_matching;
    int m_watch = -1;                   // the kernel's notifications, or -1 when there are none
    QPair<quint64, quint64> m_identity; // the folder read: its device and inode
    // Hashes of the names in the folder, as they are and folded to one letter case.
    QSet<quint64> m_names;
    QHash<quint64, int> m_folded;
};

} // namespace gvt::platform
