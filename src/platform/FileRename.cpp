// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileRename.h"

#include "platform/FileName.h"
#include "platform/PathText.h"
#include "platform/SaveJournal.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gvt::platform {

namespace {

bool entryExists(const QByteArray& path) {
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0;
}

// True when `folder` holds `name` in any letter case.
bool folderHoldsName(const QString& folder, const QString& name) {
    QString exact = folder;
    if (!exact.endsWith(u'/'))
        exact.append(u'/');
    if (entryExists(fileNameOfText(exact + name)))
        return true;
    DIR* dir = ::opendir(fileNameOfText(folder).constData());
    if (!dir)
        return false;
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        if (sameNameIgnoringCase(textOfFileName(entry->d_name), name)) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

int renameNoReplace(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        syncFolder(folderOfPath(to));
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // The file system cannot refuse to replace by itself (network shares, some FUSE mounts): a
    // hard link can, for plain files. Between the link and the removal the file has both
    // names; that is written down first, so that a crash there is put right.
    struct stat st {};
    if (::lstat(from.constData(), &st) != 0)
        return errno;
    if (S_ISDIR(st.st_mode)) {
        if (entryExists(to))
            return EEXIST;
        if (::rename(from.constData(), to.constData()) != 0)
            return errno;
        syncFolder(folderOfPath(to));
        return 0;
    }
    std::optional<SaveRecord> record = SaveRecord::keepRename(from, to);
    if (!record)
        return EIO;
    int error = 0;
    if (::link(from.constData(), to.constData()) != 0) {
        error = errno;
    } else if (::unlink(from.constData()) != 0) {
        // Left under its old name only, as the message will say.
        error = errno;
        if (::unlink(to.constData()) != 0)
            return error; // both names stay, and so does the record that puts it right
    }
    syncFolder(folderOfPath(to));
    record->discard();
    return error;
}

} // namespace

FileError::Kind fileErrorKindOf(int errnoValue) {
    switch (errnoValue) {
    case ENOENT:
    case ENOTDIR:
        return FileError::Kind::NotFound;
    case EEXIST:
    case ENOTEMPTY:
        return FileError::Kind::Exists;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EBUSY:
        return FileError::Kind::Denied;
    default:
        return FileError::Kind::Other;
    }
}

namespace {

// Renames the entry at `from` to `newName` in `folder` (paths on this machine); `twinsRuledOut`
// when no entry there can hold the new name in another letter case.
std::optional<FileError> renameInto(const QString& from, QString folder, const QString& newName,
                                    bool twinsRuledOut) {
    const QByteArray fromBytes = fileNameOfText(from);
    repairInterruptedRenames(
        fileNameOfText(folder.endsWith(u'/') && folder.size() > 1 ? folder.chopped(1) : folder));
    if (!entryExists(fromBytes))
        return FileError{FileError::Kind::NotFound, from, {}};
    struct stat st {};
    if (::stat(fileNameOfText(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return FileError{FileError::Kind::NotFound, from, folder};
    if (!folder.endsWith(u'/'))
        folder.append(u'/');
    const QString to = folder + newName;
    if (newName.isEmpty() || (!twinsRuledOut && folderHoldsName(folder, newName)))
        return FileError{FileError::Kind::Exists, from, to};
    const int error = renameNoReplace(fromBytes, fileNameOfText(to));
    if (error != 0) {
        const FileError::Kind kind = fileErrorKindOf(error);
        return FileError{kind, from, kind == FileError::Kind::Exists ? to : QString()};
    }
    return std::nullopt;
}

} // namespace

std::optional<FileError> renameFile(const QString& fromText, const QString& toText) {
    const PathSplit target = splitLastComponent(toText);
    return renameInto(resolvePath(fromText), resolvePath(target.folderText), target.lastComponent,
                      false);
}

std::optional<FileError> renameEntry(const QString& folder, const QString& name,
                                     const QString& newName, bool twinsRuledOut) {
    return renameInto(folder + u'/' + name, folder, newName, twinsRuledOut);
}

} // namespace gvt::platform
