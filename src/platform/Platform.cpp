#include "platform/Platform.h"

#include "platform/PathText.h"

#include <QAudioOutput>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

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

QString SystemProgramLocation::programPath() const {
    return QCoreApplication::applicationFilePath();
}

void DetachedProcessStarter::start(const QString& executableText, const QString& argumentText) {
    const QString file = resolvePath(executableText);
    QStringList words = splitArgumentWords(argumentText);
    QProcess process;
    process.setWorkingDirectory(QDir::currentPath());
    if (QFileInfo(file).isExecutable()) {
        process.setProgram(file);
    } else {
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
        if (wine.isEmpty())
            return;
        // Wine joins the words with single blanks, so the game sees the line as built.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        process.setProcessEnvironment(environment);
        process.setProgram(wine);
        words.prepend(file);
    }
    process.setArguments(words);
    process.startDetached();
}

MediaSound::MediaSound(QString source) : m_source(std::move(source)) {}

MediaSound::~MediaSound() = default;

void MediaSound::startTune() {
    // Building the player is slow, so it happens at the first start, after the window shows.
    if (!m_player) {
        m_output = std::make_unique<QAudioOutput>();
        m_player = std::make_unique<QMediaPlayer>();
        m_player->setAudioOutput(m_output.get());
        m_player->setSource(QUrl(m_source));
        m_player->setLoops(QMediaPlayer::Infinite);
    }
    m_player->play();
}

bool MediaSound::isPlaying() const {
    return m_player && m_player->playbackState() == QMediaPlayer::PlayingState &&
           m_player->error() == QMediaPlayer::NoError && m_player->duration() > 0;
}

void MediaSound::stopAll() {
    if (m_player)
        m_player->stop();
}

} // namespace gvt::platform
