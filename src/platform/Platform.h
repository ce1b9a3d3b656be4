// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace gvt::platform {

struct GameInstall;

// Where the launcher's own executable lies.
class ProgramLocation {
public:
    virtual ~ProgramLocation() = default;
    virtual QString programPath() const = 0;
    // From now on the program is the one at `path` (a link to it, say), as if started by it.
    virtual void startAs(const QString& path) = 0;
};

// How a start went: a missing Wine, or a missing Wine of the prefix's manager, is told to the
// user; nothing started then.
enum class StartResult { Started, NoWine, WineMissing, Failed };

// Starts a program without waiting for it.
class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // `executableText` is a path text of `game`; `argumentText` is split at blanks into words.
    virtual StartResult start(const GameInstall& game, const QString& executableText,
                              const QString& argumentText) = 0;
    // Told, once the event loop runs, of a game that ended within ten seconds of its start with
    // a failure: its exit status, or minus the signal that ended it.
    virtual void setEndedAtOnceHandler(std::function<void(int status)> handler) = 0;
};

// The looping background tune.
class Sound {
public:
    virtual ~Sound() = default;
    virtual void startTune() = 0;
    virtual void stopAll() = 0;
};

// The stand-ins the dialogs are handed; the application owns them.
struct Platform {
    ProgramLocation& program;
    ProcessStarter& processes;
    Sound& sound;
};

// The path of a program started as `startedAs` (its first argument), made absolute against the
// current folder as the shell spells it, or looked up on PATH when it names no folder; links
// are kept. `realPath` when that path names another file.
QString startedProgramPath(const QString& startedAs, const QString& realPath);

// The path the program was started by, as startedProgramPath() gives it: `startedAs` is its
// first argument, as the bytes it came in.
class SystemProgramLocation final : public ProgramLocation {
public:
    explicit SystemProgramLocation(const QByteArray& startedAs);
    QString programPath() const override;
    void startAs(const QString& path) override { m_path = path; }

private:
    QString m_path;
};

} // namespace gvt::platform
