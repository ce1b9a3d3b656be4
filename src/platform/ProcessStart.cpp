// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProcessStart.h"

#include "platform/GameEnvironment.h"
#include "platform/GameInstall.h"
#include "platform/files/FileIo.h"
#include "platform/files/FileName.h"
#include "platform/files/ProgramSearch.h"
#include "platform/wine/StartRecord.h"
#include "platform/wine/WindowsPaths.h"
#include "platform/wine/WinePrefix.h"

#include <QSocketNotifier>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace gvt::platform {

QStringList splitArgumentWords(const QString& argumentText) {
    QString text = argumentText;
    text.replace(u'\t', u' ');
    return text.split(u' ', Qt::SkipEmptyParts);
}

namespace {

// A game that ends this soon after its start with a failure is told: under Wine, a start that
// fails is otherwise invisible.
constexpr int kEndedAtOnceMilliseconds = 10000;

// Starts a program detached, its output into `output` (when valid), watched for its first ten
// seconds by a process of its own: the game is no child of ours, so it never waits as a zombie,
// and nothing of ours relays what it prints. The watcher tells `ended` the wait status of a game
// that failed within that time, and closes it. Its process id, or -1 when the program could not
// be started.
pid_t startWatched(const QList<QByteArray>& argvWords, const Environment& environment, int output,
                   int ended) {
    // Everything the new processes need is made before the fork.
    std::vector<char*> argv;
    for (const QByteArray& word : argvWords)
        argv.push_back(const_cast<char*>(word.constData()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const QByteArray& entry : environment)
        envp.push_back(const_cast<char*>(entry.constData()));
    envp.push_back(nullptr);
    int report[2];
    if (argv.size() < 2 || ::pipe2(report, O_CLOEXEC) != 0)
        return -1;
    const pid_t watcher = ::fork();
    if (watcher == 0) {
        ::close(report[0]);
        const pid_t game = ::fork();
        if (game == 0) {
            ::setsid();
            if (output >= 0) {
                ::dup2(output, STDOUT_FILENO);
                ::dup2(output, STDERR_FILENO);
            }
            ::execve(argv[0], argv.data(), envp.data());
            // Told to the launcher: the program could not be started.
            const int error = errno;
            (void)!::write(report[1], &error, sizeof error);
            ::_exit(127);
        }
        ::close(report[1]);
        if (game < 0)
            ::_exit(0);
        // Only the start's first seconds are watched; after them the game is on its own.
        for (int waited = 0; waited < kEndedAtOnceMilliseconds; waited += 50) {
            int status = 0;
            const pid_t done = ::waitpid(game, &status, WNOHANG);
            if (done == game) {
                if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
                    (void)!::write(ended, &status, sizeof status);
                break;
            }
            if (done < 0 && errno != EINTR)
                break;
            const timespec pause{0, 50 * 1000 * 1000};
            ::nanosleep(&pause, nullptr);
        }
        ::_exit(0);
    }
    ::close(report[1]);
    // The pipe closes without a word once the program has replaced the process.
    int error = 0;
    ssize_t got = 0;
    do {
        got = ::read(report[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    if (watcher > 0 && got != 0) {
        int status = 0;
        while (::waitpid(watcher, &status, 0) < 0 && errno == EINTR) {
        }
        return -1;
    }
    return watcher;
}

} // namespace

DetachedProcessStarter::DetachedProcessStarter() = default;

DetachedProcessStarter::~DetachedProcessStarter() = default;

namespace {

// Made ready, with the environment the game gets.
struct ReadyStart {
    PreparedStart prepared;
    Environment environment;
};

ReadyStart makeReady(const GameInstall& game, const QString& executableText,
                     const QString& argumentText) {
    ReadyStart ready;
    QList<QByteArray> words;
    for (const QString& word : splitArgumentWords(argumentText))
        words.append(fileNameOfText(word));
    const bool windowsPath = isWindowsPathText(executableText);
    const QByteArray file = windowsPath ? QByteArray() : game.resolve(executableText);
    if (!windowsPath && ::access(file.constData(), F_OK) != 0)
        return ready;
    const Environment base = environmentOfThisProcess();
    ready.environment = base;
    QList<QByteArray>& argv = ready.prepared.argv;
    const LaunchDescription& launch = game.launch;
    const bool native =
        !windowsPath && ::access(file.constData(), X_OK) == 0 && !isWindowsProgram(file);
    if (native) {
        argv = QList<QByteArray>{file} + words;
    } else {
        if (!launch.missing.isEmpty() || launch.program.isEmpty()) {
            ready.prepared.result =
                launch.missing.isEmpty() ? StartResult::NoWine : StartResult::WineMissing;
            return ready;
        }
        ready.environment = environmentFor(launch, base);
        useGameLocale(ready.environment);
        for (const QString& word : launch.wordsBeforeGame())
            argv.append(fileNameOfText(word));
        // Named by its Windows text, the game sees the command line its own platform gives it;
        // Wine joins the words with single blanks. umu-run wants the file itself.
        if (launch.gameAsLocalPath)
            argv.append(windowsPath ? game.resolve(executableText) : file);
        else
            argv.append(windowsPath ? fileNameOfText(executableText) : file);
        argv += words;
        for (const LaunchWords& after : launch.afterGame) {
            for (const QString& word : after.words)
                argv.append(fileNameOfText(word));
        }
    }
    // The program named by a path of its own, or found on PATH as the shell finds it.
    if (!argv.first().contains('/'))
        argv.first() = fileNameOfText(findOnPath(textOfFileName(argv.first())));
    char folder[PATH_MAX];
    ready.prepared.recordHead =
        startRecordText({game.gameFolder, native ? nullptr : &launch,
                         ::getcwd(folder, sizeof folder) ? QByteArray(folder) : QByteArray(), argv,
                         base, ready.environment});
    ready.prepared.result = StartResult::Started;
    return ready;
}

} // namespace

PreparedStart prepareStart(const GameInstall& game, const QString& executableText,
                           const QString& argumentText) {
    return makeReady(game, executableText, argumentText).prepared;
}

StartResult DetachedProcessStarter::start(const GameInstall& game, const QString& executableText,
                                          const QString& argumentText) {
    const ReadyStart ready = makeReady(game, executableText, argumentText);
    if (ready.prepared.result != StartResult::Started)
        return ready.prepared.result;
    const Descriptor output(openStartRecord(ready.prepared.recordHead));
    int ended[2];
    if (::pipe2(ended, O_CLOEXEC) != 0)
        return StartResult::Failed;
    const pid_t watcher =
        startWatched(ready.prepared.argv, ready.environment, output.get(), ended[1]);
    ::close(ended[1]);
    if (watcher < 0) {
        ::close(ended[0]);
        return StartResult::Failed;
    }
    watch(watcher, ended[0]);
    trimPreviousStartRecord();
    return StartResult::Started;
}

void DetachedProcessStarter::watch(pid_t watcher, int ended) {
    auto* notifier = new QSocketNotifier(ended, QSocketNotifier::Read, &m_watchers);
    QObject::connect(
        notifier, &QSocketNotifier::activated, notifier, [this, notifier, watcher, ended] {
            int status = 0;
            ssize_t got = 0;
            do {
                got = ::read(ended, &status, sizeof status);
            } while (got < 0 && errno == EINTR);
            notifier->setEnabled(false);
            ::close(ended);
            int done = 0;
            while (::waitpid(watcher, &done, 0) < 0 && errno == EINTR) {
            }
            notifier->deleteLater();
            if (got == sizeof status && m_endedAtOnce)
                m_endedAtOnce(WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status));
        });
}

} // namespace gvt::platform
