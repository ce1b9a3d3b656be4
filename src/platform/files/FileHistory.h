// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/files/FileIo.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// The history of the game files the program changes. Every user action that changes them (a
// Save, a switch, a move, a restore) is one entry, kept for its game folder in the state
// folder's "history" with the content each file had before it and after it, so that it can be
// undone. The old content is kept, flushed, before the first byte of a file changes; a content
// kept once is not kept again. Two instances share it under a lock.
namespace gvt::platform {

// What an entry changed in one place: a file rewritten, or an entry renamed.
struct HistoryChange {
    QByteArray path;    // a real path on this machine; for a rename, the name before
    QByteArray newPath; // for a rename, the name after; empty for a rewrite
    QByteArray before;  // for a rewrite, the SHA-256 of the file's content before and after
    QByteArray after;
    bool isRename() const { return !newPath.isEmpty(); }
};

struct HistoryEntry {
    quint64 id = 0;
    qint64 time = 0; // when it ended, in milliseconds since the epoch
    QString what;
    QList<HistoryChange> changes; // in the order they were made
};

// What is kept for a game folder: the last 50 entries, and the contents they need up to
// 64 MiB; the oldest go first, and the newest stays whatever its size.
inline constexpr int kKeptActions = 50;
inline constexpr qint64 kKeptBytes = qint64(64) * 1024 * 1024;

// The kept entries of a game folder (its text, as the game install holds it) as they stand
// when read, newest first, and the contents they need. An entry a crash left half recorded is
// completed first, with what it is found to have changed.
class History {
public:
    explicit History(const QString& gameFolder);

    const QList<HistoryEntry>& entries() const { return m_entries; }
    // A kept content by its hash, checked against it; nothing when it is not kept whole.
    std::optional<QByteArray> content(const QByteArray& hash) const;
    // Its size, without reading it; -1 when it is not kept.
    qint64 contentSize(const QByteArray& hash) const {
        return m_contents.value(hash, {0, -1}).second;
    }
    // The files an entry rewrote that now hold neither what it wrote nor what a later entry
    // wrote: changed since by another program (or gone).
    QList<QByteArray> changedSince(const HistoryEntry& entry) const;

    static QByteArray hashOf(QByteArrayView content);

private:
    QList<HistoryEntry> m_entries;
    QHash<QByteArray, QPair<qint64, qint64>> m_contents; // hash: offset and size in the journal
    Descriptor m_journal;
};

// A user action under way: the rewrites and renames made while it lives are recorded in it,
// each before it is made; when it goes, it keeps what was done and leaves no entry when
// nothing was. Nothing is recorded without a game folder.
class HistoryAction {
public:
    HistoryAction(const QString& gameFolder, const QString& what);
    // Told as `one` when it holds one change, else as `many` with their number for "%1".
    // With `extending`, an earlier action's id: when that is still the newest entry, the
    // changes go into it instead.
    HistoryAction(const QString& gameFolder, const QString& one, const QString& many,
                  quint64 extending);
    ~HistoryAction();
    HistoryAction(const HistoryAction&) = delete;
    HistoryAction& operator=(const HistoryAction&) = delete;

    // The entry it records into: 0 until it records a change.
    quint64 id() const { return m_id; }

    // Keeps a change about to be made (real paths; the contents before and after); false when
    // it cannot be kept, and then it must not be made.
    bool keepRewrite(const QByteArray& target, const QByteArray& old, const QByteArray& content);
    bool keepRename(const QByteArray& from, const QByteArray& to);

private:
    bool keep(const HistoryChange& made, const QList<QPair<QByteArray, QByteArrayView>>& contents);
    void end();

    QByteArray m_folder; // its part of the history; empty without a game folder
    QString m_gameFolder, m_one, m_many;
    quint64 m_extending = 0;
    quint64 m_id = 0, m_session = 0;
    Descriptor m_owner; // held, locked, while it records: a crash lets it go
    HistoryAction* m_outer;
};

// Called by a rewrite before the first byte of a file changes, and by a rename before it is
// made: kept in the action under way, if any. False when it cannot be kept.
bool keepBeforeRewrite(const QByteArray& target, const QByteArray& old, const QByteArray& content);
bool keepBeforeRename(const QByteArray& from, const QByteArray& to);

// Completes the entries that a crash left half recorded, in every game folder's part. The
// program does it as it starts.
void recoverInterruptedActions();

} // namespace gvt::platform
