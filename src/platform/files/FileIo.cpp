// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/FileIo.h"

#include "platform/files/FileName.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace gvt::platform {

bool Descriptor::close() {
    return ::close(std::exchange(m_fd, -1)) == 0;
}

void Descriptor::reset() {
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
}

bool readFully(int fd, QByteArray& out) {
    out.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        out.append(buffer, qsizetype(n));
    }
}

bool readAt(int fd, qint64 offset, qint64 size, QByteArray& out) {
    out.resize(qsizetype(size));
    for (qint64 done = 0; done < size;) {
        const ssize_t n = ::pread(fd, out.data() + done, size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

bool writeFully(int fd, QByteArrayView data, qint64 offset) {
    for (qsizetype done = 0; done < data.size();) {
        const ssize_t n =
            ::pwrite(fd, data.data() + done, size_t(data.size() - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

Descriptor openRegularFile(const QByteArray& path, struct stat& st) {
    Descriptor fd(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return Descriptor();
    return fd;
}

std::optional<QByteArray> readRegularFile(const QByteArray& path, qint64 maxBytes) {
    struct stat st {};
    const Descriptor fd = openRegularFile(path, st);
    QByteArray content;
    if (!fd.valid() || st.st_size > maxBytes || !readFully(fd.get(), content) ||
        content.size() > maxBytes)
        return std::nullopt;
    return content;
}

bool entryExists(const QByteArray& path) {
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0;
}

bool isFolder(const QByteArray& path) {
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isExecutableFile(const QByteArray& path) {
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.constData(), X_OK) == 0;
}

bool sameEntryOnDisk(const QByteArray& a, const QByteArray& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.constData(), &first) == 0 && ::stat(b.constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

QList<QByteArray> namesIn(const QByteArray& folder, QByteArrayView suffix) {
    QList<QByteArray> names;
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return {};
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArrayView name(entry->d_name);
        if (name != "." && name != ".." && name.endsWith(suffix) && name.size() > suffix.size())
            names.append(name.toByteArray());
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

void syncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    // Some file systems cannot flush a folder (EINVAL): there the rename is as safe as it gets.
    (void)::fsync(fd);
    ::close(fd);
}

bool makeFolders(const QByteArray& folder) {
    struct stat st {};
    if (::stat(folder.constData(), &st) == 0)
        return S_ISDIR(st.st_mode);
    const QByteArray parent = folderOfPath(folder);
    if (parent == folder || !makeFolders(parent))
        return false;
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    syncFolder(parent);
    return true;
}

} // namespace gvt::platform
