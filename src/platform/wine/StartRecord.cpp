// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wine/StartRecord.h"

#include "platform/files/FileIo.h"
#include "platform/files/FileName.h"
#include "platform/files/StateFolder.h"

#include <QDateTime>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace gvt::platform {

QString startRecordPath() {
    return stateFolder() + QStringLiteral("/last-start.log");
}

QString previousStartRecordPath() {
    return stateFolder() + QStringLiteral("/last-start.1.log");
}

QByteArray startRecordText(const StartRecordHead& head) {
    QByteArray text =
        "Started: " + QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8() + '\n';
    // File names keep their bytes: the record's command must start the same files again.
    text += "Game: " + fileNameOfText(head.gameFolder) + '\n';
    const LaunchDescription* launch = head.launch;
    if (launch) {
        text +=
            "Prefix: " + fileNameOfText(launch->prefix) + " (" + launch->manager.toUtf8() + ")\n";
        text += "Wine: " + fileNameOfText(launch->program) + " (" +
                fileNameOfText(launch->programSource) + ")\n";
    } else {
        text += "Wine: none, the game is a program of this machine\n";
    }
    text += "Folder: " + head.folder + '\n';
    if (launch) {
        for (const LaunchWords& wrapper : launch->wrappers)
            text += "Wrapper: " + fileNameOfText(wrapper.words.join(u' ')) + " (" +
                    fileNameOfText(wrapper.source) + ")\n";
        for (const LaunchWords& after : launch->afterGame)
            text += "After the game's words: " + fileNameOfText(after.words.join(u' ')) + " (" +
                    fileNameOfText(after.source) + ")\n";
    }
    // Each variable set beyond the launcher's own environment, with where it came from.
    const auto nameOf = [](const QByteArray& entry) { return entry.left(entry.indexOf('=')); };
    for (const QByteArray& entry : head.environment) {
        const QByteArray name = nameOf(entry);
        if (valueIn(head.base, name) == valueIn(head.environment, name))
            continue;
        QString source = QStringLiteral("the game's locale");
        if (launch) {
            if (const LaunchVariable* variable = launch->variable(QString::fromUtf8(name)))
                source = variable->source;
        }
        text += "Variable: " + entry + " (" + fileNameOfText(source) + ")\n";
    }
    for (const QByteArray& entry : head.base) {
        const QByteArray name = nameOf(entry);
        if (valueIn(head.environment, name))
            continue;
        QString source = QStringLiteral("the game's locale");
        if (launch) {
            for (const LaunchVariable& removed : launch->removed) {
                if (removed.name.toUtf8() == name)
                    source = removed.source;
            }
        }
        text += "Removed: " + name + " (" + fileNameOfText(source) + ")\n";
    }
    if (launch) {
        for (const QString& note : launch->notes)
            text += "Note: " + fileNameOfText(note) + '\n';
    }
    text += "Command: " + commandLine(head.argv, head.base, head.environment) + '\n';
    text += "--- what the game and Wine print follows ---\n";
    return text;
}

int openStartRecord(const QByteArray& text) {
    const QByteArray folder = fileNameOfText(stateFolder());
    if (!makeFolders(folder))
        return -1;
    const QByteArray path = fileNameOfText(startRecordPath());
    (void)std::rename(path.constData(), fileNameOfText(previousStartRecordPath()).constData());
    const int fd =
        ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (!writeFully(fd, text, 0)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void trimPreviousStartRecord(qint64 keep) {
    const QByteArray path = fileNameOfText(previousStartRecordPath());
    struct stat st {};
    if (::stat(path.constData(), &st) != 0 || st.st_size <= keep)
        return;
    // The last `keep` bytes go to a new file that takes the old one's place.
    const Descriptor from(::open(path.constData(), O_RDONLY | O_CLOEXEC));
    QByteArray temp = path + ".new-XXXXXX";
    Descriptor to(::mkostemp(temp.data(), O_CLOEXEC));
    if (!from.valid() || !to.valid())
        return;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    qint64 done = 0;
    for (qint64 at = st.st_size - keep; at < st.st_size;) {
        const ssize_t n = ::pread(from.get(), buffer.data(), size_t(buffer.size()), off_t(at));
        if (n <= 0 || !writeFully(to.get(), QByteArrayView(buffer.constData(), n), done))
            break;
        at += n;
        done += n;
    }
    if (done == keep && to.close() && std::rename(temp.constData(), path.constData()) == 0)
        return;
    ::unlink(temp.constData());
}

} // namespace gvt::platform
