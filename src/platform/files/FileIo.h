// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>
#include <sys/stat.h>
#include <utility>

// The small file operations everything else is made of, on paths of this machine as their
// bytes: whole reads and writes, a read that never waits on a strange file, what a path names,
// and flushing a folder.
namespace gvt::platform {

// An open file, closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(Descriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            reset();
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // False when the close reports an error (a write that did not reach the disk).
    bool close();

private:
    void reset();
    int m_fd;
};

// All of a file's bytes from where it stands; `size` bytes read from `offset` (a file that ends
// first is an error); all of `data` written at `offset`. False on an error.
bool readFully(int fd, QByteArray& out);
bool readAt(int fd, qint64 offset, qint64 size, QByteArray& out);
bool writeFully(int fd, QByteArrayView data, qint64 offset);

// A regular file opened for reading without waiting on it (a pipe or a device is refused, not
// waited on); its status in `st`. Not valid when it is no such file.
Descriptor openRegularFile(const QByteArray& path, struct stat& st);
// The whole content of such a file of at most `maxBytes`, or nothing.
std::optional<QByteArray> readRegularFile(const QByteArray& path, qint64 maxBytes);

// What a path names: anything (a link not followed), a folder, a program this user may run.
bool entryExists(const QByteArray& path);
bool isFolder(const QByteArray& path);
bool isExecutableFile(const QByteArray& path);
// True when both paths name the same file or folder (both must exist).
bool sameEntryOnDisk(const QByteArray& a, const QByteArray& b);

// The names in a folder that end in `suffix` (every name but "." and ".." when empty), in the
// order of their bytes.
QList<QByteArray> namesIn(const QByteArray& folder, QByteArrayView suffix = {});

// Flushes a folder's entries to disk, so that a rename in it survives a power cut; nothing
// where the file system does not allow it.
void syncFolder(const QByteArray& folder);
// Makes a folder and those above it that are missing (mode 0700), each flushed into its parent.
bool makeFolders(const QByteArray& folder);

} // namespace gvt::platform
