// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>
#include <sys/types.h>

namespace gvt::platform {

// What the game's parser sees of an unquoted command line: words split at blanks.
QStringList splitArgumentWords(const QString& argumentText);

// A start made ready: the words and the environment the game gets, and what its record says
// before the game's own output.
struct PreparedStart {
    StartResult result = StartResult::Failed; // Started: ready to start
    QList<QByteArray> argv;
    QByteArray recordHead;
};
PreparedStart prepareStart(const GameInstall& game, const QString& executableText,
                           const QString& argumentText);

// Starts the game detached, never through a shell, in the launcher's current directory. A
// drive or network path, a Windows program (whatever its mode) and a file that is not executable
// go through Wine in the game's prefix, as its manager starts a program there, under a UTF-8
// character set. Every start writes the start record first; the game's output goes into it.
class DetachedProcessStarter final : public ProcessStarter {
public:
    DetachedProcessStarter();
    ~DetachedProcessStarter() override;
    StartResult start(const GameInstall& game, const QString& executableText,
                      const QString& argumentText) override;
    void setEndedAtOnceHandler(std::function<void(int status)> handler) override {
        m_endedAtOnce = std::move(handler);
    }

private:
    void watch(pid_t watcher, int ended);

    QObject m_watchers; // the notifiers of the starts still watched
    std::function<void(int)> m_endedAtOnce;
};

} // namespace gvt::platform
