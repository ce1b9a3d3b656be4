// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace gvt::platform {

// Where the launcher's own executable lies.
class ProgramLocation {
public:
    virtual ~ProgramLocation() = default;
    virtual QString programPath() const = 0;
    // From now on the program is the one at `path` (a link to it, say), as if started by it.
    virtual void startAs(const QString& path) = 0;
};

// How a start went: only a missing Wine is ever told to the user.
enum class StartResult { Started, NoWine, Failed };

// Starts a program without waiting for it.
class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // `executableText` is a path text; `argumentText` is split at blanks into words.
    virtual StartResult start(const QString& executableText, const QString& argumentText) = 0;
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

// The folder of a program path: the text before its last separator.
QString programFolderOf(const QString& programPath);

// What the game's parser sees of an unquoted command line: words split at blanks.
QStringList splitArgumentWords(const QString& argumentText);

// True when two paths name the same folder or file on disk (both must exist).
bool sameEntryOnDisk(const QString& a, const QString& b);

// A program name looked up on PATH as the shell does, the folders taken as their own bytes;
// empty when none is there.
QString findOnPath(const QString& name);

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

// Starts the game detached, never through a shell, in the launcher's current directory. A
// drive or network path, a Windows program (whatever its mode) and a file that is not executable go
// through Wine in the prefix in use, under a UTF-8 character set.
class DetachedProcessStarter final : public ProcessStarter {
public:
    StartResult start(const QString& executableText, const QString& argumentText) override;
};

} // namespace gvt::platform
