#include "platform/Platform.h"

#include "platform/FileName.h"
#include "platform/PathText.h"
#include "platform/WinePrefix.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace gvt::platform {

QString programFolderOf(const QString& programPath) {
    const qsizetype cut = std::max(programPath.lastIndexOf(u'/'), programPath.lastIndexOf(u'\\'));
    return cut < 0 ? QString() : programPath.left(cut);
}

QStringList splitArgumentWords(const QString& argumentText) {
    QString text = argumentText;
    text.replace(u'\t', u' ');
    return text.split(u' ', Qt::SkipEmptyParts);
}

namespace {

bool statOf(const QString& path, struct stat& st) {
    return ::stat(fileNameOfText(path).constData(), &st) == 0;
}

// The current folder as the shell that started us spells it, links kept, when $PWD says so.
QString currentFolderAsStarted() {
    const QString pwd = qEnvironmentVariable("PWD");
    if (pwd.startsWith(u'/') && sameEntryOnDisk(pwd, QStringLiteral(".")))
        return pwd;
    return QDir::currentPath();
}

bool isUtf8Locale(const QString& locale) {
    const QString lower = locale.toLower();
    return lower.contains(QStringLiteral("utf-8")) || lower.contains(QStringLiteral("utf8"));
}

// Wine needs a UTF-8 character set for names beyond ASCII; the user's language, number and
// date formats stay as they are.
void useUtf8Characters(QProcessEnvironment& environment) {
    const QString all = environment.value(QStringLiteral("LC_ALL"));
    if (!all.isEmpty()) {
        if (isUtf8Locale(all))
            return;
        // LC_ALL rules every category: LANG takes its place, so that only LC_CTYPE changes.
        for (const QString& name : environment.keys()) {
            if (name.startsWith(QStringLiteral("LC_")))
                environment.remove(name);
        }
        environment.insert(QStringLiteral("LANG"), all);
    } else if (isUtf8Locale(environment.value(QStringLiteral("LC_CTYPE"),
                                              environment.value(QStringLiteral("LANG"))))) {
        return;
    }
    environment.insert(QStringLiteral("LC_CTYPE"), QStringLiteral("C.UTF-8"));
}

} // namespace

bool sameEntryOnDisk(const QString& a, const QString& b) {
    struct stat first {};
    struct stat second {};
    return statOf(a, first) && statOf(b, second) && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

QString startedProgramPath(const QString& startedAs, const QString& realPath) {
    QString started = startedAs;
    if (started.isEmpty())
        return realPath;
    if (!started.contains(u'/'))
        started = QStandardPaths::findExecutable(started);
    else if (!started.startsWith(u'/'))
        started = currentFolderAsStarted() + u'/' + started;
    started = QDir::cleanPath(started);
    return sameEntryOnDisk(started, realPath) ? started : realPath;
}

QString SystemProgramLocation::programPath() const {
    const QStringList arguments = QCoreApplication::arguments();
    return startedProgramPath(arguments.isEmpty() ? QString() : arguments.first(),
                              QCoreApplication::applicationFilePath());
}

StartResult DetachedProcessStarter::start(const QString& executableText,
                                          const QString& argumentText) {
    QStringList words = splitArgumentWords(argumentText);
    QProcess process;
    process.setWorkingDirectory(QDir::currentPath());
    const bool drivePath = isDrivePathText(executableText);
    const QString file = drivePath ? QString() : resolvePath(executableText);
    const QByteArray fileBytes = fileNameOfText(file);
    if (!drivePath && ::access(fileBytes.constData(), F_OK) != 0)
        return StartResult::Failed;
    if (!drivePath && ::access(fileBytes.constData(), X_OK) == 0 && !isWindowsProgram(file)) {
        process.setProgram(file);
    } else {
        const QString wine = wineProgram();
        if (wine.isEmpty())
            return StartResult::NoWine;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("WINEPREFIX"), winePrefixInUse());
        useUtf8Characters(environment);
        process.setProcessEnvironment(environment);
        process.setProgram(wine);
        // Named by its Windows text, the game sees the command line its own platform gives
        // it; Wine joins the words with single blanks.
        words.prepend(drivePath ? executableText : file);
    }
    process.setArguments(words);
    return process.startDetached() ? StartResult::Started : StartResult::Failed;
}

} // namespace gvt::platform
