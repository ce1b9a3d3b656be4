// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/FileRename.h"

#include "platform/files/FileHistory.h"
#include "platform/files/FileIo.h"
#include "platform/files/FileName.h"
#include "platform/files/PathLookup.h"
#include "platform/files/SaveJournal.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gvt::platform {

namespace {

// True when `folder` holds `name` in any letter case.
bool folderHoldsName(const QByteArray& folder, const QString& name) {
    if (entryExists(folder + fileNameOfText(name)))
        return true;
    DIR* dir = ::opendir(folder.constData());
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
    // Where links cannot serve, the new name is checked to be free, then the file renamed;
    // only another program racing for that name could be in the way between the two.
    const auto checkThenRename = [&] {
        if (entryExists(to))
            return EEXIST;
        if (::rename(from.constData(), to.constData()) != 0)
            return errno;
        syncFolder(folderOfPath(to));
        return 0;
    };
    struct stat st {};
    if (::lstat(from.constData(), &st) != 0)
        return errno;
    if (S_ISDIR(st.st_mode))
        return checkThenRename();
    std::optional<SaveRecord> record = SaveRecord::keepRename(from, to);
    if (!record)
        return EIO;
    int error = 0;
    if (::link(from.constData(), to.constData()) != 0) {
        error = errno;
        // Without hard links either (several FUSE file systems).
        if (error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EMLINK) {
            record->discard();
            return checkThenRename();
        }
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
std::optional<FileError> renameInto(const QByteArray& from, QByteArray folder,
                                    const QString& newName, bool twinsRuledOut) {
    if (folder.size() > 1 && folder.endsWith('/'))
        folder.chop(1);
    repairInterruptedRenames(folder);
    const QString fromText = textOfFileName(from);
    if (!entryExists(from))
        return FileError{FileError::Kind::NotFound, fromText, {}};
    if (!isFolder(folder))
        return FileError{FileError::Kind::NotFound, fromText, textOfFileName(folder)};
    if (!folder.endsWith('/'))
        folder.append('/');
    const QByteArray to = folder + fileNameOfText(newName);
    if (newName.isEmpty() || (!twinsRuledOut && folderHoldsName(folder, newName)))
        return FileError{FileError::Kind::Exists, fromText, textOfFileName(to)};
    const int error = keepBeforeRename(from, to) ? renameNoReplace(from, to) : EIO;
    if (error != 0) {
        const FileError::Kind kind = fileErrorKindOf(error);
        return FileError{kind, fromText,
                         kind == FileError::Kind::Exists ? textOfFileName(to) : QString()};
    }
    return std::nullopt;
}

} // namespace

std::optional<FileError> renameFile(const QByteArray& from, const QByteArray& toFolder,
                                    const QString& newName) {
    return renameInto(from, toFolder, newName, false);
}

std::optional<FileError> renameEntry(const QByteArray& folder, const QString& name,
                                     const QString& newName, bool twinsRuledOut) {
    return renameInto(folder + '/' + fileNameOfText(name), folder, newName, twinsRuledOut);
}

} // namespace gvt::platform
