// SPDX-License-Identifier: GPL-3.0-or-later
// The Change Music dialog with a My Music folder of 100,000 files (half enabled, half
// disabled): its opening beside `ls` of the same folder, which also lists and sorts every
// name, and one move.
#include "music/MusicDialog.h"
#include "platform/GameInstall.h"
#include "ui_MusicDialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct Installation {
    QTemporaryDir root;
    QString game = root.path() + QStringLiteral("/Grimvale Tarsis");
    QString myMusic = game + QStringLiteral("/My Music");
    explicit Installation(int files) {
        QDir().mkpath(myMusic);
        QDir().mkpath(game + QStringLiteral("/Mods/GvTarsis/Music"));
        for (int i = 0; i < files; ++i) {
            const QString name = QStringLiteral("%1/Track %2.%3")
                                     .arg(myMusic)
                                     .arg(i, 6, 10, QChar(u'0'))
                                     .arg(i % 2 ? QStringLiteral("mp3") : QStringLiteral("bak"));
            ::close(::open(QFile::encodeName(name).constData(), O_CREAT | O_WRONLY, 0644));
        }
        QFile init(game + QStringLiteral("/Mods/GvTarsis/Init.con"));
        init.open(QIODevice::WriteOnly);
        init.write("1\r\n2\r\n3\r\n4\r\nGame.setMenuMusicFilename \"music/Theme\"\r\n");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, root.path());
        // Each move is kept in the history: in this folder, not the user's.
        qputenv("XDG_STATE_HOME", QFile::encodeName(root.path() + QStringLiteral("/state")));
        QDir().mkpath(root.path() + QStringLiteral("/Oxley Games"));
        QFile settings(root.path() + QStringLiteral("/Oxley Games/Grimvale Tarsis.conf"));
        settings.open(QIODevice::WriteOnly);
        settings.write("[General]\nGAMEDIR=" + QFile::encodeName(game) + '\n');
    }
};

Installation& installation(int files) {
    static Installation made(files);
    return made;
}

// The game as the launcher finds it when it starts.
gvt::platform::GameInstall gameAsFound() {
    return gvt::platform::findGameInstall(QStringLiteral("/nowhere/gvtarsis-modmanager"),
                                          gvt::platform::UserPlaces::ofThisUser());
}

void MusicDialogOpening(benchmark::State& state) {
    installation(int(state.range(0)));
    const gvt::platform::GameInstall game = gameAsFound();
    for (auto _ : state) {
        auto dialog = std::make_unique<gvt::music::MusicDialog>(game);
        dialog->open(nullptr);
        state.PauseTiming(); // closing is not opening
        dialog.reset();
        state.ResumeTiming();
    }
}

void MusicDialogOpeningBaselineLs(benchmark::State& state) {
    const QByteArray folder = QFile::encodeName(installation(int(state.range(0))).myMusic);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    char ls[] = "ls";
    char* arguments[] = {ls, const_cast<char*>(folder.constData()), nullptr};
    for (auto _ : state) {
        pid_t pid = 0;
        posix_spawnp(&pid, "ls", &actions, nullptr, arguments, environ);
        int status = 0;
        waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
}

void MusicDialogMove(benchmark::State& state) {
    installation(int(state.range(0)));
    const gvt::platform::GameInstall game = gameAsFound();
    gvt::music::MusicDialog dialog(game);
    gvt::music::MusicWindow& window = dialog.open(nullptr);
    bool disable = true;
    for (auto _ : state) {
        // Move the first entry across and back, so every iteration renames one file.
        if (disable)
            window.disableSelectedMp3();
        else
            window.enableSelectedMp3();
        if (!disable)
            window.controls().disabledList->setCurrentRow(0);
        disable = !disable;
    }
}

// Side by side, in turns, on the same folder.
BENCHMARK(MusicDialogOpening)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MusicDialogOpeningBaselineLs)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MusicDialogOpening)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MusicDialogOpeningBaselineLs)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MusicDialogMove)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
