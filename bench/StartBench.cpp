// SPDX-License-Identifier: GPL-3.0-or-later
// A click on Start to the game's process: the start record written, the launch's words and
// variables laid over the environment, and the game's program executed (the start returns once
// the program has replaced the process). The game here is a Windows program started through a
// Lutris prefix whose Wine is a program that ends at once; beside it, a bare fork and exec of
// the same program.
#include "platform/GameInstall.h"
#include "platform/ProcessStart.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

struct LutrisGame {
    LutrisGame() {
        const QString home = dir.path();
        qputenv("HOME", QFile::encodeName(home));
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_STATE_HOME");
        qunsetenv("WINEPREFIX");
        qunsetenv("WINE");
        const QString prefix = home + QStringLiteral("/Games/gt");
        QDir().mkpath(prefix + QStringLiteral("/drive_c/GT"));
        QDir().mkpath(prefix + QStringLiteral("/dosdevices"));
        QFile::link(QStringLiteral("../drive_c"), prefix + QStringLiteral("/dosdevices/c:"));
        write(prefix + QStringLiteral("/system.reg"),
              "WINE REGISTRY Version 2\n\n[Software\\\\Oxley Games\\\\Grimvale Tarsis] 1\n"
              "\"GAMEDIR\"=\"C:\\\\GT\"\n");
        write(prefix + QStringLiteral("/drive_c/GT/gvtarsis.exe"), "MZ");
        write(home + QStringLiteral("/.config/lutris/games/gt-1.yml"),
              "game:\n  prefix: ~/Games/gt\nwine:\n  version: lutris-7.2\nsystem:\n  env:\n"
              "    GT_MODE: classic\n  prefix_command: nice -n 0\n");
        wine = home + QStringLiteral("/.local/share/lutris/runners/wine/lutris-7.2/bin/wine");
        QDir().mkpath(wine.section(u'/', 0, -2));
        QFile::link(QStringLiteral("/bin/true"), wine);
        game = gvt::platform::findGameInstall(prefix + QStringLiteral("/drive_c/GT/launcher"),
                                              gvt::platform::UserPlaces::ofThisUser());
    }
    static void write(const QString& path, const QByteArray& content) {
        QDir().mkpath(path.section(u'/', 0, -2));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(content);
    }
    QTemporaryDir dir;
    QString wine;
    gvt::platform::GameInstall game;
};

void StartToTheGamesProcess(benchmark::State& state) {
    LutrisGame lutris;
    gvt::platform::DetachedProcessStarter starter;
    for (auto _ : state) {
        if (starter.start(lutris.game, lutris.game.gameFolder + QStringLiteral("\\gvtarsis.exe"),
                          QStringLiteral("+game GvTarsis")) != gvt::platform::StartResult::Started)
            state.SkipWithError("the game did not start");
    }
}

void StartToTheGamesProcessBaselineSpawn(benchmark::State& state) {
    char* argv[] = {const_cast<char*>("/bin/true"), nullptr};
    for (auto _ : state) {
        pid_t child = 0;
        ::posix_spawn(&child, "/bin/true", nullptr, nullptr, argv, environ);
        state.PauseTiming(); // the start itself, not the wait for the end
        ::waitpid(child, nullptr, 0);
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(StartToTheGamesProcess)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(StartToTheGamesProcessBaselineSpawn)->Unit(benchmark::kMillisecond)->Iterations(200);
