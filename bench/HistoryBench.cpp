// SPDX-License-Identifier: GPL-3.0-or-later
// "Restore Earlier Files" opening on a game folder whose history holds 50 Settings saves of a
// profile's three files, as a program that has not read the history yet opens it (each opening
// reads its own copy of the state folder), beside the Settings dialog opening on that profile.
#include "app/RestoreDialog.h"
#include "platform/GameInstall.h"
#include "platform/files/FileHistory.h"
#include "platform/files/FileName.h"
#include "platform/files/FileReplace.h"
#include "settings/SettingsDialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kCopies = 200;

// A profile's file: `lines` lines of a game's console script.
QByteArray profileFile(const QByteArray& name, int lines, int save) {
    QByteArray content = "rem *** Generated ***\r\n\r\ngame.setPlayerName \"" + name + ' ' +
                         QByteArray::number(save) + "\"\r\n";
    for (int i = 4; i <= lines; ++i)
        content += "game.option" + QByteArray::number(i) + ' ' +
                   QByteArray::number((i * 7 + (i % 5 == 0 ? save : 0)) % 100) + "\r\n";
    return content;
}

struct Installation {
    QTemporaryDir root;
    QString game = root.path() + QStringLiteral("/Grimvale Tarsis");
    QString profile = game + QStringLiteral("/Mods/GvTarsis/settings/Profiles/Custom/");
    Installation() {
        QDir().mkpath(profile);
        const std::pair<const char*, int> files[] = {
            {"GeneralOptions.con", 27}, {"Video.con", 12}, {"Sound.con", 15}};
        for (const auto& [file, lines] : files) {
            QFile out(profile + QString::fromLatin1(file));
            out.open(QIODevice::WriteOnly);
            out.write(profileFile(file, lines * 8, 0));
        }
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, root.path());
        QDir().mkpath(root.path() + QStringLiteral("/Oxley Games"));
        QFile settings(root.path() + QStringLiteral("/Oxley Games/Grimvale Tarsis.conf"));
        settings.open(QIODevice::WriteOnly);
        settings.write("[General]\nGAMEDIR=" + QFile::encodeName(game) + '\n');
        settings.close();
        useState(0);
        for (int save = 1; save <= gvt::platform::kKeptActions; ++save) {
            const gvt::platform::HistoryAction action(
                game, QStringLiteral("Settings saved (profile Custom)"));
            for (const auto& [file, lines] : files) {
                const QByteArray content = profileFile(file, lines * 8, save);
                gvt::platform::replaceExistingFile(
                    gvt::platform::fileNameOfText(profile + QString::fromLatin1(file)),
                    [&content](const QByteArray&) { return content; });
            }
        }
        for (int copy = 1; copy < kCopies; ++copy)
            QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), state(0), state(copy)});
    }
    QString state(int copy) const { return root.path() + QStringLiteral("/state%1").arg(copy); }
    void useState(int copy) const { qputenv("XDG_STATE_HOME", QFile::encodeName(state(copy))); }
};

Installation& installation() {
    static Installation made;
    return made;
}

gvt::platform::GameInstall gameAsFound() {
    return gvt::platform::findGameInstall(QStringLiteral("/nowhere/gvtarsis-modmanager"),
                                          gvt::platform::UserPlaces::ofThisUser());
}

void RestoreDialogOpening(benchmark::State& state) {
    const Installation& at = installation();
    const gvt::platform::GameInstall game = gameAsFound();
    int copy = 0;
    for (auto _ : state) {
        state.PauseTiming();
        at.useState(copy++ % kCopies);
        state.ResumeTiming();
        gvt::app::RestoreDialog dialog(game, nullptr);
        dialog.show();
        QCoreApplication::processEvents();
        state.PauseTiming(); // closing is not opening
        dialog.close();
        state.ResumeTiming();
    }
}

void RestoreDialogOpeningBaselineSettings(benchmark::State& state) {
    installation();
    const gvt::platform::GameInstall game = gameAsFound();
    gvt::settings::SettingsDialog settings(game);
    for (auto _ : state) {
        settings.open(nullptr).show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        settings.window()->close();
        state.ResumeTiming();
    }
}

BENCHMARK(RestoreDialogOpening)->Iterations(kCopies)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RestoreDialogOpeningBaselineSettings)
    ->Iterations(kCopies)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
