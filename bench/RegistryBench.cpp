// SPDX-License-Identifier: GPL-3.0-or-later
// How long the game folder lookup takes when it falls through to a Wine prefix whose
// system.reg has grown to 20 MB, beside a bare read of the same file.
#include "platform/GameInstall.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

// A prefix like a well-used one: many keys of texts, numbers and long binary values, and the
// game's key near the end.
struct Prefix {
    QTemporaryDir root;
    explicit Prefix(qsizetype bytes) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, root.path());
        QByteArray text = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"
                          "#arch=win64\n\n";
        for (int i = 0; text.size() < bytes; ++i) {
            const QByteArray n = QByteArray::number(i);
            text += "[Software\\\\Classes\\\\CLSID\\\\{" + n +
                    "-0000-0000-C000-000000000046}\\\\InprocServer32] 1796494867\n"
                    "#time=1dd84e569147f28\n@=\"C:\\\\windows\\\\system32\\\\ole" +
                    n +
                    ".dll\"\n\"ThreadingModel\"=\"Both\"\n\"Flags\"=dword:00000001\n"
                    "\"Data\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,\\\n"
                    "  15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a\n\n";
        }
        text += "[Software\\\\Wow6432Node\\\\Oxley Games\\\\Grimvale Tarsis] 1796494882\n"
                "\"GAMEDIR\"=\"C:\\\\Games\\\\Grimvale Tarsis\"\n";
        QFile file(root.path() + QStringLiteral("/system.reg"));
        file.open(QIODevice::WriteOnly);
        file.write(text);
        qputenv("WINEPREFIX", QFile::encodeName(root.path()));
    }
};

void GameDirFromPrefix(benchmark::State& state) {
    Prefix prefix(state.range(0) << 20);
    const QByteArray file = QFile::encodeName(prefix.root.path() + QStringLiteral("/system.reg"));
    for (auto _ : state) {
        // Changed each time, as Wine leaves it: the lookup reads it again instead of recalling it.
        state.PauseTiming();
        ::utimensat(AT_FDCWD, file.constData(), nullptr, 0);
        state.ResumeTiming();
        benchmark::DoNotOptimize(
            gvt::platform::findGameInstall(QStringLiteral("/nowhere/gvtarsis-modmanager"),
                                           gvt::platform::UserPlaces::ofThisUser()));
    }
    state.SetBytesProcessed(state.iterations() * (state.range(0) << 20));
}

void GameDirFromPrefixBaselineReadFile(benchmark::State& state) {
    Prefix prefix(state.range(0) << 20);
    for (auto _ : state) {
        QFile file(prefix.root.path() + QStringLiteral("/system.reg"));
        file.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(file.readAll());
    }
    state.SetBytesProcessed(state.iterations() * (state.range(0) << 20));
}

BENCHMARK(GameDirFromPrefix)->Arg(2)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(GameDirFromPrefixBaselineReadFile)->Arg(20)->Unit(benchmark::kMillisecond);

} // namespace
