// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// What the program keeps, in the user's state folder, while a save is under way that a crash
// could leave half done: the old content of a file rewritten in place, and a rename made by
// linking and unlinking. The next time the program touches the file or reads the folder, it
// puts things right from there.
namespace gvt::platform {

// Removes what a crash left of a file's temporary files: the names of `folder` that are
// `start` and six more characters (".Init.con.new-" and "XXXXXX"). Litter comes from an earlier
// run, so each file's folder is looked through once a run, not at every save.
void removeStaleTemporaries(const QByteArray& folder, const QByteArray& start);

// A record of a save under way, kept durably in the state folder until the save is done.
class SaveRecord {
public:
    // The whole old content of a file about to be rewritten in place (its real path), and a
    // fingerprint of what goes there, kept before the first byte of the file changes. Nothing
    // when the record cannot be kept.
    static std::optional<SaveRecord> keepRewrite(const QByteArray& target, const QByteArray& old,
                                                 const QByteArray& content);
    // A rename about to be made as a new name linked and the old one removed.
    static std::optional<SaveRecord> keepRename(const QByteArray& from, const QByteArray& to);
    // Once the save is on disk, or undone. A record not discarded stays for the recovery.
    void discard();

    SaveRecord(SaveRecord&& other) noexcept;
    SaveRecord& operator=(SaveRecord&&) = delete;
    ~SaveRecord();

private:
    SaveRecord(QByteArray path, int fd) : m_path(std::move(path)), m_fd(fd) {}
    static std::optional<SaveRecord> keep(const QByteArray& name, QByteArrayView mark,
                                          const QList<QByteArrayView>& fields);
    QByteArray m_path;
    int m_fd; // open and locked while the save goes on
};

// Held while a file (its real path) is rewritten: another instance of the program that rewrites
// the same file waits until it is let go. Where the state folder cannot be written, there is no
// lock, and the rewrite goes on.
class TargetLock {
public:
    explicit TargetLock(const QByteArray& target);
    ~TargetLock();
    TargetLock(const TargetLock&) = delete;
    TargetLock& operator=(const TargetLock&) = delete;

private:
    int m_fd = -1;
};

// Where a rewrite in place of `target` (a real path) was interrupted: puts the old content back
// when the file was left half written, or discards the record when the file is whole (old, new,
// or changed since by another program), and tells the user which. A record that a save under
// way holds is left to it.
void recoverInterruptedRewrite(const QByteArray& target);

// Completes the renames left with the file under both names, in `folder` (a real path), or in
// every folder when it is empty: the file keeps the name the user chose last.
void repairInterruptedRenames(const QByteArray& folder = {});

// Everything a crash left half done, put right: each file rewritten in place as
// recoverInterruptedRewrite() does, each rename as repairInterruptedRenames(). The program does
// it as it starts.
void recoverInterruptedSaves();

// What the user is told of a recovery; nothing is told until the program sets where it goes.
void setRecoveryReporter(std::function<void(const QString& text)> reporter);

} // namespace gvt::platform
