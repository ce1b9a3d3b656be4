// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProcessStart.h"

#include "platform/GameEnvironment.h"
#include "platform/GameInstall.h"
#include "platform/files/FileName.h"
#include "platform/wine/WindowsPaths.h"
#include "platform/wine/WinePrefix.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace gvt::platform {

QStringList splitArgumentWords(const QString& argumentText) {
    QString text = argumentText;
    text.replace(u'\t', u' ');
    return text.split(u' ', Qt::SkipEmptyParts);
}

namespace {

// Starts a program detached: it is no child of ours, so it never waits as a zombie. False
// when it could not be started; its start is not waited for beyond that.
bool startDetached(const QByteArray& program, const QList<QByteArray>& arguments,
                   const Environment& environment) {
    // Everything the new process needs is made before the fork.
    std::vector<char*> argv{const_cast<char*>(program.constData())};
    for (const QByteArray& argument : arguments)
        argv.push_back(const_cast<char*>(argument.constData()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const QByteArray& entry : environment)
        envp.push_back(const_cast<char*>(entry.constData()));
    envp.push_back(nullptr);
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return false;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            ::setsid();
            ::execve(program.constData(), argv.data(), envp.data());
        }
        if (grandchild != 0 && grandchild != -1)
            ::_exit(0);
        // Told to the parent: the program could not be started.
        const int error = errno;
        (void)!::write(report[1], &error, sizeof error);
        ::_exit(0);
    }
    ::close(report[1]);
    int status = 0;
    while (child > 0 && ::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes without a word once the program has replaced the process.
    int error = 0;
    ssize_t got = 0;
    do {
        got = ::read(report[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    return child > 0 && got == 0;
}

} // namespace

StartResult DetachedProcessStarter::start(const GameInstall& game, const QString& executableText,
                                          const QString& argumentText) {
    QList<QByteArray> words;
    for (const QString& word : splitArgumentWords(argumentText))
        words.append(fileNameOfText(word));
    const bool windowsPath = isWindowsPathText(executableText);
    const QByteArray file = windowsPath ? QByteArray() : game.resolve(executableText);
    if (!windowsPath && ::access(file.constData(), F_OK) != 0)
        return StartResult::Failed;
    if (!windowsPath && ::access(file.constData(), X_OK) == 0 && !isWindowsProgram(file))
        return startDetached(file, words, environmentOfThisProcess()) ? StartResult::Started
                                                                      : StartResult::Failed;
    // $WINE is the user's choice for every prefix; else the Wine of the prefix's manager.
    const UserPlaces places = UserPlaces::ofThisUser();
    WineStart wine = game.prefix.start;
    if (!places.wine.isEmpty() || wine.program.isEmpty())
        wine = {wineProgram(places.wine), {}, {}};
    if (wine.program.isEmpty())
        return StartResult::NoWine;
    Environment environment = environmentOfThisProcess();
    setVariable(environment, "WINEPREFIX", fileNameOfText(game.prefix.folder));
    for (const auto& [name, value] : wine.variables)
        setVariable(environment, name.toUtf8(), fileNameOfText(value));
    useGameLocale(environment);
    // Named by its Windows text, the game sees the command line its own platform gives it; Wine
    // joins the words with single blanks.
    QList<QByteArray> arguments;
    for (const QString& argument : wine.arguments)
        arguments.append(argument.toUtf8());
    arguments.append(windowsPath ? fileNameOfText(executableText) : file);
    return startDetached(fileNameOfText(wine.program), arguments + words, environment)
               ? StartResult::Started
               : StartResult::Failed;
}

} // namespace gvt::platform
