// How long the Change Music dialog takes to open, and one move to take, with a My Music
// folder of 100,000 files (half enabled, half disabled).
#include "music/MusicDialog.h"
#include "ui_MusicDialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

struct Installation {
    QTemporaryDir root;
    QString game = root.path() + QStringLiteral("/Grimvale Tarsis");
    explicit Installation(int files) {
        QDir().mkpath(game + QStringLiteral("/My Music"));
        QDir().mkpath(game + QStringLiteral("/Mods/GvTarsis/Music"));
        for (int i = 0; i < files; ++i) {
            const QString name = QStringLiteral("%1/My Music/Track %2.%3")
                                     .arg(game)
                                     .arg(i, 6, 10, QChar(u'0'))
                                     .arg(i % 2 ? QStringLiteral("mp3") : QStringLiteral("bak"));
            ::close(::open(QFile::encodeName(name).constData(), O_CREAT | O_WRONLY, 0644));
        }
        QFile init(game + QStringLiteral("/Mods/GvTarsis/Init.con"));
        init.open(QIODevice::WriteOnly);
        init.write("1\r\n2\r\n3\r\n4\r\nGame.setMenuMusicFilename \"music/Theme\"\r\n");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, root.path());
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Oxley Games"),
                  QStringLiteral("Grimvale Tarsis"))
            .setValue(QStringLiteral("GAMEDIR"), game);
    }
};

void MusicDialogOpening(benchmark::State& state) {
    Installation installation(int(state.range(0)));
    gvt::music::MusicDialog dialog;
    for (auto _ : state) {
        dialog.open(nullptr);
        benchmark::DoNotOptimize(dialog.window());
    }
}

void MusicDialogMove(benchmark::State& state) {
    Installation installation(int(state.range(0)));
    gvt::music::MusicDialog dialog;
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

BENCHMARK(MusicDialogOpening)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(MusicDialogMove)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
