// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/FileReplace.h"

#include "platform/files/FileHistory.h"
#include "platform/files/FileIo.h"
#include "platform/files/FileName.h"
#include "platform/files/PathLookup.h"
#include "platform/files/SaveJournal.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gvt::platform {

namespace {

// Reserves the disk space a file needs to grow from `oldSize` to `newSize` without changing it.
bool reserveSpace(int fd, qsizetype oldSize, qsizetype newSize) {
    if (newSize <= oldSize ||
        ::fallocate(fd, FALLOC_FL_KEEP_SIZE, off_t(oldSize), off_t(newSize - oldSize)) == 0)
        return true;
    if (errno != EOPNOTSUPP)
        return false;
    // Without reservations, the file grows by zeros first; the old end is not touched.
    if (::posix_fallocate(fd, off_t(oldSize), off_t(newSize - oldSize)) == 0)
        return true;
    // Taking the zeros back is worth a try; the caller reports the failure either way.
    [[maybe_unused]] const int shrunk = ::ftruncate(fd, off_t(oldSize));
    return false;
}

// Without a temporary file the new content goes over the old, in place: only once the whole
// old content is kept where a crash cannot take it (and the program puts it back from), and
// all the space the new content needs is reserved. Should a write fail all the same, the old
// content is put back at once.
bool rewriteInPlace(int fd, const QByteArray& target, const QByteArray& old,
                    const QByteArray& content) {
    std::optional<SaveRecord> record = SaveRecord::keepRewrite(target, old, content);
    if (!record)
        return false;
    if (!reserveSpace(fd, old.size(), content.size())) {
        record->discard();
        return false;
    }
    if (writeFully(fd, content, 0) && ::ftruncate(fd, off_t(content.size())) == 0 &&
        ::fsync(fd) == 0) {
        record->discard();
        return true;
    }
    if (writeFully(fd, old, 0) && ::ftruncate(fd, off_t(old.size())) == 0 && ::fsync(fd) == 0)
        record->discard();
    return false;
}

// The rewrite of a file that is no link to a file of another name, the target's lock held.
bool rewrite(const QByteArray& target,
             const std::function<QByteArray(const QByteArray& old)>& build) {
    recoverInterruptedRewrite(target);
    Descriptor writer(::open(target.constData(), O_RDWR | O_CLOEXEC));
    struct stat st {};
    if (!writer.valid() || ::fstat(writer.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    // A file nobody may write is write-protected, also for an administrator who could.
    if ((st.st_mode & 0222) == 0)
        return false;
    QByteArray old;
    if (!readFully(writer.get(), old))
        return false;
    const QByteArray content = build(old);
    if (!keepBeforeRewrite(target, old, content))
        return false;

    // The temporary name stays within the file-name limit however long the file's own name is.
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = folderOfPath(target);
    const long nameMax = ::pathconf(folder.constData(), _PC_NAME_MAX);
    const QByteArray start =
        '.' + target.mid(slash + 1).left((nameMax > 0 ? nameMax : 255) - 12) + ".new-";
    removeStaleTemporaries(folder, start);
    QByteArray temp = target.left(slash + 1) + start + "XXXXXX";
    Descriptor tempFd(::mkostemp(temp.data(), O_CLOEXEC));
    if (!tempFd.valid()) {
        if (errno == EACCES || errno == EPERM || errno == EROFS)
            return rewriteInPlace(writer.get(), target, old, content);
        return false;
    }
    // The owner and group go over where the user may set them (the group alone where only that
    // is allowed, as for a game installed for a group), then the permissions, which a change of
    // owner may clear.
    [[maybe_unused]] const bool owned = ::fchown(tempFd.get(), st.st_uid, st.st_gid) == 0 ||
                                        ::fchown(tempFd.get(), uid_t(-1), st.st_gid) == 0;
    const bool written = writeFully(tempFd.get(), content, 0) && ::fsync(tempFd.get()) == 0 &&
                         ::fchmod(tempFd.get(), st.st_mode & 07777) == 0;
    if (!tempFd.close() || !written || ::rename(temp.constData(), target.constData()) != 0) {
        ::unlink(temp.constData());
        return false;
    }
    syncFolder(folder);
    return true;
}

} // namespace

bool leadsToItsOwnName(const QByteArray& path, const QByteArray& target) {
    const auto nameOf = [](const QByteArray& file) {
        return textOfFileName(file.mid(file.lastIndexOf('/') + 1));
    };
    return sameNameIgnoringCase(nameOf(path), nameOf(target));
}

RewriteResult replaceExistingFile(const QByteArray& path,
                                  const std::function<QByteArray(const QByteArray& old)>& build) {
    // Replace the file a link points to, not the link; but never one of another name, which may
    // be anything of the user's outside the game.
    char real[PATH_MAX];
    if (!::realpath(path.constData(), real))
        return RewriteResult::Failed;
    const QByteArray target(real);
    if (!leadsToItsOwnName(path, target))
        return RewriteResult::LinkToOtherName;
    // Another instance of the program saving the same file goes first, or after.
    const TargetLock lock(target);
    return rewrite(target, build) ? RewriteResult::Rewritten : RewriteResult::Failed;
}

} // namespace gvt::platform
