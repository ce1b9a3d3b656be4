#include "platform/FileName.h"
#include "platform/GameLocale.h"
#include "platform/PathText.h"
#include "platform/Platform.h"
#include "platform/wine/WinePrefix.h"

#include <cerrno>
#include <clocale>
#include <fcntl.h>
#include <locale.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace gvt::platform {

namespace {

QByteArray valueOf(const Environment& environment, QByteArrayView name) {
    for (const QByteArray& entry : environment) {
        if (entry.size() > name.size() && entry.startsWith(name) && entry[name.size()] == '=')
            return entry.mid(name.size() + 1);
    }
    return {};
}

void setValue(Environment& environment, const QByteArray& name, const QByteArray& value) {
    environment.removeIf([&](const QByteArray& entry) { return entry.startsWith(name + '='); });
    environment.append(name + '=' + value);
}

bool isUtf8Locale(const QByteArray& locale) {
    const QByteArray lower = locale.toLower();
    return lower.contains("utf-8") || lower.contains("utf8");
}

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
        if (::fork() == 0) {
            ::setsid();
            ::execve(program.constData(), argv.data(), envp.data());
            const int error = errno;
            (void)!::write(report[1], &error, sizeof error);
        }
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

Environment thisEnvironment() {
    Environment environment;
    for (char** entry = environ; entry && *entry; ++entry)
        environment.append(QByteArray(*entry));
    return environment;
}

} // namespace

bool isLocaleInstalled(const QByteArray& name) {
    const locale_t locale = ::newlocale(LC_CTYPE_MASK, name.constData(), locale_t(nullptr));
    if (locale)
        ::freelocale(locale);
    return locale != nullptr;
}

QByteArray useGameLocale(Environment& environment) {
    const QByteArray all = valueOf(environment, "LC_ALL");
    const QByteArray ctype = valueOf(environment, "LC_CTYPE");
    const QByteArray effective = !all.isEmpty()     ? all
                                 : !ctype.isEmpty() ? ctype
                                                    : valueOf(environment, "LANG");
    if (isUtf8Locale(effective))
        return effective;
    if (!all.isEmpty()) {
        environment.removeIf([](const QByteArray& entry) { return entry.startsWith("LC_"); });
        setValue(environment, "LANG", all);
    }
    // "pl_PL.ISO-8859-2@euro" becomes "pl_PL.UTF-8@euro".
    const qsizetype at = effective.indexOf('@');
    const QByteArray modifier = at < 0 ? QByteArray() : effective.mid(at);
    const QByteArray language = effective.left(at < 0 ? effective.size() : at).split('.').first();
    QByteArray utf8 = language + ".UTF-8" + modifier;
    if (language.isEmpty() || language == "C" || language == "POSIX" || !isLocaleInstalled(utf8))
        utf8 = "C.UTF-8";
    setValue(environment, "LC_CTYPE", utf8);
    return utf8;
}

QByteArray gameLocale() {
    Environment environment = thisEnvironment();
    return useGameLocale(environment);
}

StartResult DetachedProcessStarter::start(const QString& executableText,
                                          const QString& argumentText) {
    QList<QByteArray> words;
    for (const QString& word : splitArgumentWords(argumentText))
        words.append(fileNameOfText(word));
    const bool drivePath = isDrivePathText(executableText);
    const QByteArray file = drivePath ? QByteArray() : fileNameOfText(resolvePath(executableText));
    if (!drivePath && ::access(file.constData(), F_OK) != 0)
        return StartResult::Failed;
    if (!drivePath && ::access(file.constData(), X_OK) == 0 &&
        !isWindowsProgram(textOfFileName(file)))
        return startDetached(file, words, thisEnvironment()) ? StartResult::Started
                                                             : StartResult::Failed;
    const QString prefix = winePrefixInUse();
    const WineStart wine = wineStartFor(prefix, UserPlaces::ofThisUser());
    if (wine.program.isEmpty())
        return StartResult::NoWine;
    Environment environment = thisEnvironment();
    setValue(environment, "WINEPREFIX", fileNameOfText(prefix));
    for (const auto& [name, value] : wine.variables)
        setValue(environment, name.toUtf8(), fileNameOfText(value));
    useGameLocale(environment);
    // Named by its Windows text, the game sees the command line its own platform gives it; Wine
    // joins the words with single blanks.
    QList<QByteArray> arguments;
    for (const QString& argument : wine.arguments)
        arguments.append(argument.toUtf8());
    arguments.append(drivePath ? fileNameOfText(executableText) : file);
    return startDetached(fileNameOfText(wine.program), arguments + words, environment)
               ? StartResult::Started
               : StartResult::Failed;
}

} // namespace gvt::platform
