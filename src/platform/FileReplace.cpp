#include "platform/FileReplace.h"

#include "platform/FileName.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gvt::platform {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool readAll(int fd, QByteArray& out) {
    out.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        out.append(buffer, qsizetype(n));
    }
}

bool writeAll(int fd, const QByteArray& data, off_t offset) {
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n =
            ::pwrite(fd, data.constData() + done, size_t(data.size() - done), offset + done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += n;
    }
    return true;
}

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
    ::ftruncate(fd, off_t(oldSize));
    return false;
}

// Without a temporary file the new content goes over the old: only once all the space it needs
// is reserved, and should a write fail all the same, the old content is put back.
bool rewriteInPlace(int fd, const QByteArray& old, const QByteArray& content) {
    if (!reserveSpace(fd, old.size(), content.size()))
        return false;
    if (writeAll(fd, content, 0) && ::ftruncate(fd, off_t(content.size())) == 0 && ::fsync(fd) == 0)
        return true;
    if (writeAll(fd, old, 0) && ::ftruncate(fd, off_t(old.size())) == 0)
        ::fsync(fd);
    return false;
}

} // namespace

bool readWholeFile(const QString& path, QByteArray& content) {
    Descriptor fd(::open(fileNameOfText(path).constData(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    return readAll(fd.get(), content);
}

bool replaceExistingFile(const QString& path,
                         const std::function<QByteArray(const QByteArray& old)>& build) {
    // Replace the file a link points to, not the link.
    char real[PATH_MAX];
    if (!::realpath(fileNameOfText(path).constData(), real))
        return false;
    const QByteArray target(real);

    Descriptor writer(::open(target.constData(), O_RDWR | O_CLOEXEC));
    struct stat st {};
    if (!writer.valid() || ::fstat(writer.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    // A file nobody may write is write-protected, also for an administrator who could.
    if ((st.st_mode & 0222) == 0)
        return false;
    QByteArray old;
    if (!readAll(writer.get(), old))
        return false;
    const QByteArray content = build(old);

    // The temporary name stays within the file-name limit however long the file's own name is.
    const qsizetype slash = target.lastIndexOf('/');
    const long nameMax = ::pathconf(target.left(slash + 1).constData(), _PC_NAME_MAX);
    const QByteArray suffix = ".new-XXXXXX";
    QByteArray temp =
        target.left(slash + 1) + '.' +
        target.mid(slash + 1).left((nameMax > 0 ? nameMax : 255) - 1 - suffix.size()) + suffix;
    Descriptor tempFd(::mkostemp(temp.data(), O_CLOEXEC));
    if (!tempFd.valid()) {
        if (errno == EACCES || errno == EPERM || errno == EROFS)
            return rewriteInPlace(writer.get(), old, content);
        return false;
    }
    const bool written = writeAll(tempFd.get(), content, 0) && ::fsync(tempFd.get()) == 0 &&
                         ::fchmod(tempFd.get(), st.st_mode & 07777) == 0;
    if (written && ::fchown(tempFd.get(), st.st_uid, st.st_gid) != 0) {
        // Keeping the owner needs privileges we may not have; the permissions are kept.
    }
    if (!tempFd.close() || !written || ::rename(temp.constData(), target.constData()) != 0) {
        ::unlink(temp.constData());
        return false;
    }
    return true;
}

} // namespace gvt::platform
